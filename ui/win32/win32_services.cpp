#include "ui/win32/win32_services.h"

#include "app/caption.h"

#include <stdexcept>
#include <string>

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
