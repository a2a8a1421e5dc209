#include "app/undo_history.h"

namespace pelmora {

void UndoHistory::Record(const ParameterValues& before, const ParameterValues& after) {
    if (before == after)
        return;
    undo_.push_back({before, after});
    if (undo_.size() > Depth)
        undo_.pop_front();
    redo_.clear();
}

std::optional<ParameterValues> UndoHistory::Undo() {
    if (undo_.empty())
        return std::nullopt;
    redo_.push_back(undo_.back());
    undo_.pop_back();
    return redo_.back().Before;
}

std::optional<ParameterValues> UndoHistory::Redo() {
    if (redo_.empty())
        return std::nullopt;
    undo_.push_back(redo_.back());
    redo_.pop_back();
    return undo_.back().After;
}

} // namespace pelmora
