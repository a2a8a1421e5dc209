// The serial ports present on this machine, as device paths sorted without regard to case.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pelmora {

std::vector<std::string> EnumComPorts();

// The same scan over other roots: `sysClassTty` stands for /sys/class/tty, `devRoot` for /dev.
std::vector<std::string> EnumComPorts(const std::filesystem::path& sysClassTty,
                                      const std::filesystem::path& devRoot);

} // namespace pelmora
