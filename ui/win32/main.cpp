// Program entry of the alignment tool on Windows.
#include "app/form.h"
#include "app/version_info.h"
#include "storage/text_encoding.h"
#include "ui/win32/diagram_window.h"
#include "ui/win32/win32_form.h"
#include "ui/win32/win32_services.h"

#include <exception>
#include <memory>

namespace {

// Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo, in either window and whatever has the focus.
bool RunUndoKey(pelmora::TForm1& form, const MSG& message) {
    if (message.message != WM_KEYDOWN || ::GetKeyState(VK_CONTROL) >= 0 ||
        ::GetKeyState(VK_MENU) < 0)
        return false;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    if (message.wParam == 'Z' && !shift)
        form.RunGuarded([&form] { form.Undo(); });
    else if ((message.wParam == 'Z' && shift) || (message.wParam == 'Y' && !shift))
        form.RunGuarded([&form] { form.Redo(); });
    else
        return false;
    return true;
}

int RunAlignTool() {
    using namespace pelmora;
    const HWND window = CreateMainWindow();
    Win32Pause pause(window);
    Win32MessageBoxes boxes(window);
    Win32FileDialogs dialogs(window);
    TForm2 form2(window);
    FormServices services;
    services.pause = &pause;
    services.messages = &boxes;
    services.fileDialogs = &dialogs;
    services.diagram = &form2;
    services.ExecutableDir = ExecutableFolder();
    AddInstalledFolders(services);
    if (const std::optional<std::string_view> record = EmbeddedVersionRecord())
        services.VersionInfo = std::string(*record);
    TForm1 form1(services);
    Win32Form face(form1, window);
    form2.OnClose = [&form1] { form1.RunGuarded([&form1] { form1.DiagramClosed(); }); };
    form2.AttachEditor(form1);
    ::ShowWindow(window, SW_SHOWNORMAL);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (RunUndoKey(form1, message))
            continue;
        if (::IsDialogMessageW(window, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

} // namespace

// No command-line arguments are read.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        return RunAlignTool();
    } catch (const std::exception& error) {
        pelmora::Win32MessageBoxes(nullptr).ShowError(
            pelmora::ErrorBoxText(pelmora::Utf8ToUtf16(error.what())));
    } catch (...) {
        pelmora::Win32MessageBoxes(nullptr).ShowError(u"");
    }
    return 0;
}
