#include "ui/qt/qt_services.h"

#include "app/caption.h"

#include <QApplication>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

#include <chrono>
#include <thread>

namespace pelmora {

namespace {

const QString PmxFilter = QStringLiteral("Pelmora Align Tool File (*.PMX)");

} // namespace

void QtPause::Sleep(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    std::this_thread::sleep_until(end);
}

std::unique_ptr<QMessageBox> CreateMessageBox(QMessageBox::Icon icon, const std::u16string& text) {
    auto box = std::make_unique<QMessageBox>(icon, QString::fromStdU16String(ApplicationTitle),
                                             QString::fromStdU16String(text), QMessageBox::Ok);
    box->setTextFormat(Qt::PlainText);
    return box;
}

void QtMessageBoxes::ShowError(const std::u16string& text) {
    CreateMessageBox(QMessageBox::Critical, text)->exec();
}

void QtMessageBoxes::ShowMessage(const std::u16string& text) {
    CreateMessageBox(QMessageBox::NoIcon, text)->exec();
}

std::optional<std::u16string> QtMessageBoxes::AskText(const std::u16string& prompt,
                                                      const std::u16string& initial) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("AskTextDlg"));
    dialog.setWindowTitle(QString::fromStdU16String(ApplicationTitle));
    dialog.setLabelText(QString::fromStdU16String(prompt));
    dialog.setTextValue(QString::fromStdU16String(initial));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().toStdU16String();
}

QString WithDefaultSuffix(const QString& file, const QString& suffix) {
    if (suffix.isEmpty() || QFileInfo(file).fileName().contains(QLatin1Char('.')))
        return file;
    return file + QLatin1Char('.') + suffix;
}

std::optional<QString> QtFileDialogs::RunModal(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

QFileDialog& QtFileDialogs::OpenDlg() {
    if (open_ == nullptr) {
        open_ = new QFileDialog(parent_, QString(), QString(), PmxFilter);
        open_->setObjectName(QStringLiteral("OpenDlg"));
        open_->setAcceptMode(QFileDialog::AcceptOpen);
        open_->setFileMode(QFileDialog::ExistingFile);
        open_->selectFile(QStringLiteral("PMX"));
    }
    return *open_;
}

QFileDialog& QtFileDialogs::SaveDlg() {
    if (save_ == nullptr) {
        save_ = new QFileDialog(parent_, QString(), QString(), PmxFilter);
        save_->setObjectName(QStringLiteral("SaveDlg"));
        save_->setAcceptMode(QFileDialog::AcceptSave);
        save_->setDefaultSuffix(QStringLiteral("PMX"));
        save_->setOption(QFileDialog::DontConfirmOverwrite); // replacing a file asks nothing
    }
    return *save_;
}

std::optional<std::filesystem::path> QtFileDialogs::Choose(QFileDialog& dialog) {
    const std::optional<QString> chosen = Run(dialog);
    if (!chosen)
        return std::nullopt;
    const QString file = WithDefaultSuffix(*chosen, dialog.defaultSuffix());
    dialog.selectFile(file);
    return std::filesystem::path(file.toStdU16String());
}

std::optional<std::filesystem::path> QtFileDialogs::ChooseOpen() {
    return Choose(OpenDlg());
}

std::optional<std::filesystem::path> QtFileDialogs::ChooseSave() {
    return Choose(SaveDlg());
}

} // namespace pelmora
