// One box on one port, served by a form of its own: every operation clicks the form's
// controls as a user of the window would and runs the form's loop until the box has
// answered, so the frames, their order and their pauses are the window's. Failures are the
// window's messages ("Communication Error !!", the port's errors, "Cannot open file ...").
// A session belongs to the thread that created it.
#pragma once

#include "app/form.h"
#include "app/headless.h"
#include "app/platform.h"
#include "storage/alignment_file.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::cli {

struct SessionSetup {
    Pause* pause = nullptr; // shared by every session: must be safe on several threads
    std::filesystem::path ExecutableDir;
    std::optional<std::string> VersionInfo;
    // Called with a transfer's progress, 0..1, while it runs; may be empty.
    std::function<void(double)> OnProgress;
};

class BoxSession final : public ControlView {
  public:
    BoxSession(std::string port, const SessionSetup& setup);
    ~BoxSession() override;

    // Each operation returns false when it failed; Messages() then says why.
    bool Connect(); // opens the port and identifies the box
    bool Read(int slot);
    bool Write(int slot);
    bool Reset(int slot);
    bool Profile(ProfileAction action, int profile);
    bool LoadFile(const std::filesystem::path& file);
    bool SaveFile(const std::filesystem::path& file);

    const std::string& Port() const { return port_; }
    std::string Model() const;      // "P200"
    std::string Resolution() const; // "1920 x 1080"
    PmxValues Values() const;       // the editor's 22 values
    const std::vector<std::string>& Messages() const { return messages_.Texts; }

    void Changed(Change what) override; // the progress bar moved

  private:
    // A user's click on one of the form's controls; false when it showed an error.
    template <class C> bool Click(C& control) {
        form_->RunGuarded([&control] { control.UserClick(); });
        return !Failed();
    }
    bool RunTransfer();
    bool SlotTransfer(int slot, Button& start); // picks the slot, clicks, waits for the end
    bool AwaitReplies(const std::function<bool()>& done);
    void ReportSilentBox(); // the watchdog's message, where the form has no watchdog
    bool Failed() const { return !messages_.Texts.empty(); }

    std::string port_;
    SessionSetup setup_;
    CollectedMessages messages_;
    AnsweringDialogs dialogs_;
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<HeadlessLoop> loop_;
    int replies_ = 0;
};

} // namespace pelmora::cli
