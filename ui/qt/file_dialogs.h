// How the file dialogs are run, behind a seam so that tests can choose files without a user.
#pragma once

#include <QFileDialog>
#include <QString>

#include <optional>

namespace pelmora {

class FileDialogRunner {
  public:
    virtual ~FileDialogRunner() = default;
    // Shows `dialog` modally; the chosen file, or nullopt when the user cancelled.
    virtual std::optional<QString> Run(QFileDialog& dialog) = 0;
};

// The runner in use: the real modal dialogs unless a test has installed another.
FileDialogRunner& CurrentFileDialogRunner();
void InstallFileDialogRunner(FileDialogRunner* runner); // nullptr restores the real one

// `file` with the dialog's default suffix added when its name has no extension.
QString WithDefaultSuffix(const QString& file, const QString& suffix);

} // namespace pelmora
