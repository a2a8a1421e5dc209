// The platform services of the Windows face: the pause, the message boxes, the file dialogs,
// the executable's folder, and the hand-off that wakes the UI thread for the serial port.
#pragma once

#include "app/platform.h"
#include "protocol/pause.h"
#include "serial/com_port.h"
#include "serial/ui_handoff.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string_view>

#include <windows.h>

namespace pelmora {

// A private message that asks the window to deliver the port's pending received-data event.
inline constexpr UINT WM_PORT_WAKE = WM_APP + 1;

// Blocks the UI thread; only repaints already asked for are done first, no other message.
class Win32Pause final : public Pause {
  public:
    explicit Win32Pause(HWND window) : window_(window) {}
    void Sleep(int milliseconds) override;

  private:
    HWND window_;
};

class Win32MessageBoxes final : public MessageBoxes {
  public:
    explicit Win32MessageBoxes(HWND owner) : owner_(owner) {}
    void ShowError(const std::u16string& text) override;
    void ShowMessage(const std::u16string& text) override;
    std::optional<std::u16string> AskText(const std::u16string& prompt,
                                          const std::u16string& initial) override;

  private:
    HWND owner_;
};

// OpenDlg and SaveDlg: the standard dialogs, each remembering the last chosen file.
class Win32FileDialogs final : public FileDialogs {
  public:
    explicit Win32FileDialogs(HWND owner);
    std::optional<std::filesystem::path> ChooseOpen() override;
    std::optional<std::filesystem::path> ChooseSave() override;

  private:
    HWND owner_;
    std::array<wchar_t, 32768> openName_{};
    std::array<wchar_t, 32768> saveName_{};
};

// Wakes the UI thread by posting WM_PORT_WAKE to the window, which then calls the port's
// DeliverPending. Attached to the port while it lives.
class Win32UiHandoff final : public UiHandoff {
  public:
    Win32UiHandoff(TCustomComPort& port, HWND window);
    ~Win32UiHandoff() override;
    void Wake() override;

  private:
    TCustomComPort& port_;
    HWND window_;
};

std::filesystem::path ExecutableFolder();

std::wstring Wide(const std::u16string& text);

// A window the program cannot do without: one that could not be made (nullptr) ends the
// start-up with an error that names it.
HWND Made(HWND window, std::string_view name);

} // namespace pelmora
