#include "ui/qt/application.h"

#include "app/caption.h"
#include "app/platform.h"
#include "ui/qt/qt_services.h"

#include <QIcon>

#include <exception>

namespace pelmora {

namespace {

constexpr int ProgramIconSizes[] = {16, 32, 48, 64, 128, 256};

// The program icon in all its sizes, compiled into the program.
QIcon ProgramIcon() {
    QIcon icon;
    for (int size : ProgramIconSizes)
        icon.addFile(QStringLiteral(":/icons/pelmora-align-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setWindowIcon(ProgramIcon());
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentException();
    }
    return false;
}

void ShowCurrentException() {
    std::u16string message;
    try {
        throw;
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what()).toStdU16String();
    } catch (...) {
        // Not one of ours: shown with an empty text.
    }
    QtMessageBoxes().ShowError(ErrorBoxText(message));
}

} // namespace pelmora
