#include "ui/win32/dpi.h"

namespace pelmora {

namespace {

template <typename Function> Function* User32(const char* name) {
    return reinterpret_cast<Function*>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

UINT SystemDpi() {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? UINT(dpi) : LayoutDpi;
}

} // namespace

UINT WindowDpi(HWND window) {
    static const auto forWindow = User32<UINT WINAPI(HWND)>("GetDpiForWindow");
    const UINT dpi = forWindow != nullptr ? forWindow(window) : 0;
    return dpi != 0 ? dpi : SystemDpi();
}

SIZE WindowSizeFor(int width, int height, DWORD style, DWORD exStyle, UINT dpi) {
    static const auto adjust =
        User32<BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, width, height};
    if (adjust == nullptr || !adjust(&frame, style, FALSE, exStyle, dpi))
        ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

int SystemMetric(int index, UINT dpi) {
    static const auto forDpi = User32<int WINAPI(int, UINT)>("GetSystemMetricsForDpi");
    return forDpi != nullptr ? forDpi(index, dpi) : ::GetSystemMetrics(index);
}

} // namespace pelmora
