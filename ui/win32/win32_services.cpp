#include "ui/win32/win32_services.h"

#include "app/caption.h"
#include "storage/ui_strings.h"

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include <commdlg.h>

namespace pelmora {

namespace {

constexpr wchar_t PmxFilter[] = L"Pelmora Align Tool File\0*.PMX\0";
constexpr wchar_t PmxExtension[] = L"PMX";

// The dialogs' default options: no question before replacing, no read-only box, resizable.
OPENFILENAMEW DialogFor(HWND owner, std::array<wchar_t, 32768>& name) {
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = PmxFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = DWORD(name.size());
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    return dialog;
}

void ShowBox(HWND owner, const std::u16string& text, UINT icon) {
    ::MessageBoxW(owner, Wide(text).c_str(), Wide(ApplicationTitle).c_str(), MB_OK | icon);
}

} // namespace

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

HWND Made(HWND window, std::string_view name) {
    if (window == nullptr)
        throw std::runtime_error("Cannot create " + std::string(name) + " (Windows error " +
                                 std::to_string(::GetLastError()) + ")");
    return window;
}

void Win32Pause::Sleep(int milliseconds) {
    ::RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::Sleep(DWORD(milliseconds));
}

void Win32MessageBoxes::ShowError(const std::u16string& text) {
    ShowBox(owner_, text, MB_ICONERROR);
}

void Win32MessageBoxes::ShowMessage(const std::u16string& text) {
    ShowBox(owner_, text, 0);
}

namespace {

// A dialog template built in memory: the header, then each item on a DWORD boundary.
class DialogTemplate {
  public:
    DialogTemplate(const std::wstring& title, short width, short height) {
        Add(DWORD(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU));
        Add(DWORD(0));
        countAt_ = words_.size();
        words_.push_back(0);
        for (short value : {short(0), short(0), width, height})
            words_.push_back(WORD(value));
        words_.push_back(0); // no menu
        words_.push_back(0); // the standard dialog class
        Add(title);
        words_.push_back(9);
        Add(Wide(DefaultInterfaceFont));
    }
    // `kind`: 0x80 button, 0x81 edit, 0x82 static.
    void AddItem(WORD kind, DWORD style, short x, short y, short cx, short cy, WORD id,
                 const std::wstring& text) {
        if (words_.size() % 2 != 0)
            words_.push_back(0);
        Add(DWORD(style | WS_CHILD | WS_VISIBLE));
        Add(DWORD(0));
        for (short value : {x, y, cx, cy})
            words_.push_back(WORD(value));
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(kind);
        Add(text);
        words_.push_back(0); // no creation data
        ++words_[countAt_];
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void Add(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void Add(const std::wstring& text) {
        words_.insert(words_.end(), text.begin(), text.end());
        words_.push_back(0);
    }
    std::vector<WORD> words_;
    std::size_t countAt_ = 0;
};

constexpr WORD AnswerId = 101;

struct Question {
    std::wstring initial;
    std::wstring answer;
};

INT_PTR CALLBACK QuestionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* question = reinterpret_cast<Question*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        ::SetDlgItemTextW(dialog, AnswerId, reinterpret_cast<Question*>(lParam)->initial.c_str());
        ::SendDlgItemMessageW(dialog, AnswerId, EM_SETSEL, 0, -1);
        ::SetFocus(::GetDlgItem(dialog, AnswerId));
        return FALSE; // the focus is set
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            std::array<wchar_t, 1024> text{};
            ::GetDlgItemTextW(dialog, AnswerId, text.data(), int(text.size()));
            question->answer = text.data();
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

std::optional<std::u16string> Win32MessageBoxes::AskText(const std::u16string& prompt,
                                                         const std::u16string& initial) {
    DialogTemplate dialog(Wide(ApplicationTitle), 260, 66);
    dialog.AddItem(0x82, SS_LEFT, 7, 7, 246, 10, 100, Wide(prompt));
    dialog.AddItem(0x81, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 21, 246, 14, AnswerId, L"");
    dialog.AddItem(0x80, BS_DEFPUSHBUTTON | WS_TABSTOP, 149, 43, 50, 15, IDOK, L"OK");
    dialog.AddItem(0x80, BS_PUSHBUTTON | WS_TABSTOP, 203, 43, 50, 15, IDCANCEL, L"Cancel");
    Question question{Wide(initial), {}};
    if (::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), dialog.Get(), owner_, QuestionProc,
                                  reinterpret_cast<LPARAM>(&question)) != IDOK)
        return std::nullopt;
    return std::u16string(question.answer.begin(), question.answer.end());
}

Win32FileDialogs::Win32FileDialogs(HWND owner) : owner_(owner) {
    std::copy(std::begin(PmxExtension), std::end(PmxExtension), openName_.begin());
}

std::optional<std::filesystem::path> Win32FileDialogs::ChooseOpen() {
    OPENFILENAMEW dialog = DialogFor(owner_, openName_);
    if (!::GetOpenFileNameW(&dialog))
        return std::nullopt;
    return std::filesystem::path(openName_.data());
}

std::optional<std::filesystem::path> Win32FileDialogs::ChooseSave() {
    OPENFILENAMEW dialog = DialogFor(owner_, saveName_);
    dialog.lpstrDefExt = PmxExtension;
    if (!::GetSaveFileNameW(&dialog))
        return std::nullopt;
    return std::filesystem::path(saveName_.data());
}

Win32UiHandoff::Win32UiHandoff(TCustomComPort& port, HWND window) : port_(port), window_(window) {
    port_.SetUiHandoff(this);
}

Win32UiHandoff::~Win32UiHandoff() {
    port_.SetUiHandoff(nullptr);
}

void Win32UiHandoff::Wake() {
    ::PostMessageW(window_, WM_PORT_WAKE, 0, 0);
}

std::filesystem::path ExecutableFolder() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, name.data(), DWORD(name.size()));
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2);
    }
}

} // namespace pelmora
