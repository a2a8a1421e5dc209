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

IniFile::Line IniFile::ParseLine(std::u16string text, LineBreak lineBreak) {
    Line line;
    line.Text = std::move(text);
    line.Break = lineBreak;
    const std::u16string_view content = TrimBlanks(line.Text);
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
    const std::size_t equals = line.Text.find(u'=');
    if (equals == std::u16string::npos) {
        return line;
    }
    const std::u16string_view key = TrimBlanks(std::u16string_view(line.Text).substr(0, equals));
    if (!key.empty()) {
        line.Kind = LineKind::Entry;
        line.Name = key;
        line.ValueStart = equals + 1;
    }
    return line;
}

IniFile IniFile::FromBytes(std::span<const std::uint8_t> bytes) {
    const DecodedText decoded = DecodeText(bytes);
    const std::u16string_view text = decoded.Text;
    IniFile ini;
    ini.encoding_ = decoded.Encoding;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of(LineBreakUnits, start);
        if (end == std::u16string_view::npos) {
            ini.lines_.push_back(ParseLine(std::u16string(text.substr(start)), LineBreak::None));
            break;
        }
        LineBreak lineBreak = LineBreak::Lf;
        std::size_t next = end + 1;
        if (text[end] == u'\r') {
            const bool crlf = next < text.size() && text[next] == u'\n';
            lineBreak = crlf ? LineBreak::CrLf : LineBreak::Cr;
            next += crlf ? 1 : 0;
        }
        ini.lines_.push_back(ParseLine(std::u16string(text.substr(start, end - start)), lineBreak));
        start = next;
    }
    return ini;
}

std::u16string IniFile::Text() const {
    static constexpr std::array<std::u16string_view, 4> BreakTexts = {u"", u"\n", u"\r\n", u"\r"};
    std::u16string text;
    for (const Line& line : lines_) {
        text += line.Text;
        text += BreakTexts[static_cast<std::size_t>(line.Break)];
    }
    return text;
}

std::vector<std::uint8_t> IniFile::ToBytes() const {
    const std::u16string text = Text();
    std::vector<std::uint8_t> bytes = EncodeText(text, encoding_);
    if (encoding_ != TextEncoding::Utf16Le && !IsAscii(text) && DecodeText(bytes).Text != text) {
        bytes = EncodeText(text, TextEncoding::Utf16Le);
    }
    return bytes;
}

std::vector<std::u16string> IniFile::SectionNames() const {
    std::vector<std::u16string> names;
    std::unordered_set<std::u16string> seen;
    std::size_t used = 1; // the final terminator
    for (const Line& line : lines_) {
        if (line.Kind != LineKind::Section || line.Name.empty() ||
            !seen.insert(FoldCase(line.Name)).second) {
            continue;
        }
        const std::size_t room = SectionNameListCapacity - used;
        if (line.Name.size() + 1 > room) {
            if (room >= 2) {
                names.push_back(TruncateText(line.Name, room - 1));
            }
            break;
        }
        names.push_back(line.Name);
        used += line.Name.size() + 1;
    }
    return names;
}

std::optional<std::size_t> IniFile::FindEntry(std::u16string_view section,
                                              std::u16string_view key) const {
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.Kind == LineKind::Section) {
            inSection = SameName(line.Name, section);
        } else if (inSection && line.Kind == LineKind::Entry && SameName(line.Name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> IniFile::FindSection(std::u16string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].Kind == LineKind::Section && SameName(lines_[i].Name, section)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::u16string> IniFile::Value(std::u16string_view section,
                                             std::u16string_view key) const {
    const auto at = FindEntry(section, key);
    if (!at) {
        return std::nullopt;
    }
    const Line& line = lines_[*at];
    return std::u16string(
        Unquote(TrimBlanks(std::u16string_view(line.Text).substr(line.ValueStart))));
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

IniFile::LineBreak IniFile::UsualBreak() const {
    for (const Line& line : lines_) {
        if (line.Break != LineBreak::None) {
            return line.Break;
        }
    }
    return LineBreak::CrLf;
}

void IniFile::InsertLine(std::size_t at, std::u16string text) {
    const LineBreak lineBreak = UsualBreak();
    if (at > 0 && lines_[at - 1].Break == LineBreak::None) {
        lines_[at - 1].Break = lineBreak;
    }
    const auto position = lines_.begin() + static_cast<std::ptrdiff_t>(at);
    lines_.insert(position, ParseLine(std::move(text), lineBreak));
}

bool IniFile::WriteString(std::u16string_view section, std::u16string_view key,
                          std::u16string_view value) {
    if (!IsWritableSection(section) || !IsWritableKey(key) || HasLineBreak(value)) {
        return false;
    }
    const std::u16string written = QuoteIfNeeded(value);
    if (const auto at = FindEntry(section, key)) {
        Line& line = lines_[*at];
        line.Text.resize(line.ValueStart);
        line.Text += written;
        return true;
    }
    std::u16string entry = std::u16string(key) + u'=' + written;
    const auto header = FindSection(section);
    if (!header) {
        InsertLine(lines_.size(), u'[' + std::u16string(section) + u']');
        InsertLine(lines_.size(), std::move(entry));
        return true;
    }
    // After the section's last line that is not blank.
    std::size_t insertAt = *header + 1;
    for (std::size_t i = *header + 1; i < lines_.size() && lines_[i].Kind != LineKind::Section;
         ++i) {
        if (!TrimBlanks(lines_[i].Text).empty()) {
            insertAt = i + 1;
        }
    }
    InsertLine(insertAt, std::move(entry));
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
