#include "ui/qt/startup.h"

#include "app/version_info.h"

#include <QCoreApplication>

namespace pelmora {

FormServices ServicesOfThisExecutable(Pause& pause, MessageBoxes& messages, FileDialogs& dialogs,
                                      DiagramSurface& diagram) {
    FormServices services;
    services.pause = &pause;
    services.messages = &messages;
    services.fileDialogs = &dialogs;
    services.diagram = &diagram;
    services.ExecutableDir = QCoreApplication::applicationDirPath().toStdU16String();
    AddInstalledFolders(services);
    if (const std::optional<std::string_view> record = EmbeddedVersionRecord())
        services.VersionInfo = std::string(*record);
    return services;
}

AlignToolWindows::AlignToolWindows()
    : Form1(ServicesOfThisExecutable(Pauser, Boxes, Dialogs, Form2)), Window(Form1) {
    Dialogs.SetParent(&Window);
    Form2.MainWindow = &Window;
    Form2.OnClose = [this] { Form1.RunGuarded([this] { Form1.DiagramClosed(); }); };
    Form2.AttachEditor(Form1);
}

} // namespace pelmora
