// Records every message box the window would show and returns at once.
#pragma once

#include "app/message_boxes.h"

#include <QString>

#include <vector>

namespace pelmora::testing {

class RecordingMessageBoxes final : public MessageBoxes {
  public:
    void ShowError(const QString& message) override { Errors.push_back(message); }
    void ShowMessage(const QString& message) override { Messages.push_back(message); }

    std::vector<QString> Errors;
    std::vector<QString> Messages;
};

} // namespace pelmora::testing
