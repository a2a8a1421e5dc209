// The serial ports present on this machine, sorted by name without regard to case, each with
// what the system knows of the adapter behind it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pelmora {

struct PortEntry {
    std::string Name;           // what opens the port: /dev/ttyUSB0, COM7
    std::string Description{};  // the adapter as its driver or firmware names it
    std::string Manufacturer{}; // empty where the system does not know it
    std::string SerialNumber{};
    std::string StableName{}; // a name that survives re-plugging (/dev/serial/by-id/...)
};

// How the port chooser and `pelmora-cli ports` show an entry:
// "COM7 — USB Serial Port (FTDI, A10K5F2X)", or the bare name where nothing is known.
std::string PortLabel(const PortEntry& entry);
// The name of the port a label shows.
std::string PortNameOfLabel(const std::string& label);
// Port names are compared without regard to case, as Windows compares COM names.
bool SamePortName(const std::string& a, const std::string& b);

std::vector<PortEntry> EnumComPorts();

// The same scan over other roots: `sysClassTty` stands for /sys/class/tty, `devRoot` for /dev.
std::vector<PortEntry> EnumComPorts(const std::filesystem::path& sysClassTty,
                                    const std::filesystem::path& devRoot);

} // namespace pelmora
