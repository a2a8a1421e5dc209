#include "app/handler_guard.h"

#include "app/application.h"

#include <utility>

namespace pelmora {

int HandlerGuard::depth_ = 0;
std::exception_ptr HandlerGuard::pending_;

void HandlerGuard::RunSlot(const std::function<void()>& slot) {
    try {
        slot();
    } catch (...) {
        if (depth_ == 0)
            ShowCurrentException();
        else if (!pending_)
            pending_ = std::current_exception();
    }
}

void HandlerGuard::CallQt(const std::function<void()>& call) {
    struct Depth {
        Depth() { ++depth_; }
        ~Depth() { --depth_; }
    };
    {
        Depth inQt;
        call();
    }
    if (pending_) {
        std::exception_ptr error = std::exchange(pending_, nullptr);
        std::rethrow_exception(error);
    }
}

void SetPosition(QScrollBar& bar, int value) {
    HandlerGuard::CallQt([&] { bar.setValue(value); });
}

void SetMaximum(QScrollBar& bar, int maximum) {
    HandlerGuard::CallQt([&] { bar.setMaximum(maximum); });
}

void SetEditText(QLineEdit& edit, const QString& text) {
    HandlerGuard::CallQt([&] { edit.setText(text); });
}

} // namespace pelmora
