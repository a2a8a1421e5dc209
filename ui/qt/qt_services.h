// The Qt answers to the form's platform services: pauses that let the screen catch up,
// plain-text message boxes and the file dialogs.
#pragma once

#include "app/platform.h"
#include "protocol/pause.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QWidget>

#include <functional>
#include <memory>

namespace pelmora {

// Blocks the UI thread for the whole pause; only the repaints already asked for run in it,
// never a handler, a timer or a reply.
class QtPause final : public Pause {
  public:
    void Sleep(int milliseconds) override;
};

// A modal box under the application's title with OK, showing `text` as plain text.
std::unique_ptr<QMessageBox> CreateMessageBox(QMessageBox::Icon icon, const std::u16string& text);

class QtMessageBoxes final : public MessageBoxes {
  public:
    void ShowError(const std::u16string& text) override;
    void ShowMessage(const std::u16string& text) override;
    std::optional<std::u16string> AskText(const std::u16string& prompt,
                                          const std::u16string& initial) override;
};

// `file` with the dialog's default suffix added when its name has no extension.
QString WithDefaultSuffix(const QString& file, const QString& suffix);

// The open and save dialogs, each built on first use (building one costs more than all the
// rest of the window); a chosen file is offered again next time.
class QtFileDialogs final : public FileDialogs {
  public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    std::optional<std::filesystem::path> ChooseOpen() override;
    std::optional<std::filesystem::path> ChooseSave() override;

    QFileDialog& OpenDlg();
    QFileDialog& SaveDlg();
    // How a dialog is run; tests replace it to choose without a user.
    std::function<std::optional<QString>(QFileDialog&)> Run = RunModal;
    static std::optional<QString> RunModal(QFileDialog& dialog);

  private:
    std::optional<std::filesystem::path> Choose(QFileDialog& dialog);

    QWidget* parent_ = nullptr;
    QFileDialog* open_ = nullptr; // owned by parent_
    QFileDialog* save_ = nullptr;
};

} // namespace pelmora
