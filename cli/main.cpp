// pelmora-cli: the command-line face of the tool.
#include "app/version_info.h"
#include "cli/cli.h"
#include "cli/platform.h"
#include "protocol/pause.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace pelmora;
    RealPause pause;
    std::optional<std::string> versionInfo;
    if (const std::optional<std::string_view> record = EmbeddedVersionRecord())
        versionInfo = std::string(*record);
    const cli::CliEnvironment environment{
        std::cout,   std::cerr,      pause, cli::StandardErrorIsTerminal(), cli::ExecutableDir(),
        versionInfo, PELMORA_VERSION};
    return cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), environment);
}
