// The port chooser: a drop-down list of port names, filled once when the window is made.
// Picking an entry changes nothing in the port; the choice is read when the user connects.
#pragma once

#include <QComboBox>

#include <string>
#include <vector>

namespace pelmora {

class TComComboBox : public QComboBox {
  public:
    explicit TComComboBox(QWidget* parent = nullptr);

    // Lists the machine's ports and selects `currentPort` when it is among them.
    void Populate(const std::string& currentPort);
    // Lists `ports`; the entry equal to `currentPort` (ignoring case) is selected, or none.
    void Populate(const std::vector<std::string>& ports, const std::string& currentPort);

    // The selected entry, or "" when none is selected.
    std::string Text() const;
};

} // namespace pelmora
