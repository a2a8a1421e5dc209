#include "serial/com_combo_box.h"

#include "serial/enum_com_ports.h"

namespace pelmora {

TComComboBox::TComComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
}

void TComComboBox::Populate(const std::string& currentPort) {
    Populate(EnumComPorts(), currentPort);
}

void TComComboBox::Populate(const std::vector<std::string>& ports, const std::string& currentPort) {
    clear();
    for (const std::string& port : ports) {
        addItem(QString::fromStdString(port));
    }
    setCurrentIndex(findText(QString::fromStdString(currentPort), Qt::MatchFixedString));
}

std::string TComComboBox::Text() const {
    return currentIndex() < 0 ? std::string() : currentText().toStdString();
}

} // namespace pelmora
