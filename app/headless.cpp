#include "app/headless.h"

#include "storage/text_encoding.h"

#include <algorithm>
#include <utility>

namespace pelmora {

namespace {

using Clock = std::chrono::steady_clock;

// How long the loop sleeps at most before it looks at `done` again.
constexpr std::chrono::milliseconds IdleTick{5};

} // namespace

void CollectedMessages::ShowError(const std::u16string& text) {
    Texts.push_back(Utf16ToUtf8(text));
}

void CollectedMessages::ShowMessage(const std::u16string& text) {
    Texts.push_back(Utf16ToUtf8(text));
}

HeadlessLoop::HeadlessLoop(TForm1& form) : form_(form) {
    form_.ComPort1.SetUiHandoff(this);
    form_.Timer1.AttachView(this);
}

HeadlessLoop::~HeadlessLoop() {
    form_.ComPort1.SetUiHandoff(nullptr);
    form_.Timer1.AttachView(nullptr);
}

void HeadlessLoop::Wake() {
    {
        const std::lock_guard lock(mutex_);
        wake_ = true;
    }
    woken_.notify_one();
}

void HeadlessLoop::Changed(Change what) {
    if (what != Change::Running)
        return;
    timerDue_ = form_.Timer1.Running()
                    ? std::optional(Clock::now() + std::chrono::milliseconds(form_.Timer1.Interval))
                    : std::nullopt;
}

// One delivery of the port, then the timer if its interval has passed.
void HeadlessLoop::RunDue() {
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        wake = std::exchange(wake_, false);
    }
    if (wake)
        form_.ComPort1.DeliverPending();
    if (timerDue_ && Clock::now() >= *timerDue_) {
        timerDue_ = Clock::now() + std::chrono::milliseconds(form_.Timer1.Interval);
        form_.RunGuarded([this] { form_.Timer1.Fire(); });
    }
}

bool HeadlessLoop::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (true) {
        RunDue();
        if (done())
            return true;
        const auto now = Clock::now();
        if (now >= deadline)
            return false;
        auto until = std::min(deadline, now + IdleTick);
        if (timerDue_)
            until = std::min(until, *timerDue_);
        std::unique_lock lock(mutex_);
        woken_.wait_until(lock, until, [this] { return wake_; });
    }
}

} // namespace pelmora
