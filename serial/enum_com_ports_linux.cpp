// Linux port list: ttys with hardware behind them, from sysfs, described by the attributes of
// the USB device they belong to, and the links in /dev that point at pseudo-terminals
// (virtual ports made by socat or the virtual box).
#include "serial/enum_com_ports.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace pelmora {

namespace fs = std::filesystem;

namespace {

bool AllDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// Serial-core ports report their UART type; 0 means no UART was found behind the port (the
// placeholder 8250 ports the kernel registers whether or not the hardware exists).
bool HasNoUart(const fs::path& ttyEntry) {
    std::ifstream typeFile(ttyEntry / "type");
    int type = -1;
    return typeFile >> type && type == 0;
}

// Virtual ttys (consoles, ptmx) have no parent device.
bool IsHardwarePort(const fs::path& ttyEntry) {
    std::error_code error;
    return fs::exists(ttyEntry / "device", error) && !HasNoUart(ttyEntry);
}

// The first line of a sysfs attribute, or "" when there is none.
std::string Attribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// A USB adapter's tty hangs below its interface, which hangs below the device that carries
// the vendor's strings; a few levels up is as far as any driver puts it.
void AddUsbAttributes(const fs::path& ttyEntry, PortEntry& port) {
    constexpr int MaxLevels = 4;
    std::error_code error;
    fs::path dir = fs::canonical(ttyEntry / "device", error);
    for (int level = 0; !error && level < MaxLevels && dir.has_relative_path(); ++level) {
        if (fs::exists(dir / "idVendor", error)) {
            port.Description = Attribute(dir / "product");
            port.Manufacturer = Attribute(dir / "manufacturer");
            port.SerialNumber = Attribute(dir / "serial");
            return;
        }
        dir = dir.parent_path();
    }
}

// The link in /dev/serial/by-id that leads to the port, if there is one.
std::string StableName(const fs::path& devRoot, const fs::path& device) {
    std::error_code error;
    for (const fs::directory_entry& link :
         fs::directory_iterator(devRoot / "serial" / "by-id", error))
        if (fs::equivalent(link.path(), device, error))
            return link.path().string();
    return {};
}

void AddHardwarePorts(const fs::path& sysClassTty, const fs::path& devRoot,
                      std::vector<PortEntry>& ports) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(sysClassTty, error)) {
        const fs::path device = devRoot / entry.path().filename();
        if (IsHardwarePort(entry.path()) && fs::exists(device, error)) {
            PortEntry port{device.string()};
            AddUsbAttributes(entry.path(), port);
            port.StableName = StableName(devRoot, device);
            ports.push_back(std::move(port));
        }
    }
}

bool LinksToPseudoTerminal(const fs::path& link, const fs::path& ptsDir) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(link, error)) || !fs::exists(link, error)) {
        return false;
    }
    const fs::path target = (link.parent_path() / fs::read_symlink(link, error)).lexically_normal();
    return !error && target.parent_path() == ptsDir && AllDigits(target.filename().string());
}

void AddPseudoTerminalLinks(const fs::path& devRoot, std::vector<PortEntry>& ports) {
    const fs::path ptsDir = (devRoot / "pts").lexically_normal();
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(devRoot, error)) {
        if (LinksToPseudoTerminal(entry.path(), ptsDir)) {
            ports.push_back({entry.path().string()});
        }
    }
}

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Names equal but for case keep a fixed order among themselves.
bool LessIgnoringCase(const PortEntry& a, const PortEntry& b) {
    const std::string lowerA = Lowered(a.Name);
    const std::string lowerB = Lowered(b.Name);
    return lowerA != lowerB ? lowerA < lowerB : a.Name < b.Name;
}

} // namespace

std::vector<PortEntry> EnumComPorts(const fs::path& sysClassTty, const fs::path& devRoot) {
    std::vector<PortEntry> ports;
    AddHardwarePorts(sysClassTty, devRoot, ports);
    AddPseudoTerminalLinks(devRoot, ports);
    std::sort(ports.begin(), ports.end(), LessIgnoringCase);
    return ports;
}

std::vector<PortEntry> EnumComPorts() {
    return EnumComPorts("/sys/class/tty", "/dev");
}

} // namespace pelmora
