#include "storage/ui_strings.h"

namespace pelmora {

const UiStringTable& DefaultUiStrings() {
    static const UiStringTable table = {
        u"Pelmora Align Tool",
        u"TV1",
        u"TV2",
        u"TV3",
        u"TV4",
        u"Warp Ratio",
        u"Warp Position",
        u"Index 1",
        u"Index 2",
        u"Index 3",
        u"Index 4",
        u"Index 5",
        u"Connect",
        u"Close",
        u"Write",
        u"Read",
        u"Reset",
        u"Profile",
        u"Load",
        u"Save",
        u"Real Time",
        u"Please wait...............",
        u"Top Left",
        u"Top Right",
        u"Loop Range",
        u"Loop Time",
        u"Diagram",
        u"Save Setting",
        u"Load Setting",
        u"Index 6",
        u"Index 7",
        u"Index 8",
        u"Index 9",
        u"Index 10",
        u"Shift mode",
        u"Communication Error !!",
        u"The port was lost. Check the cable, then press Connect.",
        u"Network port...",
        u"Network port: rfc2217://HOST:PORT or tcp://HOST:PORT",
    };
    return table;
}

} // namespace pelmora
