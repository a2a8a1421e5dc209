// Display scaling on Windows. The layout is in pixels at 96 dots per inch; a window shows it
// at its own monitor's resolution. The calls that take a resolution are looked up at run time,
// so the program still starts on systems older than Windows 10 (1607), where the system-wide
// resolution stands in.
#pragma once

#include <windows.h>

namespace pelmora {

inline constexpr UINT LayoutDpi = 96;

// A length of the layout at `dpi`, rounded to the nearest pixel.
inline int Scaled(int length, UINT dpi) {
    return ::MulDiv(length, int(dpi), int(LayoutDpi));
}

// The resolution `window` is shown at.
UINT WindowDpi(HWND window);

// The size of a window whose client area is width x height at `dpi`.
SIZE WindowSizeFor(int width, int height, DWORD style, DWORD exStyle, UINT dpi);

// GetSystemMetrics at `dpi`.
int SystemMetric(int index, UINT dpi);

} // namespace pelmora
