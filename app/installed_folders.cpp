// Where an installed tool finds its package's data and keeps the user's settings, on each system.
#include "app/platform.h"

#include <cstdlib>

namespace pelmora {
namespace {

#ifdef _WIN32
// Wide, so that a user name outside the ANSI code page survives.
std::filesystem::path Variable(const wchar_t* name) {
    const wchar_t* value = ::_wgetenv(name);
    return value != nullptr ? value : L"";
}
#else
std::filesystem::path Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}
#endif

} // namespace

void AddInstalledFolders(FormServices& services) {
#ifdef _WIN32
    services.PackageDataDir = services.ExecutableDir;
    const std::filesystem::path appData = Variable(L"APPDATA");
    if (appData.is_absolute())
        services.UserConfigDir = appData / L"Pelmora Align Tool";
#else
    services.PackageDataDir =
        (services.ExecutableDir / "../share/pelmora-align").lexically_normal();
    std::filesystem::path configHome = Variable("XDG_CONFIG_HOME");
    if (!configHome.is_absolute()) { // a relative one is to be ignored
        const std::filesystem::path home = Variable("HOME");
        configHome = home.is_absolute() ? home / ".config" : std::filesystem::path();
    }
    if (!configHome.empty())
        services.UserConfigDir = configHome / "pelmora-align";
#endif
}

} // namespace pelmora
