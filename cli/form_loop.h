// The event loop of a form without a window: it runs the serial port's deliveries and the
// watchdog timer on the thread that owns the form, which is the form's UI thread.
#pragma once

#include "app/form.h"
#include "serial/ui_handoff.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

namespace pelmora::cli {

class FormLoop final : public UiHandoff, public ControlView {
  public:
    explicit FormLoop(TForm1& form);
    ~FormLoop() override;
    FormLoop(const FormLoop&) = delete;
    FormLoop& operator=(const FormLoop&) = delete;

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

} // namespace pelmora::cli
