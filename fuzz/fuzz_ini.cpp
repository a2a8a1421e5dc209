// Any bytes as an initialisation file: reading, listing and writing never fail, an
// unchanged 8-bit or UTF-8 file writes back byte for byte, and a written value reads back.
#include "storage/ini_file.h"

#include <algorithm>
#include <cstdlib>

namespace {

using pelmora::IniFile;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::size_t ListUnits(const std::vector<std::u16string>& names) {
    std::size_t units = 1;
    for (const auto& name : names) {
        units += name.size() + 1;
    }
    return units;
}

// A short value made of the input's last bytes, so the fuzzer steers it too.
std::u16string ValueFrom(std::span<const std::uint8_t> bytes) {
    std::u16string value;
    for (std::size_t i = bytes.size() > 8 ? bytes.size() - 8 : 0; i < bytes.size(); ++i) {
        value.push_back(
            static_cast<char16_t>(bytes[i] == '\n' || bytes[i] == '\r' ? 'n' : bytes[i]));
    }
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    IniFile ini = IniFile::FromBytes(bytes);

    const auto names = ini.SectionNames();
    Check(ListUnits(names) <= pelmora::SectionNameListCapacity);
    constexpr std::size_t NamesLookedUp = 8; // each lookup walks the file
    for (std::size_t i = 0; i < std::min(names.size(), NamesLookedUp); ++i) {
        const auto& name = names[i];
        ini.ReadString(name, u"Str0", u"default");
        Check(ini.ReadInteger(name, u"UI", 65535) >= 0);
    }
    const auto encoding = ini.Encoding();
    if (encoding == pelmora::TextEncoding::Bytes8 || encoding == pelmora::TextEncoding::Utf8) {
        const auto again = ini.ToBytes();
        Check(again.size() == size && std::equal(again.begin(), again.end(), data));
    }

    const std::u16string section = names.empty() ? u"SYSTEM" : names.front();
    const std::u16string value = ValueFrom(bytes);
    if (ini.WriteString(section, u"Str1", value)) {
        const IniFile reread = IniFile::FromBytes(ini.ToBytes());
        Check(reread.Value(section, u"Str1") == value);
        Check(reread.SectionNames() == ini.SectionNames());
    }
    return 0;
}
