#include "cli/platform.h"

#include "storage/text_encoding.h"

#include <windows.h>

namespace pelmora::cli {

std::filesystem::path ExecutableDir() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return std::filesystem::current_path();
    return std::filesystem::path(path).parent_path();
}

void PrepareConsole() {
    ::SetConsoleOutputCP(CP_UTF8);
}

// A console, not merely a character device (NUL is one too), and one that takes the escape
// codes once asked to.
bool StandardErrorIsTerminal() {
    const HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (::GetFileType(err) != FILE_TYPE_CHAR || !::GetConsoleMode(err, &mode))
        return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           ::SetConsoleMode(err, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(Utf16ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
    return arguments;
}

} // namespace pelmora::cli
