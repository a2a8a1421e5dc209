#include "ui/win32/diagram_window.h"

#include "app/form.h"
#include "app/layout.h"
#include "ui/win32/dpi.h"
#include "ui/win32/win32_services.h"

#include <array>
#include <optional>

#include <windowsx.h>

namespace pelmora {

namespace {

constexpr wchar_t ClassName[] = L"PelmoraDiagram";
constexpr DWORD Style = WS_POPUP | WS_CAPTION;
constexpr DWORD ExStyle = WS_EX_TOOLWINDOW;

COLORREF ToColorRef(Rgb colour) {
    return RGB(colour.R, colour.G, colour.B);
}

void RegisterOnce(HINSTANCE instance) {
    static const bool registered = [instance] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = instance;
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = ClassName;
        return ::RegisterClassExW(&windowClass) != 0;
    }();
    static_cast<void>(registered);
}

// The layout's picture, mapped as at 96 dots per inch and then scaled, so that the drawing
// fills the picture at every resolution.
std::array<POINT, 5> ClosedPixels(const std::array<Point, 4>& logical, UINT dpi) {
    static const DiagramMapping mapping(DiagramPicture.Width, DiagramPicture.Height);
    std::array<POINT, 5> pixels{};
    for (std::size_t i = 0; i < logical.size(); ++i) {
        const Point pixel = mapping.ToPixel(logical[i]);
        pixels[i] = {Scaled(pixel.X, dpi), Scaled(pixel.Y, dpi)};
    }
    pixels[4] = pixels[0];
    return pixels;
}

void RenderMark(HDC canvas, POINT centre, const DrawStep& step, UINT dpi) {
    const int radius = Scaled(MarkRadius(step.Op), dpi);
    RECT mark{centre.x - radius, centre.y - radius, centre.x + radius + 1, centre.y + radius + 1};
    const HBRUSH brush = ::CreateSolidBrush(ToColorRef(step.Colour));
    if (step.Op == DrawOp::SelectionMark)
        ::FrameRect(canvas, &mark, brush);
    else
        ::FillRect(canvas, &mark, brush);
    ::DeleteObject(brush);
}

void RenderStep(HDC canvas, const DrawStep& step, UINT dpi) {
    const std::array<POINT, 5> pixels = ClosedPixels(step.Points, dpi);
    if (step.Op == DrawOp::Handle || step.Op == DrawOp::HotHandle ||
        step.Op == DrawOp::SelectionMark) {
        RenderMark(canvas, pixels[0], step, dpi);
        return;
    }
    if (step.Op == DrawOp::Hatch) {
        RECT box{pixels[0].x, pixels[0].y, pixels[0].x, pixels[0].y};
        for (const POINT& p : pixels) {
            box.left = std::min(box.left, p.x);
            box.top = std::min(box.top, p.y);
            box.right = std::max(box.right, p.x + 1);
            box.bottom = std::max(box.bottom, p.y + 1);
        }
        const HBRUSH hatch = ::CreateHatchBrush(HS_DIAGCROSS, ToColorRef(step.Colour));
        ::FillRect(canvas, &box, hatch);
        ::DeleteObject(hatch);
        return;
    }
    const HPEN pen = ::CreatePen(PS_SOLID, 0, ToColorRef(step.Colour));
    const HGDIOBJ old = ::SelectObject(canvas, pen);
    ::Polyline(canvas, pixels.data(), int(pixels.size()));
    ::SelectObject(canvas, old);
    ::DeleteObject(pen);
}

// A pointer position in the window as a pixel of the picture.
Point PicturePixel(LPARAM l, UINT dpi) {
    const auto unscaled = [dpi](int pixels) { return ::MulDiv(pixels, int(LayoutDpi), int(dpi)); };
    return {unscaled(GET_X_LPARAM(l) - Scaled(DiagramPicture.Left, dpi)),
            unscaled(GET_Y_LPARAM(l) - Scaled(DiagramPicture.Top, dpi))};
}

std::optional<TForm1::DiagramKey> DiagramKeyOf(WPARAM key, bool shift) {
    switch (key) {
    case VK_LEFT:
        return TForm1::DiagramKey::Left;
    case VK_RIGHT:
        return TForm1::DiagramKey::Right;
    case VK_UP:
        return TForm1::DiagramKey::Up;
    case VK_DOWN:
        return TForm1::DiagramKey::Down;
    case VK_TAB:
        return shift ? TForm1::DiagramKey::PreviousHandle : TForm1::DiagramKey::NextHandle;
    default:
        return std::nullopt;
    }
}

} // namespace

TForm2::TForm2(HWND owner) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RegisterOnce(instance);
    window_ = Made(::CreateWindowExW(ExStyle, ClassName, L"", Style, DiagramWindow.Left,
                                     DiagramWindow.Top, 0, 0, owner, nullptr, instance, nullptr),
                   "the diagram window");
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, LONG_PTR(this));
    ::SetWindowLongPtrW(window_, GWLP_WNDPROC, LONG_PTR(&TForm2::WindowProc));
    canvas_ = ::CreateCompatibleDC(nullptr);
    ScaleTo(WindowDpi(window_));
    const SIZE frame = WindowSizeFor(Scaled(DiagramWindow.Width, dpi_),
                                     Scaled(DiagramWindow.Height, dpi_), Style, ExStyle, dpi_);
    ::SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TForm2::~TForm2() {
    ::DestroyWindow(window_);
    ::SelectObject(canvas_, oldBitmap_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(canvas_);
}

void TForm2::SetShown(bool shown) {
    if (shown && !placed_)
        PlaceOnOwnersMonitor();
    ::ShowWindow(window_, shown ? SW_SHOWNOACTIVATE : SW_HIDE);
}

// At its tabled point when that keeps it inside the work area of the monitor the main window
// is on, else moved inside; placed once, before it is first shown.
void TForm2::PlaceOnOwnersMonitor() {
    placed_ = true;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    const HMONITOR owners =
        ::MonitorFromWindow(::GetWindow(window_, GW_OWNER), MONITOR_DEFAULTTONEAREST);
    if (!::GetMonitorInfoW(owners, &monitor))
        return;
    RECT frame{};
    ::GetWindowRect(window_, &frame);
    const RECT& work = monitor.rcWork;
    const Rect at =
        PlacedInside({Scaled(DiagramWindow.Left, dpi_), Scaled(DiagramWindow.Top, dpi_),
                      frame.right - frame.left, frame.bottom - frame.top},
                     {work.left, work.top, work.right - work.left, work.bottom - work.top});
    ::SetWindowPos(window_, nullptr, at.Left, at.Top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The picture's bitmap at the window's resolution, holding the last drawing.
void TForm2::ScaleTo(UINT dpi) {
    dpi_ = dpi;
    const HDC screen = ::GetDC(window_);
    const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, Picture().right, Picture().bottom);
    ::ReleaseDC(window_, screen);
    const HGDIOBJ old = ::SelectObject(canvas_, bitmap);
    if (bitmap_ != nullptr)
        ::DeleteObject(bitmap_);
    else
        oldBitmap_ = old;
    bitmap_ = bitmap;
    Draw(last_);
}

RECT TForm2::Picture() const {
    return {0, 0, Scaled(DiagramPicture.Width, dpi_), Scaled(DiagramPicture.Height, dpi_)};
}

void TForm2::Draw(const DiagramDrawing& drawing) {
    if (&drawing != &last_)
        last_ = drawing;
    const RECT all = Picture();
    const HBRUSH background = ::CreateSolidBrush(ToColorRef(drawing.Background));
    ::FillRect(canvas_, &all, background);
    ::DeleteObject(background);
    ::SetBkMode(canvas_, OPAQUE);
    ::SetBkColor(canvas_, ToColorRef(drawing.Background));
    for (const DrawStep& step : drawing.Steps)
        RenderStep(canvas_, step, dpi_);
    RECT picture = all;
    ::OffsetRect(&picture, Scaled(DiagramPicture.Left, dpi_), Scaled(DiagramPicture.Top, dpi_));
    ::InvalidateRect(window_, &picture, FALSE);
    ::UpdateWindow(window_);
}

void TForm2::Paint() {
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(window_, &paint);
    const int left = Scaled(DiagramBevel.Left, dpi_);
    const int top = Scaled(DiagramBevel.Top, dpi_);
    RECT bevel{left, top, left + Scaled(DiagramBevel.Width, dpi_),
               top + Scaled(DiagramBevel.Height, dpi_)};
    ::DrawEdge(dc, &bevel, BDR_SUNKENOUTER, BF_RECT); // Bevel16
    ::BitBlt(dc, Scaled(DiagramPicture.Left, dpi_), Scaled(DiagramPicture.Top, dpi_),
             Picture().right, Picture().bottom, canvas_, 0, 0, SRCCOPY);
    ::EndPaint(window_, &paint);
}

void TForm2::Forward(const std::function<void()>& action) {
    if (editor_ != nullptr)
        editor_->RunGuarded(action);
}

// The pointer and the keys of the picture go to the editor. The system keeps only the latest
// pointer position while a live frame's pause holds the window, so each move is applied at
// once.
bool TForm2::EditorMessage(UINT message, WPARAM w, LPARAM l) {
    if (editor_ == nullptr)
        return false;
    switch (message) {
    case WM_LBUTTONDOWN:
        ::SetCapture(window_);
        ::SetFocus(window_);
        Forward([&] { editor_->DiagramPointerPress(PicturePixel(l, dpi_)); });
        return true;
    case WM_MOUSEMOVE:
        Forward([&] {
            if (editor_->DiagramPointerMove(PicturePixel(l, dpi_)))
                editor_->DiagramApplyMove();
        });
        return true;
    case WM_LBUTTONUP:
        ::ReleaseCapture();
        Forward([&] { editor_->DiagramPointerRelease(PicturePixel(l, dpi_)); });
        return true;
    case WM_SETCURSOR:
        if (LOWORD(l) != HTCLIENT || !(editor_->HotHandle || editor_->DiagramDragging()))
            return false;
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return true;
    case WM_KEYDOWN: {
        const auto key = DiagramKeyOf(w, ::GetKeyState(VK_SHIFT) < 0);
        bool taken = false;
        if (key)
            Forward([&] { taken = editor_->DiagramKeyPress(*key, ::GetKeyState(VK_SHIFT) < 0); });
        return taken;
    }
    default:
        return false;
    }
}

LRESULT CALLBACK TForm2::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<TForm2*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self->EditorMessage(message, w, l))
        return message == WM_SETCURSOR ? TRUE : 0;
    switch (message) {
    case WM_PAINT:
        self->Paint();
        return 0;
    case WM_DPICHANGED: {
        const RECT& suggested = *reinterpret_cast<const RECT*>(l);
        ::SetWindowPos(window, nullptr, suggested.left, suggested.top,
                       suggested.right - suggested.left, suggested.bottom - suggested.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        self->ScaleTo(LOWORD(w));
        ::InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    case WM_CLOSE: // hidden, never destroyed, by closing
        if (self->OnClose)
            self->OnClose();
        return 0;
    default:
        return ::DefWindowProcW(window, message, w, l);
    }
}

} // namespace pelmora
