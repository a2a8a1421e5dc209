// A main window under test: TForm1 offscreen in a temporary folder, with recorded pauses and
// message boxes, talking to an in-process virtual box on a real pseudo-terminal.
#pragma once

#include "app/main_window.h"
#include "app/message_boxes.h"
#include "emulator/pty_box.h"
#include "protocol/pause.h"
#include "serial/com_combo_box.h"
#include "support/recording_message_boxes.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pelmora::testing {

// Records every pause; sleeps through them as well while Real is set.
class FixturePause final : public Pause {
  public:
    void Sleep(int milliseconds) override;

    bool Real = false;
    std::vector<int> Pauses;
};

// Runs the Qt event loop until `done` holds or `timeout` has passed; returns done().
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));
// Runs the Qt event loop for `duration`.
void PumpFor(std::chrono::milliseconds duration);

class FormFixture : public ::testing::Test {
  protected:
    FormFixture();
    ~FormFixture() override;

    // Starts the virtual box, replacing one started before.
    emulator::PtyBox& StartBox(emulator::BoxOptions options = {});
    // Starts the box unless one runs, picks its device in the port chooser, clicks Connect
    // and runs the event loop until identification has ended. False when it did not end.
    bool Connect(emulator::BoxOptions options = {});
    // Runs the event loop until the box has received `count` frames in all and the window
    // has handled every reply it was sent (StepCounter is StepIdle or StepDiscard).
    bool PumpUntilFrames(std::size_t count,
                         std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Runs the event loop until the transfer's progress panel is hidden again.
    bool PumpUntilPanelHidden(std::chrono::milliseconds timeout = std::chrono::seconds(5));

    // Parameter `index`'s value: its scroll bar's position.
    int Value(int index) const;
    std::vector<std::string> BoxFrames() const;
    // Forgets the frames the box has received, once every frame written so far has reached
    // it (frames still on the line would otherwise arrive after the forgetting).
    void ForgetBoxFrames();

    TempFolder Folder;
    const std::filesystem::path Dir = Folder.Path();
    FixturePause Pauses;
    RecordingMessageBoxes Boxes;
    std::unique_ptr<TForm1> Form;
    std::unique_ptr<emulator::PtyBox> Box;
};

} // namespace pelmora::testing
