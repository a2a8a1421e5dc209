// The steps the user can take back: the 22 values before and after each gesture.
#pragma once

#include "editor/parameters.h"

#include <array>
#include <cstddef>
#include <deque>
#include <optional>

namespace pelmora {

using ParameterValues = std::array<int, ParameterCount>;

class UndoHistory {
  public:
    static constexpr std::size_t Depth = 200; // the oldest steps fall off beyond this

    struct Step {
        ParameterValues Before;
        ParameterValues After;
    };

    // A new step clears what could be redone; a step that changes nothing is not kept.
    void Record(const ParameterValues& before, const ParameterValues& after);
    // The values to go back to (or forward to), moving the step across; nullopt when none.
    std::optional<ParameterValues> Undo();
    std::optional<ParameterValues> Redo();
    std::size_t UndoCount() const { return undo_.size(); }
    std::size_t RedoCount() const { return redo_.size(); }

  private:
    std::deque<Step> undo_;
    std::deque<Step> redo_;
};

} // namespace pelmora
