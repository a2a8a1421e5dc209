#include "app/startup.h"

#include "app/version_info.h"

#include <QCoreApplication>

namespace pelmora {

TForm1Services ServicesOfThisExecutable(Pause& pause) {
    TForm1Services services;
    services.pause = &pause;
    services.ExecutableDir = QCoreApplication::applicationDirPath().toStdU16String();
    const std::optional<std::string_view> record = EmbeddedVersionRecord();
    if (record)
        services.VersionInfo = std::string(*record);
    return services;
}

AlignToolWindows::AlignToolWindows() : Form1(ServicesOfThisExecutable(Pauser)) {
    Form1.AttachDiagram(&Form2);
}

} // namespace pelmora
