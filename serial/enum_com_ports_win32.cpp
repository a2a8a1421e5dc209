// Windows port list: the COM names the serial drivers register under
// HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM.
#include "serial/enum_com_ports.h"

#include <algorithm>

#define WIN32_LEAN_AND_MEAN // keeps out the printer API, whose SetPort macro renames ours
#include <windows.h>

namespace pelmora {

namespace {

constexpr const char* SerialCommKey = R"(HARDWARE\DEVICEMAP\SERIALCOMM)";
constexpr DWORD ValueBufferSize = 256;

// The value's text without its terminating NUL; false at the end of the values.
bool ReadPortName(HKEY key, DWORD index, std::string& name) {
    char valueName[ValueBufferSize];
    char data[ValueBufferSize];
    DWORD nameSize = sizeof valueName;
    DWORD dataSize = sizeof data;
    if (::RegEnumValueA(key, index, valueName, &nameSize, nullptr, nullptr,
                        reinterpret_cast<BYTE*>(data), &dataSize) != ERROR_SUCCESS) {
        return false;
    }
    name.assign(data, dataSize);
    while (!name.empty() && name.back() == '\0') {
        name.pop_back();
    }
    return true;
}

// The user's locale decides, without regard to case: COM10 comes before COM2.
bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return ::lstrcmpiA(a.c_str(), b.c_str()) < 0;
}

} // namespace

std::vector<std::string> EnumComPorts() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, SerialCommKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    std::vector<std::string> ports;
    std::string name;
    for (DWORD index = 0; ReadPortName(key, index, name); ++index) {
        ports.push_back(name);
    }
    ::RegCloseKey(key);
    std::sort(ports.begin(), ports.end(), LessIgnoringCase);
    return ports;
}

} // namespace pelmora
