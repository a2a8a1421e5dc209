#include "ui/win32/diagram_window.h"

#include "app/form.h"
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

std::array<POINT, 5> ClosedPixels(const DiagramMapping& mapping,
                                  const std::array<Point, 4>& logical) {
    std::array<POINT, 5> pixels{};
    for (std::size_t i = 0; i < logical.size(); ++i) {
        const Point pixel = mapping.ToPixel(logical[i]);
        pixels[i] = {pixel.X, pixel.Y};
    }
    pixels[4] = pixels[0];
    return pixels;
}

void RenderMark(HDC canvas, POINT centre, const DrawStep& step) {
    const int radius = MarkRadius(step.Op);
    RECT mark{centre.x - radius, centre.y - radius, centre.x + radius + 1, centre.y + radius + 1};
    const HBRUSH brush = ::CreateSolidBrush(ToColorRef(step.Colour));
    if (step.Op == DrawOp::SelectionMark)
        ::FrameRect(canvas, &mark, brush);
    else
        ::FillRect(canvas, &mark, brush);
    ::DeleteObject(brush);
}

void RenderStep(HDC canvas, const DiagramMapping& mapping, const DrawStep& step) {
    const std::array<POINT, 5> pixels = ClosedPixels(mapping, step.Points);
    if (step.Op == DrawOp::Handle || step.Op == DrawOp::HotHandle ||
        step.Op == DrawOp::SelectionMark) {
        RenderMark(canvas, pixels[0], step);
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
Point PicturePixel(LPARAM l) {
    return {GET_X_LPARAM(l) - DiagramPicture.Left, GET_Y_LPARAM(l) - DiagramPicture.Top};
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
    RECT frame{0, 0, DiagramWindow.Width, DiagramWindow.Height};
    ::AdjustWindowRectEx(&frame, Style, FALSE, ExStyle);
    window_ = Made(::CreateWindowExW(ExStyle, ClassName, L"", Style, DiagramWindow.Left,
                                     DiagramWindow.Top, frame.right - frame.left,
                                     frame.bottom - frame.top, owner, nullptr, instance, nullptr),
                   "the diagram window");
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, LONG_PTR(this));
    ::SetWindowLongPtrW(window_, GWLP_WNDPROC, LONG_PTR(&TForm2::WindowProc));
    const HDC screen = ::GetDC(window_);
    canvas_ = ::CreateCompatibleDC(screen);
    bitmap_ = ::CreateCompatibleBitmap(screen, DiagramPicture.Width, DiagramPicture.Height);
    ::ReleaseDC(window_, screen);
    oldBitmap_ = ::SelectObject(canvas_, bitmap_);
    const RECT all{0, 0, DiagramPicture.Width, DiagramPicture.Height};
    ::FillRect(canvas_, &all, HBRUSH(::GetStockObject(WHITE_BRUSH)));
}

TForm2::~TForm2() {
    ::DestroyWindow(window_);
    ::SelectObject(canvas_, oldBitmap_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(canvas_);
}

void TForm2::SetShown(bool shown) {
    ::ShowWindow(window_, shown ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void TForm2::Draw(const DiagramDrawing& drawing) {
    const DiagramMapping mapping(DiagramPicture.Width, DiagramPicture.Height);
    const HBRUSH background = ::CreateSolidBrush(ToColorRef(drawing.Background));
    const RECT all{0, 0, DiagramPicture.Width, DiagramPicture.Height};
    ::FillRect(canvas_, &all, background);
    ::DeleteObject(background);
    ::SetBkMode(canvas_, OPAQUE);
    ::SetBkColor(canvas_, ToColorRef(drawing.Background));
    for (const DrawStep& step : drawing.Steps)
        RenderStep(canvas_, mapping, step);
    const RECT picture{DiagramPicture.Left, DiagramPicture.Top,
                       DiagramPicture.Left + DiagramPicture.Width,
                       DiagramPicture.Top + DiagramPicture.Height};
    ::InvalidateRect(window_, &picture, FALSE);
    ::UpdateWindow(window_);
}

void TForm2::Paint() {
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(window_, &paint);
    RECT bevel{DiagramBevel.Left, DiagramBevel.Top, DiagramBevel.Left + DiagramBevel.Width,
               DiagramBevel.Top + DiagramBevel.Height};
    ::DrawEdge(dc, &bevel, BDR_SUNKENOUTER, BF_RECT); // Bevel16
    ::BitBlt(dc, DiagramPicture.Left, DiagramPicture.Top, DiagramPicture.Width,
             DiagramPicture.Height, canvas_, 0, 0, SRCCOPY);
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
        Forward([&] { editor_->DiagramPointerPress(PicturePixel(l)); });
        return true;
    case WM_MOUSEMOVE:
        Forward([&] {
            if (editor_->DiagramPointerMove(PicturePixel(l)))
                editor_->DiagramApplyMove();
        });
        return true;
    case WM_LBUTTONUP:
        ::ReleaseCapture();
        Forward([&] { editor_->DiagramPointerRelease(PicturePixel(l)); });
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
    case WM_CLOSE: // hidden, never destroyed, by closing
        if (self->OnClose)
            self->OnClose();
        return 0;
    default:
        return ::DefWindowProcW(window, message, w, l);
    }
}

} // namespace pelmora
