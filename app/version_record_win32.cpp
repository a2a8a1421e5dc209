// On Windows the version lives in the executable's version resource; its fixed part is
// copied into the record format that BuildVersionSuffix reads.
#include "app/version_info.h"

#include <vector>

#include <windows.h>

namespace pelmora {

namespace {

std::vector<char> ReadVersionResource() {
    wchar_t executable[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, executable, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return {};
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(executable, &ignored);
    std::vector<char> resource(size);
    if (size == 0 || !::GetFileVersionInfoW(executable, 0, size, resource.data()))
        return {};
    return resource;
}

} // namespace

std::optional<std::string_view> EmbeddedVersionRecord() {
    static const std::optional<std::string> record = []() -> std::optional<std::string> {
        std::vector<char> resource = ReadVersionResource();
        if (resource.empty())
            return std::nullopt;
        VersionRecord converted = MakeVersionRecord(0, 0, 0, 0);
        void* fixed = nullptr;
        UINT fixedSize = 0;
        if (::VerQueryValueW(resource.data(), L"\\", &fixed, &fixedSize) &&
            fixedSize >= sizeof(VS_FIXEDFILEINFO)) {
            const auto& info = *static_cast<const VS_FIXEDFILEINFO*>(fixed);
            converted.Fixed.FileVersionMS = info.dwFileVersionMS;
            converted.Fixed.FileVersionLS = info.dwFileVersionLS;
        } else {
            converted.FixedSize = 0;
        }
        return std::string(reinterpret_cast<const char*>(&converted), sizeof converted);
    }();
    if (!record)
        return std::nullopt;
    return std::string_view(*record);
}

} // namespace pelmora
