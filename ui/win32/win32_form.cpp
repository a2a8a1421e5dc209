#include "ui/win32/win32_form.h"

#include "app/layout.h"
#include "diagram/diagram_drawing.h"
#include "storage/ui_strings.h"
#include "ui/win32/dpi.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <utility>

#include <commctrl.h>
#include <dbt.h>
#include <initguid.h> // the annotation service's identifiers are defined here
#include <oleacc.h>

namespace pelmora {

namespace {

constexpr wchar_t MainClassName[] = L"PelmoraAlignForm1";
constexpr DWORD MainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr UINT_PTR Timer1Id = 1;
constexpr int ComboDropHeight = 200;
constexpr int ProgramIconId = 1;
// The layout's edit boxes are narrow: with the usual margins a four-digit value and the caret
// behind it do not fit, and the box scrolls the first digit out of sight.
constexpr int EditMargin = 1;

struct NativeClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

// The window class and styles of each kind of control. Check boxes and radio buttons change
// state only when the core says so.
NativeClass NativeClassOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::GroupBox:
        return {L"BUTTON", BS_GROUPBOX, WS_EX_CONTROLPARENT};
    case ControlKind::StaticText:
        return {L"STATIC", SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | SS_NOPREFIX, 0};
    case ControlKind::Bevel:
        return {L"STATIC", SS_ETCHEDFRAME, 0};
    case ControlKind::Label:
        return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::Edit:
        return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::ScrollBar:
        return {L"SCROLLBAR", SBS_HORZ | WS_TABSTOP, 0};
    case ControlKind::CheckBox:
        return {L"BUTTON", BS_CHECKBOX | WS_TABSTOP, 0};
    case ControlKind::RadioButton:
        return {L"BUTTON", BS_RADIOBUTTON | WS_TABSTOP, 0};
    case ControlKind::Button:
        return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::ComboBox:
        return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::Panel:
        return {L"STATIC", WS_BORDER | SS_NOTIFY, WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME};
    case ControlKind::ProgressBar:
        return {PROGRESS_CLASSW, 0, 0};
    case ControlKind::StatusBar:
    case ControlKind::Timer:
        break;
    }
    return {L"STATIC", 0, 0};
}

// A rectangle of the layout at `dpi`.
Rect ScaledRect(const Rect& at, UINT dpi) {
    return {Scaled(at.Left, dpi), Scaled(at.Top, dpi), Scaled(at.Width, dpi),
            Scaled(at.Height, dpi)};
}

// Where a control of the layout stands at `dpi`; a drop-down list's height is that of its list.
Rect PlaceOf(const ControlRow& row, UINT dpi) {
    Rect at = row.Geometry;
    if (row.Kind == ControlKind::ComboBox)
        at.Height = ComboDropHeight;
    return ScaledRect(at, dpi);
}

bool IsContainer(ControlKind kind) {
    return kind == ControlKind::GroupBox || kind == ControlKind::Panel ||
           kind == ControlKind::StatusBar;
}

std::wstring TextOf(HWND window) {
    std::wstring text(std::size_t(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(::GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

// The size a label needs for its caption in its font.
SIZE NaturalSize(HWND window) {
    const std::wstring text = TextOf(window);
    const HDC dc = ::GetDC(window);
    const HGDIOBJ old = ::SelectObject(dc, HFONT(::SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    return size;
}

// The name a screen reader gives the control, through the system's annotation service; where
// the system offers none, the control keeps the name the system finds for it.
void ShowAccessibleName(HWND window, const std::u16string& name) {
    static IAccPropServices* const annotations = [] {
        IAccPropServices* services = nullptr;
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (FAILED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IAccPropServices, reinterpret_cast<void**>(&services))))
            return static_cast<IAccPropServices*>(nullptr);
        return services;
    }();
    if (annotations != nullptr)
        annotations->SetHwndPropStr(window, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                                    Wide(name).c_str());
}

// Shows one control's state on its window; what the window itself notifies meanwhile is not
// taken for a user's action.
class ChildView final : public ControlView {
  public:
    ChildView(Win32Form& face, Control& control, HWND window, bool naturalSize)
        : face_(face), control_(control), window_(window), naturalSize_(naturalSize) {}

    void Changed(Change what) override {
        switch (what) {
        case Change::Enabled:
            ::EnableWindow(window_, control_.Enabled());
            break;
        case Change::Visible:
            ::SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                               (control_.Visible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
            break;
        case Change::Caption:
            ::SetWindowTextW(window_, Wide(control_.Caption()).c_str());
            FitCaption();
            break;
        case Change::Font:
            ShowFont();
            break;
        case Change::AccessibleName:
            ShowAccessibleName(window_, control_.AccessibleName());
            break;
        default:
            ShowValue(what);
        }
    }

    void ShowAll(int fontPixels) {
        pixels_ = fontPixels;
        for (Change what : {Change::Enabled, Change::Font, Change::Caption, Change::Range,
                            Change::Position, Change::Text, Change::Checked, Change::Items,
                            Change::ItemIndex, Change::AccessibleName})
            Changed(what);
        ::ShowWindow(window_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
    }

  private:
    void ShowFont() {
        const std::u16string face = control_.FontFace().empty()
                                        ? std::u16string(DefaultInterfaceFont)
                                        : control_.FontFace();
        ::SendMessageW(window_, WM_SETFONT, WPARAM(face_.Font(face, pixels_)), TRUE);
        if (control_.Kind() == ControlKind::Edit) // after the font, which resets them
            ::SendMessageW(window_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                           MAKELPARAM(face_.Scale(EditMargin), face_.Scale(EditMargin)));
        FitCaption();
    }

    void FitCaption() {
        if (!naturalSize_)
            return;
        const SIZE size = NaturalSize(window_);
        ::SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void ShowValue(Change what) {
        switch (control_.Kind()) {
        case ControlKind::ScrollBar:
            ShowBar(static_cast<ScrollBar&>(control_), what);
            break;
        case ControlKind::Edit:
            ShowEdit(static_cast<EditBox&>(control_), what);
            break;
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
            if (what == Change::Checked)
                ::SendMessageW(
                    window_, BM_SETCHECK,
                    static_cast<CheckBox&>(control_).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case ControlKind::ComboBox:
            ShowList(static_cast<ComboBox&>(control_), what);
            break;
        case ControlKind::ProgressBar:
            ShowProgress(static_cast<ProgressBar&>(control_), what);
            break;
        case ControlKind::GroupBox:
        case ControlKind::StaticText:
        case ControlKind::Bevel:
        case ControlKind::Label:
        case ControlKind::Button:
        case ControlKind::Panel:
        case ControlKind::StatusBar:
        case ControlKind::Timer:
            break; // a caption, a font and visibility are all they show
        }
    }

    void ShowBar(const ScrollBar& bar, Change what) {
        if (what != Change::Range && what != Change::Position)
            return;
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_POS, bar.Min(), bar.Max(),
                        0,           bar.Position(),      0};
        ::SetScrollInfo(window_, SB_CTL, &info, TRUE);
    }

    void ShowEdit(const EditBox& edit, Change what) {
        if (what == Change::Text && TextOf(window_) != Wide(edit.Text()))
            ::SetWindowTextW(window_, Wide(edit.Text()).c_str());
        if (what == Change::Text || what == Change::Selection)
            ::SendMessageW(window_, EM_SETSEL, WPARAM(edit.SelStart()),
                           LPARAM(edit.SelStart() + edit.SelLength()));
    }

    void ShowList(const ComboBox& list, Change what) {
        if (what == Change::Items) {
            ::SendMessageW(window_, CB_RESETCONTENT, 0, 0);
            for (const std::u16string& item : list.Items())
                ::SendMessageW(window_, CB_ADDSTRING, 0, LPARAM(Wide(item).c_str()));
        }
        if (what == Change::Items || what == Change::ItemIndex)
            ::SendMessageW(window_, CB_SETCURSEL, WPARAM(list.ItemIndex()), 0);
    }

    void ShowProgress(const ProgressBar& progress, Change what) {
        if (what == Change::Range)
            ::SendMessageW(window_, PBM_SETRANGE32, WPARAM(progress.Min()), LPARAM(progress.Max()));
        if (what == Change::Position || what == Change::Range)
            ::SendMessageW(window_, PBM_SETPOS, WPARAM(progress.Position()), 0);
    }

    Win32Form& face_;
    Control& control_;
    HWND window_;
    bool naturalSize_;
    int pixels_ = WindowFontPixels;
};

// The window's caption.
class CaptionView final : public ControlView {
  public:
    CaptionView(Control& control, HWND window) : control_(control), window_(window) {}
    void Changed(Change what) override {
        if (what == Change::Caption)
            ::SetWindowTextW(window_, Wide(control_.Caption()).c_str());
    }

  private:
    Control& control_;
    HWND window_;
};

// Arms the window's timer while the form's timer runs. A window timer may come a tick early;
// one that does is armed again for the rest, so the form's timer never fires before its time.
class TimerView final : public ControlView {
  public:
    TimerView(Timer& timer, HWND window) : timer_(timer), window_(window) {}
    void Changed(Change what) override {
        if (what != Change::Running)
            return;
        if (timer_.Running()) {
            due_ = Clock::now() + std::chrono::milliseconds(timer_.Interval);
            ::SetTimer(window_, Timer1Id, UINT(timer_.Interval), nullptr);
        } else {
            ::KillTimer(window_, Timer1Id);
        }
    }
    bool Due() {
        const auto early = std::chrono::ceil<std::chrono::milliseconds>(due_ - Clock::now());
        if (early.count() <= 0)
            return true;
        ::SetTimer(window_, Timer1Id, UINT(early.count()), nullptr);
        return false;
    }

  private:
    using Clock = std::chrono::steady_clock;
    Timer& timer_;
    HWND window_;
    Clock::time_point due_;
};

// A themed group box draws its caption in the theme's colour whatever its parent says, so a
// group with a coloured caption is drawn here, in the classic look: an etched frame whose top
// runs through the middle of the caption.
void PaintColouredGroup(HWND group, COLORREF colour) {
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(group, &paint);
    const HGDIOBJ old = ::SelectObject(dc, HFONT(::SendMessageW(group, WM_GETFONT, 0, 0)));
    const std::wstring text = TextOf(group);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    RECT frame{};
    ::GetClientRect(group, &frame);
    ::FillRect(dc, &frame, ::GetSysColorBrush(COLOR_BTNFACE));
    frame.top = size.cy / 2;
    ::DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    const int left = int(size.cy) * 2 / 3; // the classic inset of a caption, in its font's measure
    const int gap = std::max(1, int(size.cy) / 8);
    const RECT caption{left - gap, 0, left + size.cx + gap, size.cy};
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    ::SetTextColor(dc, colour);
    ::ExtTextOutW(dc, left, 0, ETO_OPAQUE, &caption, text.c_str(), UINT(text.size()), nullptr);
    ::SelectObject(dc, old);
    ::EndPaint(group, &paint);
}

ScrollBar::Step StepOf(int code) {
    switch (code) {
    case SB_LINELEFT:
        return ScrollBar::Step::Left;
    case SB_LINERIGHT:
        return ScrollBar::Step::Right;
    case SB_PAGELEFT:
        return ScrollBar::Step::PageLeft;
    default:
        return ScrollBar::Step::PageRight;
    }
}

std::u16string ClipboardText(HWND owner) {
    std::u16string text;
    if (!::OpenClipboard(owner))
        return text;
    if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const char16_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// Where the edit's caret and selection stand now.
void TakeSelection(EditBox& edit, HWND window) {
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(window, EM_GETSEL, WPARAM(&start), LPARAM(&end));
    edit.SetSelection(int(start), int(end - start));
}

// Characters the edit box keeps for itself: copy and select-all change no text.
bool IsOwnShortcut(WPARAM character) {
    return character == 0x03 || character == 0x01;
}

bool IsShiftInsert() {
    return ::GetKeyState(VK_SHIFT) < 0 && ::GetKeyState(VK_CONTROL) >= 0;
}

} // namespace

HWND CreateMainWindow() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    // The standard classes are a valid flag only for the common controls of version 6, which
    // the program's manifest asks for; elsewhere the whole call fails.
    INITCOMMONCONTROLSEX common{sizeof common, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    if (!::InitCommonControlsEx(&common))
        throw std::runtime_error("Cannot load the common controls (version 6 is needed)");
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(ProgramIconId));
    windowClass.hIconSm =
        HICON(::LoadImageW(instance, MAKEINTRESOURCEW(ProgramIconId), IMAGE_ICON,
                           ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = MainClassName;
    if (::RegisterClassExW(&windowClass) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("Cannot register the main window's class");
    const HWND window =
        Made(::CreateWindowExW(WS_EX_CONTROLPARENT, MainClassName, L"", MainStyle, CW_USEDEFAULT,
                               CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, nullptr),
             "the main window");
    // Its size follows the resolution of the monitor it opens on.
    const UINT dpi = WindowDpi(window);
    const SIZE frame = WindowSizeFor(Scaled(ClientSize.Width, dpi), Scaled(ClientSize.Height, dpi),
                                     MainStyle, WS_EX_CONTROLPARENT, dpi);
    ::SetWindowPos(window, nullptr, 0, 0, frame.cx, frame.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return window;
}

Win32Form::Win32Form(TForm1& form, HWND window)
    : form_(form), window_(window), dpi_(WindowDpi(window)) {
    BuildControls();
    BuildStatusBarPanels();
    auto caption = std::make_unique<CaptionView>(form_.Window, window_);
    form_.Window.AttachView(caption.get());
    caption->Changed(Change::Caption);
    views_.push_back(std::move(caption));
    auto timer = std::make_unique<TimerView>(form_.Timer1, window_);
    timer1_ = timer.get();
    form_.Timer1.AttachView(timer1_);
    views_.push_back(std::move(timer));
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, LONG_PTR(this));
    ::SetWindowLongPtrW(window_, GWLP_WNDPROC, LONG_PTR(&Win32Form::WindowProc));
    handoff_ = std::make_unique<Win32UiHandoff>(form_.ComPort1, window_);
    form_.SendDeviceReply = [window] { ::SendMessageW(window, WM_DEVICE_REPLY, 0, 0); };
}

Win32Form::~Win32Form() {
    handoff_.reset();
    form_.SendDeviceReply = [this] { form_.DeviceReplyMessage(); };
    for (const auto& control : form_.Components)
        control->AttachView(nullptr);
    form_.Window.AttachView(nullptr);
    form_.Timer1.AttachView(nullptr);
    ::SetWindowLongPtrW(window_, GWLP_WNDPROC, LONG_PTR(&DefWindowProcW));
    for (const auto& [key, font] : fonts_)
        ::DeleteObject(font);
}

HWND Win32Form::Child(std::string_view name) const {
    const auto found = children_.find(name);
    return found == children_.end() ? nullptr : found->second;
}

HFONT Win32Form::Font(const std::u16string& face, int pixels) {
    HFONT& font = fonts_[{face, Scale(pixels)}];
    if (font == nullptr)
        font = ::CreateFontW(-Scale(pixels), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Wide(face).c_str());
    return font;
}

void Win32Form::BuildControls() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    for (const ControlRow& row : LayoutRows()) {
        Control& control = *form_.Find(row.Name);
        NativeClass native = NativeClassOf(row.Kind);
        if (row.Kind == ControlKind::Edit && static_cast<EditBox&>(control).Centred())
            native.style |= ES_CENTER;
        const HWND parent = row.Parent.empty() ? window_ : Child(row.Parent);
        const Rect at = PlaceOf(row, dpi_);
        const HWND child =
            Made(::CreateWindowExW(native.exStyle, native.name, L"",
                                   WS_CHILD | WS_CLIPSIBLINGS | native.style, at.Left, at.Top,
                                   at.Width, at.Height, parent, nullptr, instance, nullptr),
                 row.Name);
        if (IsContainer(row.Kind))
            ::SetWindowSubclass(child, &Win32Form::ForwardingProc, 0, DWORD_PTR(this));
        if (row.Kind == ControlKind::Edit)
            ::SetWindowSubclass(child, &Win32Form::EditProc, 0, DWORD_PTR(this));
        children_[control.Name()] = child;
        Attach(control, child, row.Geometry.Width == 0,
               row.FontPixels != 0 ? row.FontPixels : WindowFontPixels);
    }
    // Frames lie beneath the controls they surround (a new window goes beneath its siblings,
    // so this waits until all are made).
    for (const ControlRow& row : LayoutRows())
        if (row.Kind == ControlKind::Bevel)
            ::SetWindowPos(Child(row.Name), HWND_BOTTOM, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // The Tab key follows the stacking order of the groups.
    HWND previous = HWND_TOP;
    for (const char* group : TabOrderGroups) {
        ::SetWindowPos(Child(group), previous, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = Child(group);
    }
}

void Win32Form::BuildStatusBarPanels() {
    for (const StatusPanelLayout& layout : StatusBarPanels) {
        const HWND panel = Made(::CreateWindowExW(0, L"STATIC", L"",
                                                  WS_CHILD | WS_VISIBLE | SS_SUNKEN | SS_NOPREFIX |
                                                      (layout.Centred ? SS_CENTER : 0),
                                                  0, 0, 0, 0, Child("STBar"), nullptr,
                                                  ::GetModuleHandleW(nullptr), nullptr),
                                layout.Name);
        Control& control = *form_.Find(layout.Name);
        children_[control.Name()] = panel;
        Attach(control, panel, false, WindowFontPixels);
    }
    PlaceStatusBarPanels();
}

void Win32Form::PlaceStatusBarPanels() {
    RECT area{};
    ::GetClientRect(Child("STBar"), &area);
    int left = 0;
    for (const StatusPanelLayout& layout : StatusBarPanels) {
        ::SetWindowPos(Child(layout.Name), nullptr, left, 0, Scale(layout.Width), area.bottom,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        left += Scale(layout.Width);
    }
}

// The window moved to a monitor of another resolution (or that monitor's scale changed): it
// takes the size the system suggests, and every control its place and font at the new scale.
void Win32Form::ChangeDpi(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    const auto oldFonts = std::exchange(fonts_, {});
    ::SetWindowPos(window_, nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    for (const ControlRow& row : LayoutRows()) {
        const Rect at = PlaceOf(row, dpi_);
        ::SetWindowPos(Child(row.Name), nullptr, at.Left, at.Top, at.Width, at.Height,
                       SWP_NOZORDER | SWP_NOACTIVATE | (row.Geometry.Width == 0 ? SWP_NOSIZE : 0));
    }
    PlaceStatusBarPanels();
    for (const auto& view : views_)
        view->Changed(Change::Font);
    for (const auto& [key, font] : oldFonts)
        ::DeleteObject(font);
}

// The child shows its control's state, and its notifications reach the control.
void Win32Form::Attach(Control& control, HWND child, bool naturalSize, int fontPixels) {
    auto view = std::make_unique<ChildView>(*this, control, child, naturalSize);
    view->ShowAll(fontPixels);
    control.AttachView(view.get());
    entries_[child] = {&control, view.get()};
    views_.push_back(std::move(view));
}

const Win32Form::Entry* Win32Form::Find(HWND child) const {
    const auto found = entries_.find(child);
    return found == entries_.end() ? nullptr : &found->second;
}

LRESULT CALLBACK Win32Form::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<Win32Form*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    return self->Dispatch(message, w, l);
}

// Group boxes and panels hand their children's notifications to the main window.
LRESULT CALLBACK Win32Form::ForwardingProc(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                           DWORD_PTR self) {
    switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return reinterpret_cast<Win32Form*>(self)->Dispatch(message, w, l);
    case WM_PAINT:
        if (const std::optional<COLORREF> colour =
                reinterpret_cast<Win32Form*>(self)->CaptionColour(window)) {
            PaintColouredGroup(window, *colour);
            return 0;
        }
        return ::DefSubclassProc(window, message, w, l);
    case WM_ERASEBKGND: {
        RECT area{};
        ::GetClientRect(window, &area);
        ::FillRect(HDC(w), &area, reinterpret_cast<Win32Form*>(self)->face_);
        return 1;
    }
    default:
        return ::DefSubclassProc(window, message, w, l);
    }
}

LRESULT CALLBACK Win32Form::EditProc(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                     DWORD_PTR self) {
    auto* face = reinterpret_cast<Win32Form*>(self);
    const Entry* entry = face->Find(window);
    if (entry == nullptr || !::IsWindowEnabled(window))
        return ::DefSubclassProc(window, message, w, l);
    return face->EditMessage(static_cast<EditBox&>(*entry->control), window, message, w, l);
}

// Typed characters, deletions, pastes, clicks and focus of an edit box go to its control;
// the window keeps only caret movement and selection.
LRESULT Win32Form::EditMessage(EditBox& edit, HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_CHAR:
        if (IsOwnShortcut(w) || w == 0x16) // Ctrl+V arrives as WM_PASTE
            break;
        TakeSelection(edit, window);
        Guarded([&] { edit.UserType(char32_t(w)); });
        return 0;
    case WM_KEYDOWN:
        if (w == VK_INSERT && IsShiftInsert()) // the edit box would paste without a WM_PASTE
            return EditMessage(edit, window, WM_PASTE, 0, 0);
        if (w != VK_DELETE)
            break;
        TakeSelection(edit, window);
        Guarded([&] { edit.UserDelete(); });
        return 0;
    case WM_PASTE:
        TakeSelection(edit, window);
        Guarded([&] { edit.UserInsert(ClipboardText(window)); });
        return 0;
    case WM_CUT:
        ::SendMessageW(window, WM_COPY, 0, 0);
        [[fallthrough]];
    case WM_CLEAR:
        TakeSelection(edit, window);
        Guarded([&] { edit.UserDelete(); });
        return 0;
    case EM_UNDO:
    case WM_UNDO:
        return FALSE;
    case WM_KILLFOCUS:
        Guarded([&] { edit.UserLeave(); });
        break;
    case WM_LBUTTONUP: {
        const LRESULT result = ::DefSubclassProc(window, message, w, l);
        Guarded([&] { edit.UserClick(); });
        return result;
    }
    case WM_SETFOCUS: {
        const LRESULT result = ::DefSubclassProc(window, message, w, l);
        const HWND from = HWND(w);
        if (from != nullptr && from != window_ && ::GetAncestor(from, GA_ROOT) == window_)
            Guarded([&] { edit.UserEnter(); });
        return result;
    }
    default:
        break;
    }
    return ::DefSubclassProc(window, message, w, l);
}

LRESULT Win32Form::Dispatch(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(w) == IDOK && l == 0) { // Enter, from the dialog keys of the message loop
            PressFocusedButton();
            return 0;
        }
        if (Command(HWND(l), HIWORD(w)))
            return 0;
        break;
    case WM_ACTIVATE:
        if (KeepFocus(LOWORD(w) != WA_INACTIVE))
            return 0;
        break;
    case WM_HSCROLL:
        Scroll(HWND(l), LOWORD(w));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return ColourStatic(HDC(w), HWND(l));
    case WM_TIMER:
        if (w == Timer1Id && static_cast<TimerView*>(timer1_)->Due())
            Guarded([this] { form_.Timer1.Fire(); });
        return 0;
    case WM_PORT_WAKE:
        Guarded([this] { form_.ComPort1.DeliverPending(); });
        return 0;
    case WM_DEVICE_REPLY:
        form_.DeviceReplyMessage();
        return 0;
    case WM_DEVICECHANGE: // sent to every top-level window when a port comes or goes
        if (w == DBT_DEVICEARRIVAL || w == DBT_DEVICEREMOVECOMPLETE || w == DBT_DEVNODES_CHANGED)
            Guarded([this] { form_.RefreshPortList(); });
        return TRUE;
    case WM_DPICHANGED:
        ChangeDpi(LOWORD(w), *reinterpret_cast<const RECT*>(l));
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(window_, message, w, l);
}

// Enter presses the button that has the focus, as Space does.
void Win32Form::PressFocusedButton() {
    const HWND focus = ::GetFocus();
    const Entry* entry = Find(focus);
    if (entry != nullptr && entry->control->Kind() == ControlKind::Button)
        ::SendMessageW(focus, BM_CLICK, 0, 0);
}

// The control that had the focus when the window was left gets it back when the window is
// active again. True when the focus was given back.
bool Win32Form::KeepFocus(bool activated) {
    if (!activated) {
        const HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(window_, focus))
            focus_ = focus;
        return false;
    }
    if (focus_ == nullptr || !::IsWindow(focus_))
        return false;
    ::SetFocus(focus_);
    return true;
}

// A notification of a child reaches its control as the user's action; false for one that is
// not an action.
bool Win32Form::Command(HWND child, int code) {
    const Entry* entry = Find(child);
    if (entry == nullptr)
        return false;
    switch (entry->control->Kind()) {
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        if (code != BN_CLICKED)
            return false;
        Guarded([box = static_cast<CheckBox*>(entry->control)] { box->UserClick(); });
        entry->view->Changed(Change::Checked);
        return true;
    case ControlKind::Button:
        if (code != BN_CLICKED)
            return false;
        Guarded([button = static_cast<Button*>(entry->control)] { button->UserClick(); });
        return true;
    case ControlKind::ComboBox: {
        auto* list = static_cast<ComboBox*>(entry->control);
        if (code == CBN_DROPDOWN) { // the list may be refilled before it shows
            Guarded([list] { list->UserDropDown(); });
            return true;
        }
        // A choice counts once made: when the dropped list closes on it, or at once in the
        // closed list; moving through the dropped list chooses nothing yet.
        const bool dropped = ::SendMessageW(child, CB_GETDROPPEDSTATE, 0, 0) != 0;
        if (code != CBN_SELENDOK && (code != CBN_SELCHANGE || dropped))
            return false;
        const int index = int(::SendMessageW(child, CB_GETCURSEL, 0, 0));
        if (index != list->ItemIndex())
            Guarded([list, index] { list->UserSelect(index); });
        entry->view->Changed(Change::ItemIndex);
        return true;
    }
    case ControlKind::ScrollBar: // WM_HSCROLL
    case ControlKind::Edit:      // EditProc
    case ControlKind::GroupBox:
    case ControlKind::StaticText:
    case ControlKind::Bevel:
    case ControlKind::Label:
    case ControlKind::Panel:
    case ControlKind::ProgressBar:
    case ControlKind::StatusBar:
    case ControlKind::Timer:
        break;
    }
    return false;
}

void Win32Form::Scroll(HWND child, int code) {
    const Entry* entry = Find(child);
    if (entry == nullptr || entry->control->Kind() != ControlKind::ScrollBar)
        return;
    auto& bar = static_cast<ScrollBar&>(*entry->control);
    SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
    switch (code) {
    case SB_LINELEFT:
    case SB_LINERIGHT:
    case SB_PAGELEFT:
    case SB_PAGERIGHT:
        Guarded([&] { bar.UserStep(StepOf(code)); });
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        ::GetScrollInfo(child, SB_CTL, &info);
        Guarded([&] { bar.UserTrack(info.nTrackPos); });
        break;
    default:
        break;
    }
}

// Only the output groups' captions take their colours; everything else keeps the window's.
std::optional<COLORREF> Win32Form::CaptionColour(HWND child) const {
    for (int output = 1; output <= OutputCount; ++output) {
        if (Child(OutputGroupName(output)) == child) {
            const Rgb rgb = OutputColours[output - 1];
            return RGB(rgb.R, rgb.G, rgb.B);
        }
    }
    return std::nullopt;
}

LRESULT Win32Form::ColourStatic(HDC dc, HWND child) {
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    ::SetTextColor(dc, CaptionColour(child).value_or(::GetSysColor(COLOR_WINDOWTEXT)));
    return LRESULT(face_);
}

} // namespace pelmora
