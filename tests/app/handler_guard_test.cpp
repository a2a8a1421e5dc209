// An exception raised by a handler nested inside another handler's setter stops the whole
// action once, and is shown once, without unwinding through Qt.
#include "app/handler_guard.h"
#include "app/message_boxes.h"
#include "form_fixture.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace pelmora {
namespace {

class HandlerGuardTest : public ::testing::Test {
  protected:
    HandlerGuardTest() {
        InstallMessageBoxes(&boxes);
        QObject::connect(&inner, &QScrollBar::valueChanged, [this](int value) {
            HandlerGuard::RunSlot([value] {
                if (value == 13)
                    throw std::runtime_error("WriteFile function failed (Error: 5)");
            });
        });
        // The outer handler sets the inner bar, then would go on to its own later steps.
        QObject::connect(&outer, &QScrollBar::valueChanged, [this](int value) {
            HandlerGuard::RunSlot([this, value] {
                SetPosition(inner, value);
                ++outerStepsAfterTheSetter;
            });
        });
    }
    ~HandlerGuardTest() override { InstallMessageBoxes(nullptr); }

    testing::RecordingMessageBoxes boxes;
    QScrollBar outer{Qt::Horizontal};
    QScrollBar inner{Qt::Horizontal};
    int outerStepsAfterTheSetter = 0;
};

TEST_F(HandlerGuardTest, ANestedFailureEndsTheOuterHandlerAndIsShownOnce) {
    outer.setValue(13);
    EXPECT_EQ(inner.value(), 13);
    EXPECT_EQ(outerStepsAfterTheSetter, 0);
    ASSERT_EQ(boxes.Errors.size(), 1u);
    EXPECT_EQ(boxes.Errors[0], "WriteFile function failed (Error: 5)");

    outer.setValue(14); // the tool goes on
    EXPECT_EQ(outerStepsAfterTheSetter, 1);
    EXPECT_EQ(boxes.Errors.size(), 1u);
}

TEST_F(HandlerGuardTest, OurOwnCallerSeesTheFailureAsAnException) {
    EXPECT_THROW(SetPosition(inner, 13), std::runtime_error);
    EXPECT_TRUE(boxes.Errors.empty());
    EXPECT_NO_THROW(SetPosition(inner, 20)); // nothing is left pending
}

} // namespace
} // namespace pelmora
