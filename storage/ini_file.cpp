#include "storage/ini_file.h"

#include "storage/file_io.h"

#include <algorithm>
#include <array>
#include <climits>
#include <system_error>
#include <unordered_set>

namespace pelmora {

namespace {

constexpr std::u16string_view Blanks = u" \t";
constexpr std::u16string_view LineBreakUnits = u"\r\n";

// Upper-case ranges of the scripts language names are likely written in, and the distance
// to their lower-case forms.
struct CaseRange {
    char16_t First, Last;
    char16_t ToLower;
};
constexpr std::array<CaseRange, 7> CaseRanges = {{
    {u'A', u'Z', 0x20},
    {0x00C0, 0x00D6, 0x20},
    {0x00D8, 0x00DE, 0x20},
    {0x0391, 0x03A1, 0x20},
    {0x03A3, 0x03AB, 0x20},
    {0x0400, 0x040F, 0x50},
    {0x0410, 0x042F, 0x20},
}};

char16_t FoldCase(char16_t unit) {
    for (const CaseRange& range : CaseRanges) {
        if (unit >= range.First && unit <= range.Last) {
            return static_cast<char16_t>(unit + range.ToLower);
        }
    }
    return unit;
}

std::u16string FoldCase(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& unit : folded) {
        unit = FoldCase(unit);
    }
    return folded;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) {
            return false;
        }
    }
    return true;
}

// ASCII text reads back unchanged from every encoding.
bool IsAscii(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t unit) { return unit < 0x80; });
}

bool IsBlank(char16_t unit) {
    return Blanks.find(unit) != std::u16string_view::npos;
}
bool IsQuote(char16_t unit) {
    return unit == u'"' || unit == u'\'';
}

std::u16string_view TrimBlanks(std::u16string_view text) {
    const std::size_t first = text.find_first_not_of(Blanks);
    if (first == std::u16string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

bool IsQuoted(std::u16string_view text) {
    return text.size() >= 2 && IsQuote(text.front()) && text.front() == text.back();
}

std::u16string_view Unquote(std::u16string_view text) {
    return IsQuoted(text) ? text.substr(1, text.size() - 2) : text;
}

// The text that reads back as value: quoted when trimming or unquoting would change it.
std::u16string QuoteIfNeeded(std::u16string_view value) {
    const bool blankEdged = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
    if (blankEdged || IsQuoted(value)) {
        return u'"' + std::u16string(value) + u'"';
    }
    return std::u16string(value);
}

bool HasLineBreak(std::u16string_view text) {
    return text.find_first_of(LineBreakUnits) != std::u16string_view::npos;
}

bool IsLineBreak(char16_t unit) {
    return unit == u'\r' || unit == u'\n';
}

bool IsCleanName(std::u16string_view name) {
    return !name.empty() && TrimBlanks(name).size() == name.size() && !HasLineBreak(name);
}

bool IsWritableSection(std::u16string_view name) {
    return IsCleanName(name) && name.find(u']') == std::u16string_view::npos;
}

bool IsWritableKey(std::u16string_view name) {
    return IsCleanName(name) && name.find(u'=') == std::u16string_view::npos &&
           name.front() != u';' && name.front() != u'[';
}

// Leading decimal digits as a number, saturating at INT_MAX; nullopt without any digit.
std::optional<int> LeadingNumber(std::u16string_view text) {
    std::optional<int> number;
    for (const char16_t unit : text) {
        if (unit < u'0' || unit > u'9') {
            break;
        }
        const int digit = unit - u'0';
        const int sofar = number.value_or(0);
        number = sofar > (INT_MAX - digit) / 10 ? INT_MAX : sofar * 10 + digit;
    }
    return number;
}

} // namespace

IniFile::Line IniFile::LineAt(std::size_t start) const {
    const std::u16string_view text = text_;
    Line line;
    line.Start = start;
    line.End = start;
    while (line.End < text.size() && !IsLineBreak(text[line.End])) {
        ++line.End;
    }
    line.Next = line.End;
    if (line.Next < text.size()) {
        const bool crlf =
            text[line.Next] == u'\r' && line.Next + 1 < text.size() && text[line.Next + 1] == u'\n';
        line.Next += crlf ? 2 : 1;
    }
    const std::u16string_view whole = text.substr(start, line.End - start);
    const std::u16string_view content = TrimBlanks(whole);
    if (content.empty() || content.front() == u';') {
        return line;
    }
    if (content.front() == u'[') {
        const std::size_t close = content.find(u']');
        if (close != std::u16string_view::npos) {
            line.Kind = LineKind::Section;
            line.Name = TrimBlanks(content.substr(1, close - 1));
        }
        return line;
    }
    const std::size_t equals = whole.find(u'=');
    if (equals == std::u16string_view::npos) {
        return line;
    }
    line.Name = TrimBlanks(whole.substr(0, equals));
    if (!line.Name.empty()) {
        line.Kind = LineKind::Entry;
        line.ValueStart = start + equals + 1;
    }
    return line;
}

IniFile IniFile::FromBytes(std::span<const std::uint8_t> bytes) {
    DecodedText decoded = DecodeText(bytes);
    IniFile ini;
    ini.encoding_ = decoded.Encoding;
    ini.text_ = std::move(decoded.Text);
    return ini;
}

std::vector<std::uint8_t> IniFile::ToBytes() const {
    std::vector<std::uint8_t> bytes = EncodeText(text_, encoding_);
    if (encoding_ != TextEncoding::Utf16Le && !IsAscii(text_) && DecodeText(bytes).Text != text_) {
        bytes = EncodeText(text_, TextEncoding::Utf16Le);
    }
    return bytes;
}

std::vector<std::u16string> IniFile::SectionNames() const {
    std::vector<std::u16string> names;
    std::unordered_set<std::u16string> seen;
    std::size_t used = 1; // the final terminator
    FirstLine(0, [&](const Line& line) {
        if (line.Kind != LineKind::Section || line.Name.empty() ||
            !seen.insert(FoldCase(line.Name)).second) {
            return false;
        }
        const std::size_t room = SectionNameListCapacity - used;
        if (line.Name.size() + 1 > room) {
            if (room >= 2) {
                names.push_back(TruncateText(line.Name, room - 1));
            }
            return true;
        }
        names.emplace_back(line.Name);
        used += line.Name.size() + 1;
        return false;
    });
    return names;
}

std::optional<IniFile::Line> IniFile::FindEntry(std::u16string_view section,
                                                std::u16string_view key) const {
    bool inSection = false;
    return FirstLine(0, [&](const Line& line) {
        if (line.Kind == LineKind::Section) {
            inSection = SameName(line.Name, section);
            return false;
        }
        return inSection && line.Kind == LineKind::Entry && SameName(line.Name, key);
    });
}

std::optional<IniFile::Line> IniFile::FindSection(std::u16string_view section) const {
    return FirstLine(0, [&](const Line& line) {
        return line.Kind == LineKind::Section && SameName(line.Name, section);
    });
}

std::optional<std::u16string> IniFile::Value(std::u16string_view section,
                                             std::u16string_view key) const {
    return Values(section, std::span(&key, 1)).front();
}

std::vector<std::optional<std::u16string>>
IniFile::Values(std::u16string_view section, std::span<const std::u16string_view> keys) const {
    std::vector<std::optional<std::u16string>> values(keys.size());
    bool inSection = false;
    FirstLine(0, [&](const Line& line) {
        if (line.Kind == LineKind::Section) {
            inSection = SameName(line.Name, section);
            return false;
        }
        if (!inSection || line.Kind != LineKind::Entry) {
            return false;
        }
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (!values[i] && SameName(line.Name, keys[i])) {
                const std::u16string_view raw =
                    std::u16string_view(text_).substr(line.ValueStart, line.End - line.ValueStart);
                values[i] = std::u16string(Unquote(TrimBlanks(raw)));
            }
        }
        return false;
    });
    return values;
}

std::u16string IniFile::ReadString(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view defaultValue) const {
    return Value(section, key).value_or(std::u16string(defaultValue));
}

int IniFile::ReadInteger(std::u16string_view section, std::u16string_view key,
                         int defaultValue) const {
    const auto value = Value(section, key);
    return value ? LeadingNumber(*value).value_or(defaultValue) : defaultValue;
}

// The line break the file uses first; CR LF for a file without any.
std::u16string_view IniFile::UsualBreak() const {
    const Line first = LineAt(0);
    const std::u16string_view lineBreak =
        std::u16string_view(text_).substr(first.End, first.Next - first.End);
    return lineBreak.empty() ? u"\r\n" : lineBreak;
}

// A line starting at `at`, a line boundary; the line before it gets a break if it had none.
void IniFile::InsertLine(std::size_t at, std::u16string_view line) {
    const std::u16string_view lineBreak = UsualBreak();
    std::u16string inserted;
    if (at > 0 && !IsLineBreak(text_[at - 1])) {
        inserted += lineBreak;
    }
    inserted += line;
    inserted += lineBreak;
    text_.insert(at, inserted);
}

// Just after the section's last line that is not blank (the header when all are).
std::size_t IniFile::EndOfSectionText(const Line& header) const {
    std::size_t end = header.Next;
    FirstLine(header.Next, [&](const Line& line) {
        if (line.Kind == LineKind::Section) {
            return true;
        }
        if (!TrimBlanks(std::u16string_view(text_).substr(line.Start, line.End - line.Start))
                 .empty()) {
            end = line.Next;
        }
        return false;
    });
    return end;
}

bool IniFile::WriteString(std::u16string_view section, std::u16string_view key,
                          std::u16string_view value) {
    if (!IsWritableSection(section) || !IsWritableKey(key) || HasLineBreak(value)) {
        return false;
    }
    const std::u16string written = QuoteIfNeeded(value);
    if (const auto entry = FindEntry(section, key)) {
        text_.replace(entry->ValueStart, entry->End - entry->ValueStart, written);
        return true;
    }
    const std::u16string entry = std::u16string(key) + u'=' + written;
    const auto header = FindSection(section);
    if (!header) {
        InsertLine(text_.size(), u'[' + std::u16string(section) + u']');
        InsertLine(text_.size(), entry);
        return true;
    }
    InsertLine(EndOfSectionText(*header), entry);
    return true;
}

std::optional<IniFile> ReadIniFile(const std::filesystem::path& file) {
    std::error_code error;
    if (std::filesystem::file_size(file, error) > MaxIniFileSize && !error) {
        return std::nullopt;
    }
    const FilePrefix prefix = ReadFilePrefix(file, MaxIniFileSize + 1);
    switch (prefix.Outcome) {
    case ReadOutcome::Missing:
        return IniFile();
    case ReadOutcome::Failed:
        return std::nullopt;
    case ReadOutcome::Read:
        break;
    }
    if (prefix.Bytes.size() > MaxIniFileSize) {
        return std::nullopt;
    }
    return IniFile::FromBytes(prefix.Bytes);
}

bool WriteIniFile(const std::filesystem::path& file, const IniFile& ini) {
    return ReplaceFileContents(file, ini.ToBytes()) == ReplaceOutcome::Replaced;
}

bool WriteIniString(const std::filesystem::path& file, std::u16string_view section,
                    std::u16string_view key, std::u16string_view value) {
    std::optional<IniFile> ini = ReadIniFile(file);
    return ini && ini->WriteString(section, key, value) && WriteIniFile(file, *ini);
}

} // namespace pelmora
