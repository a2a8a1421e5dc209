#include "serial/enum_com_ports.h"

#include <algorithm>
#include <cctype>

namespace pelmora {

namespace {

constexpr const char* LabelDash = " \u2014 ";

} // namespace

std::string PortLabel(const PortEntry& entry) {
    std::string details;
    for (const std::string* part : {&entry.Manufacturer, &entry.SerialNumber})
        if (!part->empty())
            details += (details.empty() ? "" : ", ") + *part;
    std::string label = entry.Name;
    if (!entry.Description.empty())
        label += LabelDash + entry.Description;
    if (!details.empty())
        label += (entry.Description.empty() ? std::string(LabelDash) : " ") + "(" + details + ")";
    return label;
}

std::string PortNameOfLabel(const std::string& label) {
    return label.substr(0, label.find(LabelDash));
}

bool SamePortName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

} // namespace pelmora
