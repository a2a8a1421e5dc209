// TForm2, the diagram window of the Windows face: a tool window without a system menu (so
// without a close box) or caption text. The picture is drawn into an off-screen bitmap,
// from which the window repaints itself.
#pragma once

#include "app/platform.h"
#include "diagram/diagram_drawing.h"

#include <functional>

#include <windows.h>

namespace pelmora {

class TForm1;

class TForm2 final : public DiagramSurface {
  public:
    explicit TForm2(HWND owner);
    ~TForm2() override;
    TForm2(const TForm2&) = delete;
    TForm2& operator=(const TForm2&) = delete;

    void SetShown(bool shown) override;
    void Draw(const DiagramDrawing& drawing) override;

    HWND Handle() const { return window_; }
    std::function<void()> OnClose; // the user closed the window (Alt+F4)
    // The form whose corners the picture edits: the pointer and the keys go to it.
    void AttachEditor(TForm1& form) { editor_ = &form; }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
    void Paint();
    void ScaleTo(UINT dpi);
    void PlaceOnOwnersMonitor();
    RECT Picture() const; // the picture's bitmap, at the window's resolution
    bool EditorMessage(UINT message, WPARAM w, LPARAM l);
    void Forward(const std::function<void()>& action);

    TForm1* editor_ = nullptr;
    HWND window_ = nullptr;
    HDC canvas_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    UINT dpi_ = 96;
    bool placed_ = false;
    DiagramDrawing last_{}; // redrawn at a new resolution
};

} // namespace pelmora
