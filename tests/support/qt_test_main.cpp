// Test entry for suites that drive real Qt widgets (run with QT_QPA_PLATFORM=offscreen). The
// application object is the tool's own, so exceptions reaching the event loop are reported as
// in the running program.
#include "ui/qt/application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    pelmora::TApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
