// The output resolutions a box reports, indexed by its output-mode code.
#pragma once

#include <array>

namespace pelmora {

struct Resolution {
    int Width;
    int Height;
};

inline constexpr std::array<Resolution, 11> ResolutionTable = {{
    {720, 480},
    {1280, 720},
    {1920, 1080},
    {800, 600},
    {1024, 768},
    {1280, 800},
    {1208, 1024},
    {1360, 768},
    {1400, 1050},
    {1600, 1200},
    {1920, 1200},
}};

// The resolution that applies to every model but the single-output one, and to unknown codes.
inline constexpr int DefaultResolutionCode = 2;

constexpr Resolution ResolutionForCode(int code) {
    const bool known = code >= 0 && code < static_cast<int>(ResolutionTable.size());
    return ResolutionTable[known ? code : DefaultResolutionCode];
}

} // namespace pelmora
