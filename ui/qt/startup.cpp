#include "ui/qt/startup.h"

#include "app/version_info.h"

#include <QCoreApplication>
#include <QDir>

namespace pelmora {
namespace {

// The package's data folder and the user's configuration folder of a tool installed beside
// `executableDir`, from the environment.
void AddInstalledFolders(FormServices& services, const QString& executableDir) {
#ifdef _WIN32
    services.PackageDataDir = executableDir.toStdU16String();
    const QString appData = qEnvironmentVariable("APPDATA");
    if (!appData.isEmpty())
        services.UserConfigDir = QDir(appData).filePath("Pelmora Align Tool").toStdU16String();
#else
    services.PackageDataDir =
        QDir::cleanPath(executableDir + "/../share/pelmora-align").toStdU16String();
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() && !qEnvironmentVariableIsEmpty("HOME"))
        configHome = QDir(qEnvironmentVariable("HOME")).filePath(".config");
    if (!configHome.isEmpty())
        services.UserConfigDir = QDir(configHome).filePath("pelmora-align").toStdU16String();
#endif
}

} // namespace

FormServices ServicesOfThisExecutable(Pause& pause, MessageBoxes& messages, FileDialogs& dialogs,
                                      DiagramSurface& diagram) {
    FormServices services;
    services.pause = &pause;
    services.messages = &messages;
    services.fileDialogs = &dialogs;
    services.diagram = &diagram;
    const QString executableDir = QCoreApplication::applicationDirPath();
    services.ExecutableDir = executableDir.toStdU16String();
    AddInstalledFolders(services, executableDir);
    if (const std::optional<std::string_view> record = EmbeddedVersionRecord())
        services.VersionInfo = std::string(*record);
    return services;
}

AlignToolWindows::AlignToolWindows()
    : Form1(ServicesOfThisExecutable(Pauser, Boxes, Dialogs, Form2)), Window(Form1) {
    Dialogs.SetParent(&Window);
    Form2.OnClose = [this] { Form1.RunGuarded([this] { Form1.DiagramClosed(); }); };
}

} // namespace pelmora
