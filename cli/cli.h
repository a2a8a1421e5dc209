// pelmora-cli: the tool's transfers from a command line, for scripts and for many boxes at
// once. Each box is served by a form of its own on a thread of its own.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pelmora {

class Pause;

namespace cli {

inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1; // a box or a file failed
inline constexpr int ExitUsage = 2;

struct CliEnvironment {
    std::ostream& Out;
    std::ostream& Err;
    Pause& Pauser; // the protocol's pauses, for every box at once
    bool ErrIsTerminal = false;
    std::filesystem::path ExecutableDir; // where a portable copy keeps UI.INI and SYSTEM.INI
    std::optional<std::string> VersionInfo;
    std::string Version; // what --version prints
};

// Runs the command that `arguments` (without the program's name) give; returns the exit status.
int RunCli(const std::vector<std::string>& arguments, const CliEnvironment& environment);

} // namespace cli
} // namespace pelmora
