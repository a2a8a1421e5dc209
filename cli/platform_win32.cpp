#include "cli/platform.h"

#include <io.h>
#include <stdio.h>
#include <windows.h>

namespace pelmora::cli {

std::filesystem::path ExecutableDir() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return std::filesystem::current_path();
    return std::filesystem::path(path).parent_path();
}

bool StandardErrorIsTerminal() {
    return ::_isatty(::_fileno(stderr)) != 0;
}

} // namespace pelmora::cli
