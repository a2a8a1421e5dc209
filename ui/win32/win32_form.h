// The Windows face of the main window: native controls built from the layout table, each
// mirroring its control both ways. A change of a control reaches its window; a user's action
// on a window reaches its control as the action it is. Nothing of the tool's behaviour is
// decided here.
#pragma once

#include "app/form.h"
#include "ui/win32/win32_services.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <windows.h>

namespace pelmora {

// The main window without its controls: made first, so that the services and the diagram
// window can name it as their owner.
HWND CreateMainWindow();

class Win32Form {
  public:
    // Builds the controls of `form` into `window` and takes the window's messages.
    Win32Form(TForm1& form, HWND window);
    ~Win32Form();
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    HWND Handle() const { return window_; }
    // The native window of the control of that name; nullptr when there is none.
    HWND Child(std::string_view name) const;
    HFONT Font(const std::u16string& face, int pixels);

  private:
    struct Entry {
        Control* control;
        ControlView* view;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
    static LRESULT CALLBACK ForwardingProc(HWND window, UINT message, WPARAM w, LPARAM l,
                                           UINT_PTR id, DWORD_PTR self);
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                     DWORD_PTR self);
    LRESULT Dispatch(UINT message, WPARAM w, LPARAM l);
    LRESULT EditMessage(EditBox& edit, HWND window, UINT message, WPARAM w, LPARAM l);
    bool Command(HWND child, int code);
    void Scroll(HWND child, int code);
    std::optional<COLORREF> CaptionColour(HWND child) const;
    LRESULT ColourStatic(HDC dc, HWND child);
    void BuildControls();
    void BuildStatusBarPanels();
    void Attach(Control& control, HWND child, bool naturalSize);
    const Entry* Find(HWND child) const;
    void Guarded(const std::function<void()>& action) { form_.RunGuarded(action); }

    TForm1& form_;
    HWND window_;
    std::unordered_map<std::string_view, HWND> children_;
    std::unordered_map<HWND, Entry> entries_;
    std::map<std::pair<std::u16string, int>, HFONT> fonts_;
    std::vector<std::unique_ptr<ControlView>> views_;
    ControlView* timer1_ = nullptr; // arms the window's timer for Timer1
    HBRUSH face_ = ::GetSysColorBrush(COLOR_BTNFACE);
    std::unique_ptr<Win32UiHandoff> handoff_; // detached before the form's port goes
};

} // namespace pelmora
