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
        const std::unique_ptr<QMessageBox> box = CreateMessageBox(message);
        box->exec();
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

namespace {

// Message text comes from files the user can edit and from file names: it is never markup.
std::unique_ptr<QMessageBox> CreateBox(QMessageBox::Icon icon, const QString& text) {
    auto box =
        std::make_unique<QMessageBox>(icon, CurrentApplicationTitle(), text, QMessageBox::Ok);
    box->setTextFormat(Qt::PlainText);
    return box;
}

} // namespace

std::unique_ptr<QMessageBox> CreateErrorBox(const QString& message) {
    return CreateBox(QMessageBox::Critical, ErrorBoxText(message));
}

std::unique_ptr<QMessageBox> CreateMessageBox(const QString& message) {
    return CreateBox(QMessageBox::NoIcon, message);
}

MessageBoxes& CurrentMessageBoxes() {
    return installedBoxes != nullptr ? *installedBoxes : realBoxes;
}

void InstallMessageBoxes(MessageBoxes* boxes) {
    installedBoxes = boxes;
}

} // namespace pelmora
