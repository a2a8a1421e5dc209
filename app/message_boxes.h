// The tool's message boxes, behind a seam so that tests can see what the user would be shown.
#pragma once

#include <QMessageBox>
#include <QString>

#include <memory>

namespace pelmora {

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // The standard error box: the application title, the text with the full-stop rule applied,
    // an error icon and OK.
    virtual void ShowError(const QString& message) = 0;
    // A plain message box with OK (the watchdog's "Communication Error !!").
    virtual void ShowMessage(const QString& message) = 0;
};

// The text of the standard error box: a full stop is appended when the last character sorts
// above '.' (letters and digits do); an empty message stays empty.
QString ErrorBoxText(const QString& message);

// The standard error box for `message`, ready to be shown. Both boxes show plain text.
std::unique_ptr<QMessageBox> CreateErrorBox(const QString& message);
// The plain message box with OK for `message`, ready to be shown.
std::unique_ptr<QMessageBox> CreateMessageBox(const QString& message);

// The boxes in use: real modal message boxes unless a test has installed others.
MessageBoxes& CurrentMessageBoxes();
void InstallMessageBoxes(MessageBoxes* boxes); // nullptr restores the real ones

} // namespace pelmora
