// A main window under test: the core form headless in a temporary folder, with recorded
// pauses, message boxes, file dialogs and diagram, talking to an in-process virtual box on a
// real pseudo-terminal. The core's headless loop runs the serial port's deliveries and the
// watchdog timer on the test's thread.
#pragma once

#include "app/form.h"
#include "app/headless.h"
#include "diagram/diagram_drawing.h"
#include "emulator/pty_box.h"
#include "protocol/pause.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::testing {

// Records each pause; sleeps through them as well while Real is set.
class FixturePause final : public Pause {
  public:
    void Sleep(int milliseconds) override;

    bool Real = false;
    std::vector<int> Pauses;
};

class RecordingMessageBoxes final : public MessageBoxes {
  public:
    void ShowError(const std::u16string& text) override { Errors.push_back(text); }
    void ShowMessage(const std::u16string& text) override { Messages.push_back(text); }
    std::optional<std::u16string> AskText(const std::u16string& prompt,
                                          const std::u16string& initial) override {
        Asked.push_back(prompt + u"|" + initial);
        if (Answers.empty())
            return std::nullopt;
        const std::u16string answer = Answers.front();
        Answers.erase(Answers.begin());
        return answer;
    }

    std::vector<std::u16string> Errors;
    std::vector<std::u16string> Messages;
    std::vector<std::u16string> Asked;   // "prompt|initial"
    std::vector<std::u16string> Answers; // given in turn; when none is left the user cancels
};

class RecordingDiagram final : public DiagramSurface {
  public:
    void SetShown(bool shown) override { Shown = shown; }
    void Draw(const DiagramDrawing& drawing) override {
        Last = drawing;
        ++Draws;
    }

    bool Shown = false;
    int Draws = 0;
    DiagramDrawing Last;
};

// Everything a form needs, recorded; `folder` holds UI.INI and SYSTEM.INI.
struct FormServicesUnderTest {
    FixturePause Pauses;
    RecordingMessageBoxes Boxes;
    AnsweringDialogs Dialogs; // answer with the path set, or cancel
    RecordingDiagram Diagram;
    std::optional<std::vector<PortEntry>> Ports; // what the system lists; nullopt: its own

    FormServices For(const std::filesystem::path& folder,
                     std::optional<std::string> versionRecord = std::nullopt);
};

// A form started in a folder of its own with recorded services; no box, no loop.
class StartedForm : public FormServicesUnderTest {
  public:
    TForm1& Start(const std::filesystem::path& folder,
                  std::optional<std::string> versionRecord = std::nullopt) {
        Form = std::make_unique<TForm1>(For(folder, std::move(versionRecord)));
        return *Form;
    }
    std::unique_ptr<TForm1> Form;
};

class FormFixture : public ::testing::Test, public FormServicesUnderTest {
  protected:
    FormFixture();
    ~FormFixture() override;

    // Starts the virtual box, replacing one started before.
    emulator::PtyBox& StartBox(emulator::BoxOptions options = {});
    // Starts the box unless one runs, picks its device in the port chooser, clicks Connect
    // and runs the loop until identification has ended. False when it did not end.
    bool Connect(emulator::BoxOptions options = {});
    // Runs the loop until the box has received `count` frames in all and the form has handled
    // every reply it was sent (StepCounter is StepIdle or StepDiscard).
    bool PumpUntilFrames(std::size_t count,
                         std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Runs the loop until the transfer's progress panel is hidden again.
    bool PumpUntilPanelHidden(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        return Loop->PumpUntil(done, timeout);
    }
    void PumpFor(std::chrono::milliseconds duration);

    // Parameter `index`'s value: its scroll bar's position.
    int Value(int index) const;
    std::vector<std::string> BoxFrames() const;
    // Forgets the frames the box has received, once every frame written so far has reached
    // it (frames still on the line would otherwise arrive after the forgetting).
    void ForgetBoxFrames();

    TempFolder Folder;
    const std::filesystem::path Dir = Folder.Path();
    std::unique_ptr<TForm1> Form;
    std::unique_ptr<HeadlessLoop> Loop;
    std::unique_ptr<emulator::PtyBox> Box;
};

// What a control shows, as UTF-8: an edit box's or a list's text, any other control's caption.
std::string TextOf(const Control* control);
inline std::string TextOf(const Control& control) {
    return TextOf(&control);
}

// Picks `port` as the only entry of the form's port chooser.
void ChoosePort(TForm1& form, const std::string& port);

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
// The text as UTF-16LE with a byte-order mark.
std::string Utf16LeWithBom(const std::u16string& text);

} // namespace pelmora::testing
