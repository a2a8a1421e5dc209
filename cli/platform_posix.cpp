#include "cli/platform.h"

#include <unistd.h>

namespace pelmora::cli {

std::filesystem::path ExecutableDir() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
}

void PrepareConsole() {}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) != 0;
}

} // namespace pelmora::cli
