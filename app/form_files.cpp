// Saving and loading alignment files: the 22 bar positions to and from a *.PMX file.
#include "app/file_dialogs.h"
#include "app/handler_guard.h"
#include "app/main_window.h"
#include "storage/alignment_file.h"

#include <QFileInfo>

namespace pelmora {

namespace {

class ModalFileDialogs final : public FileDialogRunner {
  public:
    std::optional<QString> Run(QFileDialog& dialog) override {
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        const QStringList files = dialog.selectedFiles();
        if (files.isEmpty())
            return std::nullopt;
        return files.front();
    }
};

ModalFileDialogs modalDialogs;
FileDialogRunner* installedRunner = nullptr;

// The file chosen in `dialog`, which offers it again next time; nullopt when cancelled.
std::optional<std::filesystem::path> ChooseFile(QFileDialog& dialog) {
    const std::optional<QString> chosen = CurrentFileDialogRunner().Run(dialog);
    if (!chosen)
        return std::nullopt;
    const QString file = WithDefaultSuffix(*chosen, dialog.defaultSuffix());
    dialog.selectFile(file);
    return std::filesystem::path(file.toStdU16String());
}

// Unticking runs each ticked box's usual handling, so no top-left value drags its
// top-right value along while the file's values arrive.
void UntickShiftModes(TForm1& form) {
    for (int output = 1; output <= OutputCount; ++output) {
        TTntCheckBox* box = form.ShiftModes[output - 1];
        if (!box->isChecked())
            continue;
        box->setChecked(false);
        form.ShiftModeClick(output);
    }
}

} // namespace

FileDialogRunner& CurrentFileDialogRunner() {
    return installedRunner != nullptr ? *installedRunner : modalDialogs;
}

void InstallFileDialogRunner(FileDialogRunner* runner) {
    installedRunner = runner;
}

QString WithDefaultSuffix(const QString& file, const QString& suffix) {
    if (suffix.isEmpty() || QFileInfo(file).fileName().contains(QLatin1Char('.')))
        return file;
    return file + QLatin1Char('.') + suffix;
}

void TForm1::TntButton1Click() {
    const std::optional<std::filesystem::path> file = ChooseFile(*SaveDlg);
    if (!file)
        return;
    PmxValues values{};
    for (int index = 0; index < ParameterCount; ++index)
        values[index] = Bars[index]->value();
    SavePmxFile(*file, BuildPmxImage(values));
}

// Each value the file holds is set in canonical order; the bar clamps it, and its change
// handling (display, diagram, live frame) runs only when the position really changes.
// Values a short file does not hold leave their bars as they are.
void TForm1::TntButton2Click() {
    const std::optional<std::filesystem::path> file = ChooseFile(*OpenDlg);
    if (!file)
        return;
    UntickShiftModes(*this);
    const PmxReadValues values = ParsePmxImage(ReadPmxFile(*file));
    for (int index = 0; index < ParameterCount; ++index) {
        if (values[index])
            SetPosition(*Bars[index], *values[index]);
    }
}

} // namespace pelmora
