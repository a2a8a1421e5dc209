#include "ui/qt/application.h"

#include "app/caption.h"
#include "app/platform.h"
#include "ui/qt/qt_services.h"

#include <exception>

namespace pelmora {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

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
