#include "app/application.h"

#include "app/message_boxes.h"

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

void TApplication::SetTitle(const QString& title) {
    title_ = title;
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentException();
    }
    return false;
}

QString CurrentApplicationTitle() {
    const auto* app = dynamic_cast<const TApplication*>(QCoreApplication::instance());
    return app != nullptr ? app->Title() : ApplicationTitle;
}

void ShowCurrentException() {
    QString message;
    try {
        throw;
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        // Not one of ours: shown with an empty text.
    }
    CurrentMessageBoxes().ShowError(message);
}

} // namespace pelmora
