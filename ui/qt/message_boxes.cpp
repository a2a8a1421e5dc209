#include "app/message_boxes.h"

#include "app/application.h"

namespace pelmora {

namespace {

class RealMessageBoxes final : public MessageBoxes {
  public:
    void ShowError(const QString& message) override {
        const std::unique_ptr<QMessageBox> box = CreateErrorBox(message);
        box->exec();
    }
    void ShowMessage(const QString& message) override {
        QMessageBox box(QMessageBox::NoIcon, CurrentApplicationTitle(), message, QMessageBox::Ok);
        box.exec();
    }
};

RealMessageBoxes realBoxes;
MessageBoxes* installedBoxes = nullptr;

} // namespace

QString ErrorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

std::unique_ptr<QMessageBox> CreateErrorBox(const QString& message) {
    return std::make_unique<QMessageBox>(QMessageBox::Critical, CurrentApplicationTitle(),
                                         ErrorBoxText(message), QMessageBox::Ok);
}

MessageBoxes& CurrentMessageBoxes() {
    return installedBoxes != nullptr ? *installedBoxes : realBoxes;
}

void InstallMessageBoxes(MessageBoxes* boxes) {
    installedBoxes = boxes;
}

} // namespace pelmora
