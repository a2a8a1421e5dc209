// The Windows face against the core form: native controls where the layout puts them, and
// the messages a user's action makes reaching the controls as those actions.
#include "app/layout.h"
#include "protocol/pause.h"
#include "ui/win32/diagram_window.h"
#include "ui/win32/win32_form.h"

#include <gtest/gtest.h>

#include <dbt.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace pelmora {
namespace {

class SilentBoxes final : public MessageBoxes {
  public:
    void ShowError(const std::u16string& text) override { Shown.push_back(text); }
    void ShowMessage(const std::u16string& text) override { Shown.push_back(text); }
    std::optional<std::u16string> AskText(const std::u16string& prompt,
                                          const std::u16string& initial) override {
        Shown.push_back(prompt + u"|" + initial);
        return std::nullopt;
    }
    std::vector<std::u16string> Shown;
};

void PutOnClipboard(const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(::GlobalLock(data), text.c_str(), bytes);
    ::GlobalUnlock(data);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::SetClipboardData(CF_UNICODETEXT, data);
    ::CloseClipboard();
}

FormServices ServicesWith(RecordingPause& pause, SilentBoxes& boxes) {
    FormServices services;
    services.pause = &pause;
    services.messages = &boxes;
    services.ExecutableDir = testing::TempDir();
    return services;
}

class Win32FaceTest : public ::testing::Test {
  protected:
    HWND Child(std::string_view name) const { return Face.Child(name); }
    std::wstring Text(std::string_view name) const {
        wchar_t text[64] = {};
        ::GetWindowTextW(Child(name), text, 64);
        return text;
    }

    RecordingPause Pauser;
    SilentBoxes Boxes;
    HWND Window = CreateMainWindow();
    TForm1 Form{ServicesWith(Pauser, Boxes)};
    Win32Form Face{Form, Window};
};

SIZE TextSize(HWND control, const std::wstring& text) {
    const HDC dc = ::GetDC(control);
    const HGDIOBJ old = ::SelectObject(dc, HFONT(::SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return size;
}

// Every control where the layout puts it at `dpi` (within a pixel of rounding), its caption
// whole in it, and every edit box wide enough for its bar's largest value and the caret.
void ExpectLayoutAt(const Win32Form& face, UINT dpi) {
    const auto scaled = [dpi](int length) { return ::MulDiv(length, int(dpi), 96); };
    RECT client{};
    ::GetClientRect(face.Handle(), &client);
    EXPECT_NEAR(client.right, scaled(ClientSize.Width), 1) << dpi;
    EXPECT_NEAR(client.bottom, scaled(ClientSize.Height), 1) << dpi;
    for (const ControlRow& row : LayoutRows()) {
        const HWND child = face.Child(row.Name);
        ASSERT_NE(child, nullptr) << row.Name;
        RECT at{};
        ::GetWindowRect(child, &at);
        ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&at), 2);
        EXPECT_EQ(at.left, scaled(row.Geometry.Left)) << row.Name << " at " << dpi;
        EXPECT_EQ(at.top, scaled(row.Geometry.Top)) << row.Name << " at " << dpi;
        if (row.Geometry.Width > 0 && row.Kind != ControlKind::ComboBox) {
            EXPECT_EQ(at.bottom - at.top, scaled(row.Geometry.Height)) << row.Name;
        }
        const bool boxed =
            row.Kind == ControlKind::CheckBox || row.Kind == ControlKind::RadioButton;
        if (boxed || row.Kind == ControlKind::Button || row.Kind == ControlKind::StaticText) {
            wchar_t caption[64] = {};
            ::GetWindowTextW(child, caption, 64);
            const SIZE text = TextSize(child, caption);
            EXPECT_LE(text.cx + (boxed ? scaled(16) : 0), at.right - at.left) << row.Name;
            EXPECT_LE(text.cy, at.bottom - at.top) << row.Name << " at " << dpi;
        }
    }
    LOGFONTW font{};
    ::GetObjectW(HFONT(::SendMessageW(face.Child("CNTBTN"), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -scaled(WindowFontPixels)) << dpi;
    const TForm1& form = face.Form();
    for (std::size_t index = 0; index < form.Edits.size(); ++index) {
        if (form.Edits[index] == nullptr)
            continue; // a value shown only in its text
        const HWND edit = face.Child(form.Edits[index]->Name());
        const SIZE text = TextSize(edit, std::to_wstring(form.Bars[index]->Max()));
        const auto margins = DWORD(::SendMessageW(edit, EM_GETMARGINS, 0, 0));
        RECT inside{};
        ::GetClientRect(edit, &inside);
        UINT caret = 1;
        ::SystemParametersInfoW(SPI_GETCARETWIDTH, 0, &caret, 0);
        // A text that leaves no room for the caret behind it is scrolled out of sight.
        EXPECT_LE(text.cx + LOWORD(margins) + HIWORD(margins) + LONG(caret), inside.right)
            << form.Edits[index]->Name() << " at " << dpi;
    }
}

// At the resolution the display has (PELMORA_EXPECT_DPI says which one the run set up).
TEST_F(Win32FaceTest, TheLayoutIsScaledToTheWindowsResolution) {
    const UINT dpi = WindowDpi(Window);
    if (const char* expected = std::getenv("PELMORA_EXPECT_DPI")) {
        EXPECT_EQ(dpi, UINT(std::atoi(expected)));
    }
    ExpectLayoutAt(Face, dpi);
    EXPECT_EQ(::GetWindowLongW(Child("TLX1Edit"), GWL_STYLE) & ES_CENTER, ES_CENTER);
    EXPECT_EQ(::GetWindowLongW(Child("LTEdit"), GWL_STYLE) & ES_CENTER, 0);
}

// Moved to a monitor of another resolution, and back.
TEST_F(Win32FaceTest, ANewResolutionLaysTheWindowOutAgain) {
    const UINT own = WindowDpi(Window);
    for (const UINT dpi : {own == 96 ? 144u : 96u, own}) {
        RECT suggested{0, 0, ::MulDiv(ClientSize.Width, int(dpi), 96),
                       ::MulDiv(ClientSize.Height, int(dpi), 96)};
        ::AdjustWindowRectEx(&suggested, DWORD(::GetWindowLongW(Window, GWL_STYLE)), FALSE,
                             DWORD(::GetWindowLongW(Window, GWL_EXSTYLE)));
        ::SendMessageW(Window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&suggested));
        ExpectLayoutAt(Face, dpi);
    }
}

TEST_F(Win32FaceTest, ArrowsAndTroughStepByOneAndTheThumbMovesToWhereItIs) {
    const HWND bar = Child("TLX1Bar");
    ::SendMessageW(Window, WM_HSCROLL, SB_LINERIGHT, LPARAM(bar));
    ::SendMessageW(Window, WM_HSCROLL, SB_PAGERIGHT, LPARAM(bar));
    EXPECT_EQ(Form.Bars[0]->Position(), 2);
    EXPECT_EQ(Text("TLX1Edit"), L"2");
    ::SendMessageW(Window, WM_HSCROLL, SB_PAGELEFT, LPARAM(bar));
    EXPECT_EQ(::GetScrollPos(bar, SB_CTL), 1);
}

// Ctrl+V, Shift+Insert and WM_PASTE insert the digits of the clipboard's text, then clamp.
TEST_F(Win32FaceTest, TypedKeysAndPastesPassTheFilter) {
    const HWND edit = Child("TLX1Edit");
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    for (wchar_t key : std::wstring(L"1a2"))
        ::SendMessageW(edit, WM_CHAR, key, 0);
    EXPECT_EQ(Text("TLX1Edit"), L"12");
    EXPECT_EQ(Form.Bars[0]->Position(), 12);
    PutOnClipboard(L"3x");
    ::SendMessageW(edit, WM_PASTE, 0, 0);
    ::SendMessageW(edit, WM_CHAR, 0x16, 0); // Ctrl+V
    EXPECT_EQ(Text("TLX1Edit"), L"1233");
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    ::SetKeyboardState(keys);
    ::SendMessageW(edit, WM_KEYDOWN, VK_INSERT, 0);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    EXPECT_EQ(Text("TLX1Edit"), L"1920") << "12333, clamped";
    EXPECT_EQ(Form.Bars[0]->Position(), 1920);
}

TEST_F(Win32FaceTest, ClicksReachTheCoreWhichAloneDecidesTheCheckMarks) {
    ::SendMessageW(Window, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), LPARAM(Child("TntRadioButton3")));
    EXPECT_EQ(::SendMessageW(Child("TntRadioButton3"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(::SendMessageW(Child("TntRadioButton1"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(Form.Frames.CornerFrame[4], 'C'); // the slot letter
}

// The keys of the message loop: Enter presses the focused button (Reset here); the focus
// comes back when the window is activated again.
TEST_F(Win32FaceTest, EnterPressesTheFocusedButtonAndTheFocusOutlivesLeavingTheWindow) {
    ::ShowWindow(Window, SW_SHOW);
    Form.Bars[0]->SetPosition(5);
    ::SetFocus(Child("ResetBtn"));
    MSG enter{Child("ResetBtn"), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(::IsDialogMessageW(Window, &enter));
    EXPECT_EQ(Form.Bars[0]->Position(), 0);
    ::SetFocus(Child("TLY1Edit"));
    ::SendMessageW(Window, WM_ACTIVATE, WA_INACTIVE, 0);
    ::SetFocus(Child("CNTBTN"));
    ::SendMessageW(Window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(::GetFocus(), Child("TLY1Edit"));
}

std::wstring FaceOf(HWND control) {
    LOGFONTW font{};
    ::GetObjectW(HFONT(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfFaceName;
}

// A language whose script the default face lacks names its own face; the captioned controls
// take it, edit boxes keep the layout's.
TEST(Win32PortListTest, RefillsWhenDroppedOrWhenPortsComeAndChoosesWhenTheListCloses) {
    std::vector<PortEntry> ports = {{"COM3"}, {"COM7", "USB Serial Port", "FTDI", "A10K5F2X"}};
    RecordingPause pause;
    SilentBoxes boxes;
    FormServices services = ServicesWith(pause, boxes);
    services.listPorts = [&] { return ports; };
    TForm1 form{services};
    Win32Form face{form, CreateMainWindow()};
    ::ShowWindow(face.Handle(), SW_SHOWNOACTIVATE); // a hidden list does not drop down
    const HWND list = face.Child("ComComboBox1");
    const auto count = [list] { return ::SendMessageW(list, CB_GETCOUNT, 0, 0); };
    const auto notify = [&](int code) {
        ::SendMessageW(face.Handle(), WM_COMMAND, MAKEWPARAM(0, code), LPARAM(list));
    };
    wchar_t label[64] = {};
    ::SendMessageW(list, CB_GETLBTEXT, 1, LPARAM(label));
    EXPECT_STREQ(label, L"COM7 \u2014 USB Serial Port (FTDI, A10K5F2X)");

    ports.push_back({"COM9"});
    ::SendMessageW(face.Handle(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    EXPECT_EQ(count(), 4) << "three ports and the network entry";
    ports.pop_back();
    ::SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_EQ(count(), 3) << "refilled as it drops down";
    ::SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
    ::SendMessageW(list, CB_SETCURSEL, 1, 0);
    notify(CBN_SELENDOK);
    EXPECT_EQ(form.ChosenPort(), "COM7");
}

// The system's own list: a port registered while the window runs, then removed.
TEST(Win32PortListTest, APortRegisteredAfterStartUpIsListedWhenTheListDropsDown) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, LR"(HARDWARE\DEVICEMAP\SERIALCOMM)", 0, nullptr,
                          REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        GTEST_SKIP() << "the port registry cannot be written here";
    RecordingPause pause;
    SilentBoxes boxes;
    TForm1 form{ServicesWith(pause, boxes)};
    Win32Form face{form, CreateMainWindow()};
    ::ShowWindow(face.Handle(), SW_SHOWNOACTIVATE);
    const HWND list = face.Child("ComComboBox1");
    const auto listed = [list] {
        ::SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
        ::SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
        return ::SendMessageW(list, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(L"COM42")) >= 0;
    };
    EXPECT_FALSE(listed());
    const wchar_t name[] = L"COM42";
    ::RegSetValueExW(key, L"\\Device\\Serial41", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                     sizeof name);
    EXPECT_TRUE(listed());
    ::RegDeleteValueW(key, L"\\Device\\Serial41");
    EXPECT_FALSE(listed());
    ::RegCloseKey(key);
}

TEST(Win32LanguageTest, TheLanguagesFontReachesTheCaptionedControls) {
    const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "language";
    std::filesystem::create_directories(folder);
    const std::u16string ini = u"\uFEFF[English]\r\n[\u65E5\u672C\u8A9E]\r\n"
                               u"Str12=\u63A5\u7D9A\r\nFont=Yu Gothic UI\r\n";
    std::ofstream(folder / "UI.INI", std::ios::binary)
        .write(reinterpret_cast<const char*>(ini.data()), std::streamsize(ini.size() * 2));
    RecordingPause pause;
    SilentBoxes boxes;
    FormServices services = ServicesWith(pause, boxes);
    services.ExecutableDir = folder;
    TForm1 form{services};
    Win32Form face{form, CreateMainWindow()};

    form.UIComboBox->UserSelect(1);
    EXPECT_EQ(FaceOf(face.Child("CNTBTN")), L"Yu Gothic UI");
    EXPECT_EQ(FaceOf(face.Child("TLX1Edit")), L"Segoe UI");
    wchar_t caption[8] = {};
    ::GetWindowTextW(face.Child("CNTBTN"), caption, 8);
    EXPECT_STREQ(caption, L"\u63A5\u7D9A");
}

// The tests' screen (1280 pixels wide) has no room for it at its tabled left of 1292.
TEST(Win32DiagramTest, OpensInsideTheWorkAreaOfTheMainWindowsMonitor) {
    const HWND main = CreateMainWindow();
    TForm2 diagram(main);
    diagram.SetShown(true);
    RECT at{};
    ::GetWindowRect(diagram.Handle(), &at);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST), &monitor);
    EXPECT_GE(at.left, monitor.rcWork.left);
    EXPECT_GE(at.top, monitor.rcWork.top);
    EXPECT_LE(at.right, monitor.rcWork.right);
    EXPECT_LE(at.bottom, monitor.rcWork.bottom);
    ::DestroyWindow(main);
}

// A control that cannot be made stops the start-up with an error naming it.
TEST(Win32StartUpTest, AWindowThatCannotBeMadeIsAnErrorThatNamesIt) {
    const HWND none = ::CreateWindowExW(0, L"NoSuchClass", L"", WS_CHILD, 0, 0, 1, 1, nullptr,
                                        nullptr, ::GetModuleHandleW(nullptr), nullptr);
    try {
        Made(none, "ProgressBar1");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("ProgressBar1"), std::string::npos);
    }
}

// An installed tool reads the package's UI.INI beside itself and keeps the user's files in
// %APPDATA%, also under a user name outside the ANSI code page.
TEST(InstalledFoldersTest, AreTheProgramsOwnAndTheUsersAppData) {
    const std::wstring appData = L"C:\\Users\\J\u00fcrgen \u6797\\AppData\\Roaming";
    ASSERT_EQ(::_wputenv_s(L"APPDATA", appData.c_str()), 0);
    FormServices services;
    services.ExecutableDir = L"C:\\Program Files\\Pelmora Align Tool";
    AddInstalledFolders(services);
    EXPECT_EQ(services.PackageDataDir, services.ExecutableDir);
    EXPECT_EQ(services.UserConfigDir.wstring(), appData + L"\\Pelmora Align Tool");
}

} // namespace
} // namespace pelmora
