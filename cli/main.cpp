// pelmora-cli: the command-line face of the tool.
#include "app/version_info.h"
#include "cli/cli.h"
#include "cli/platform.h"
#include "protocol/pause.h"

#include <iostream>

namespace {

int Run(const std::vector<std::string>& arguments) {
    using namespace pelmora;
    RealPause pause;
    std::optional<std::string> versionInfo;
    if (const std::optional<std::string_view> record = EmbeddedVersionRecord())
        versionInfo = std::string(*record);
    cli::PrepareConsole();
    const cli::CliEnvironment environment{
        std::cout,   std::cerr,      pause, cli::StandardErrorIsTerminal(), cli::ExecutableDir(),
        versionInfo, PELMORA_VERSION};
    return cli::RunCli(arguments, environment);
}

} // namespace

#ifdef _WIN32
// Wide arguments: file names in any script reach the tool unchanged, as UTF-8.
int wmain(int argc, wchar_t** argv) {
    return Run(pelmora::cli::Utf8Arguments(argc, argv));
}
#else
int main(int argc, char** argv) {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
