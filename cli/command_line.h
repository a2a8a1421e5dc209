// The command line of `pelmora-cli`: its commands and options, held as tables, and the
// usage text made from them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::cli {

enum class Command {
    Ports,
    Identify,
    Read,
    Write,
    Reset,
    Backup,
    Restore,
    ProfileLoad,
    ProfileSave,
    Show,
    Diff,
    Help,
    Version,
};

struct Invocation {
    Command Action = Command::Help;
    std::vector<std::string> Ports;
    int Slot = 0;    // 1..10
    int Profile = 0; // 1..5
    std::optional<std::filesystem::path> OutputFile;
    std::optional<std::filesystem::path> Dir;
    std::vector<std::filesystem::path> Files;
    bool Verify = false;
    bool Json = false;
};

struct ParsedInvocation {
    Invocation Request;
    std::string Error; // empty when the command line is good
    std::string Usage; // with an error: the usage line of the command given, or the general one
};

ParsedInvocation ParseInvocation(const std::vector<std::string>& arguments);

// Every command with its options, one a line.
std::string UsageText();

} // namespace pelmora::cli
