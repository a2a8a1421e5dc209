// Initialisation files of our own reading and writing.
//
// A line "[Name]" opens a section; a line "Key=Value" sets a key of the current section;
// a line whose first non-blank character is ';' is a comment; other lines are kept but
// mean nothing. Section and key names compare without regard to case. A value is the text
// after the first '=' with the blanks around it removed and one pair of enclosing single or
// double quotation marks removed; "Key=" gives an empty value, which is not an absent key.
// Where a section name occurs twice, both sections together form that section, the first
// occurrence of a key winning.
//
// Lines end in CR LF, LF or a lone CR, and the last line may have no break. The file's text
// encoding (see text_encoding.h) is kept when it is written back; a file whose encoding
// cannot hold what was written becomes UTF-16LE with a byte-order mark.
#pragma once

#include "storage/text_encoding.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// The section-name list holds at most this many 16-bit units: each name with one
// terminator, and one final terminator.
inline constexpr std::size_t SectionNameListCapacity = 1024;
// Larger files are treated as unreadable, so that a write never cuts one short. A language
// section takes at most about 5 KB even in UTF-16 (39 values of 63 or 127 characters), real
// ones far less; this holds some two hundred of them while bounding the time and memory a
// corrupt file costs at start-up.
inline constexpr std::size_t MaxIniFileSize = 1024 * 1024;

class IniFile {
  public:
    // An empty file, written as 8-bit text with CR LF line breaks.
    IniFile() = default;
    static IniFile FromBytes(std::span<const std::uint8_t> bytes);
    std::vector<std::uint8_t> ToBytes() const;
    TextEncoding Encoding() const { return encoding_; }

    // Distinct non-empty section names in file order, limited to SectionNameListCapacity;
    // the name at the limit is cut short when at least one unit of it fits.
    std::vector<std::u16string> SectionNames() const;

    std::optional<std::u16string> Value(std::u16string_view section, std::u16string_view key) const;
    // The values of several keys of one section, found in one pass; nullopt for an absent key.
    std::vector<std::optional<std::u16string>>
    Values(std::u16string_view section, std::span<const std::u16string_view> keys) const;
    std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                              std::u16string_view defaultValue) const;
    // The value's leading decimal digits as a number, saturating at the largest int
    // ("12abc" gives 12). A value that does not start with a digit ("", "-3", "abc", "+1")
    // and an absent key give defaultValue.
    int ReadInteger(std::u16string_view section, std::u16string_view key, int defaultValue) const;

    // Sets the key, adding the section and key when absent and leaving every other line as
    // it is. A value that would not read back unchanged (blanks around it, enclosing quotes)
    // is written in double quotes. Refused (false, nothing changed) when the names or the
    // value cannot be written as one line that reads back as given: an empty or blank-edged
    // name, a line break anywhere, ']' in a section name, '=' in a key, a key starting with
    // '[' or ';'.
    bool WriteString(std::u16string_view section, std::u16string_view key,
                     std::u16string_view value);

  private:
    // Lines are found in the text when needed; nothing is kept per line, so a file of
    // millions of lines costs no more than its text.
    enum class LineKind { Other, Section, Entry };
    struct Line {
        LineKind Kind = LineKind::Other;
        std::u16string_view Name; // section name or key
        std::size_t Start = 0;
        std::size_t ValueStart = 0; // entries: just after the '='
        std::size_t End = 0;        // where the line break (if any) starts
        std::size_t Next = 0;       // where the next line starts
    };

    Line LineAt(std::size_t start) const;
    // Calls `stop` with each line from `start` on until it returns true; that line, if any.
    template <typename Stop> std::optional<Line> FirstLine(std::size_t start, Stop stop) const {
        for (std::size_t at = start; at < text_.size();) {
            const Line line = LineAt(at);
            if (stop(line))
                return line;
            at = line.Next;
        }
        return std::nullopt;
    }
    std::optional<Line> FindEntry(std::u16string_view section, std::u16string_view key) const;
    std::optional<Line> FindSection(std::u16string_view section) const;
    std::size_t EndOfSectionText(const Line& header) const;
    std::u16string_view UsualBreak() const;
    void InsertLine(std::size_t at, std::u16string_view line);

    TextEncoding encoding_ = TextEncoding::Bytes8;
    std::u16string text_;
};

// A missing file reads as an empty one; nullopt when the file exists but cannot be read
// or is larger than MaxIniFileSize.
std::optional<IniFile> ReadIniFile(const std::filesystem::path& file);
// Replaces the file safely (see ReplaceFileContents); false when that failed.
bool WriteIniFile(const std::filesystem::path& file, const IniFile& ini);
// Read, set one key, write back. False, with the file untouched, when it cannot be read,
// the key cannot be written, or the file cannot be replaced.
bool WriteIniString(const std::filesystem::path& file, std::u16string_view section,
                    std::u16string_view key, std::u16string_view value);

} // namespace pelmora
