// The command line of `pelmora-box`.
#pragma once

#include "emulator/pty_box.h"

#include <string>
#include <vector>

namespace pelmora::emulator {

struct ParsedCommandLine {
    BoxOptions Options;
    std::string Error; // empty when the command line was good
    bool Help = false; // --help or -h: print the usage and start no box
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

inline constexpr const char* Usage =
    "usage: pelmora-box --link PATH [--model N] [--output-mode CODE] [--log FILE]\n"
    "                   [--silent-after N] [--reply-delay MS] [--split-replies]\n"
    "                   [--garbage-replies] [--hangup-after N] [--corrupt-store INDEX]\n";

} // namespace pelmora::emulator
