// A form without a window: its event loop, which runs the serial port's deliveries and the
// watchdog timer on the thread that owns the form (the form's UI thread), and the answers a
// caller gives in place of a user to its message boxes and file dialogs. The command line
// runs its forms this way, and so do the tests.
#pragma once

#include "app/form.h"
#include "app/platform.h"
#include "serial/ui_handoff.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

// The messages the form shows, kept as UTF-8 in the order they came.
class CollectedMessages final : public MessageBoxes {
  public:
    void ShowError(const std::u16string& text) override;
    void ShowMessage(const std::u16string& text) override;
    // Nobody is there to answer: every question is cancelled.
    std::optional<std::u16string> AskText(const std::u16string&, const std::u16string&) override {
        return std::nullopt;
    }
    std::vector<std::string> Texts;
};

// Answers the form's file dialogs with the path set for each (nullopt: the user cancels).
class AnsweringDialogs final : public FileDialogs {
  public:
    std::optional<std::filesystem::path> ChooseOpen() override { return Open; }
    std::optional<std::filesystem::path> ChooseSave() override { return Save; }
    std::optional<std::filesystem::path> Open;
    std::optional<std::filesystem::path> Save;
};

class HeadlessLoop final : public UiHandoff, public ControlView {
  public:
    explicit HeadlessLoop(TForm1& form);
    ~HeadlessLoop() override;
    HeadlessLoop(const HeadlessLoop&) = delete;
    HeadlessLoop& operator=(const HeadlessLoop&) = delete;

    void Wake() override;               // the port's event thread has a delivery
    void Changed(Change what) override; // the watchdog started or stopped

    // Runs deliveries and the timer until `done` holds or `timeout` has passed; returns done().
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

  private:
    void RunDue();

    TForm1& form_;
    std::mutex mutex_;
    std::condition_variable woken_;
    bool wake_ = false;
    std::optional<std::chrono::steady_clock::time_point> timerDue_;
};

} // namespace pelmora
