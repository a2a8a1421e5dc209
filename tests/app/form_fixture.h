// A main window started in a folder of its own, with recorded pauses and message boxes.
#pragma once

#include "app/main_window.h"
#include "app/message_boxes.h"
#include "protocol/pause.h"
#include "support/recording_message_boxes.h"
#include "support/temp_folder.h"

#include <QString>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace pelmora::testing {

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
// The text as UTF-16LE with a byte-order mark.
std::string Utf16LeWithBom(const std::u16string& text);

class FormFixture {
  public:
    FormFixture();
    ~FormFixture();

    // Starts the main window in `folder` with the given version record (none: no record).
    TForm1& Start(const std::filesystem::path& folder,
                  std::optional<std::string> versionRecord = std::nullopt);

    RecordingPause Pauses;
    RecordingMessageBoxes Boxes;
    std::unique_ptr<TForm1> Form;
};

} // namespace pelmora::testing
