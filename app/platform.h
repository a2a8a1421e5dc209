// What the form needs from the platform it runs on; each face supplies these.
#pragma once

#include "serial/enum_com_ports.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

class Pause;
struct DiagramDrawing;

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // The standard error box: the application title, the text (with the full-stop rule
    // already applied), an error icon and OK. Plain text, never markup.
    virtual void ShowError(const std::u16string& text) = 0;
    // A plain message box with OK (the watchdog's "Communication Error !!").
    virtual void ShowMessage(const std::u16string& text) = 0;
    // Asks for one line of text under `prompt`, offering `initial`, with OK and Cancel;
    // nullopt when cancelled.
    virtual std::optional<std::u16string> AskText(const std::u16string& prompt,
                                                  const std::u16string& initial) = 0;
};

// The standard open and save dialogs for alignment files ("*.PMX").
class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // The chosen file with the default extension added, or nullopt when cancelled.
    virtual std::optional<std::filesystem::path> ChooseOpen() = 0;
    virtual std::optional<std::filesystem::path> ChooseSave() = 0;
};

// The diagram window: a captionless tool window showing a picture.
class DiagramSurface {
  public:
    virtual ~DiagramSurface() = default;
    virtual void SetShown(bool shown) = 0;
    virtual void Draw(const DiagramDrawing& drawing) = 0;
};

struct FormServices {
    Pause* pause = nullptr;                            // required
    MessageBoxes* messages = nullptr;                  // required
    FileDialogs* fileDialogs = nullptr;                // nullptr: every file dialog is cancelled
    DiagramSurface* diagram = nullptr;                 // nullptr: no diagram window
    std::function<std::vector<PortEntry>()> listPorts; // empty: the system's own ports
    // A portable copy keeps UI.INI and SYSTEM.INI beside its executable. An installed one (its
    // package data folder holds a UI.INI, or its own folder cannot be written) reads the
    // user's UI.INI if there is one, else the package's, and keeps SYSTEM.INI in the user's
    // configuration folder.
    std::filesystem::path ExecutableDir;
    std::filesystem::path PackageDataDir;   // empty: the package ships no UI.INI
    std::filesystem::path UserConfigDir;    // empty: the user has no configuration folder
    std::optional<std::string> VersionInfo; // the executable's version record, if it has one
};

// Fills in the package data folder and the user's configuration folder of a tool whose
// executable lies in `services.ExecutableDir`, from this system's conventions and the
// environment: ../share/pelmora-align and $XDG_CONFIG_HOME (or ~/.config)/pelmora-align, or on
// Windows the executable's own folder and %APPDATA%\Pelmora Align Tool.
void AddInstalledFolders(FormServices& services);

// The text of the standard error box: a full stop is appended when the last character sorts
// above '.' (letters and digits do); an empty message stays empty.
std::u16string ErrorBoxText(const std::u16string& message);

} // namespace pelmora
