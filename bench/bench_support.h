// What the form benchmarks share: message boxes that only count, and a Qt event pump with a
// deadline.
#pragma once

#include "app/platform.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <functional>

namespace pelmora::bench {

class CountingBoxes final : public MessageBoxes {
  public:
    void ShowError(const std::u16string&) override { ++shown; }
    void ShowMessage(const std::u16string&) override { ++shown; }
    std::optional<std::u16string> AskText(const std::u16string&, const std::u16string&) override {
        return std::nullopt;
    }
    int shown = 0;
};

// Runs the event loop until `done` holds; false when `timeout` passed first.
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    QTimer tick;
    tick.start(1);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

} // namespace pelmora::bench
