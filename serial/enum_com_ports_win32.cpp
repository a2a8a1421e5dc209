// Windows port list: the COM names the serial drivers register under
// HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM, described by the setup API's record of the
// device that registered each (its friendly name, maker and serial number).
#include "serial/enum_com_ports.h"

#include <algorithm>

#define WIN32_LEAN_AND_MEAN // keeps out the printer API, whose SetPort macro renames ours
#include <windows.h>

#include <setupapi.h>

namespace pelmora {

namespace {

constexpr const char* SerialCommKey = R"(HARDWARE\DEVICEMAP\SERIALCOMM)";
constexpr DWORD ValueBufferSize = 256;
// The setup class of serial and parallel ports.
constexpr GUID PortsClass = {
    0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

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

std::string Utf8(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::string DeviceProperty(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t text[ValueBufferSize] = {};
    if (!::SetupDiGetDeviceRegistryPropertyW(devices, &device, property, nullptr,
                                             reinterpret_cast<BYTE*>(text), sizeof text - 2,
                                             nullptr))
        return {};
    return Utf8(text);
}

std::string RegisteredPortName(HDEVINFO devices, SP_DEVINFO_DATA& device) {
    HKEY key = ::SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE)
        return {};
    wchar_t name[ValueBufferSize] = {};
    DWORD size = sizeof name - 2;
    const bool read = ::RegQueryValueExW(key, L"PortName", nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(name), &size) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return read ? Utf8(name) : std::string();
}

// The last part of a USB instance ID (USB\VID_0403&PID_6001\A10K5F2X) is the adapter's serial
// number; Windows makes up one with '&' in it for an adapter that has none.
std::string SerialNumberOf(HDEVINFO devices, SP_DEVINFO_DATA& device) {
    wchar_t id[ValueBufferSize] = {};
    if (!::SetupDiGetDeviceInstanceIdW(devices, &device, id, ValueBufferSize - 1, nullptr))
        return {};
    const std::string instance = Utf8(id);
    const std::string last = instance.substr(instance.find_last_of('\\') + 1);
    return instance.rfind("USB\\", 0) == 0 && last.find('&') == std::string::npos ? last : "";
}

// "USB Serial Port (COM7)" names the port itself at its end; the list shows the port already.
std::string WithoutPortSuffix(std::string friendly, const std::string& port) {
    const std::string suffix = " (" + port + ")";
    if (friendly.size() > suffix.size() &&
        friendly.compare(friendly.size() - suffix.size(), suffix.size(), suffix) == 0)
        friendly.resize(friendly.size() - suffix.size());
    return friendly;
}

void AddDescriptions(std::vector<PortEntry>& ports) {
    HDEVINFO devices = ::SetupDiGetClassDevsW(&PortsClass, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE)
        return;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        const std::string name = RegisteredPortName(devices, device);
        for (PortEntry& port : ports) {
            if (name.empty() || ::lstrcmpiA(port.Name.c_str(), name.c_str()) != 0)
                continue;
            port.Description =
                WithoutPortSuffix(DeviceProperty(devices, device, SPDRP_FRIENDLYNAME), port.Name);
            port.Manufacturer = DeviceProperty(devices, device, SPDRP_MFG);
            port.SerialNumber = SerialNumberOf(devices, device);
        }
    }
    ::SetupDiDestroyDeviceInfoList(devices);
}

// The user's locale decides, without regard to case: COM10 comes before COM2.
bool LessIgnoringCase(const PortEntry& a, const PortEntry& b) {
    return ::lstrcmpiA(a.Name.c_str(), b.Name.c_str()) < 0;
}

} // namespace

std::vector<PortEntry> EnumComPorts() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, SerialCommKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    std::vector<PortEntry> ports;
    std::string name;
    for (DWORD index = 0; ReadPortName(key, index, name); ++index) {
        ports.push_back({name});
    }
    ::RegCloseKey(key);
    AddDescriptions(ports);
    std::sort(ports.begin(), ports.end(), LessIgnoringCase);
    return ports;
}

} // namespace pelmora
