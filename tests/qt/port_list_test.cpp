// The Qt face's port list: refilled when it opens, and at once when a port appears in or
// leaves /dev while the window runs.
#include "qt_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace pelmora::testing {
namespace {

namespace fs = std::filesystem;

class PortListTest : public QtFormFixture {
  protected:
    QComboBox& List() { return *window.Widget<QComboBox>("ComComboBox1"); }
    bool Lists(const std::string& name) {
        return List().findText(QString::fromStdString(name)) >= 0;
    }
    bool WaitUntilListed(const std::string& name, bool listed) {
        return QTest::qWaitFor([&] { return Lists(name) == listed; }, 2000);
    }
};

TEST_F(PortListTest, OpeningTheListRefillsItAndKeepsTheChosenPort) {
    Ports = {{{"/dev/ttyS0"}, {"/dev/ttyUSB0"}}};
    List().showPopup();
    List().hidePopup();
    ASSERT_EQ(List().count(), 3);
    form.ComComboBox1->UserSelect(1);
    Ports = {{{"/dev/ttyACM0"}, {"/dev/ttyUSB0"}}};
    List().showPopup();
    List().hidePopup();
    EXPECT_TRUE(Lists("/dev/ttyACM0"));
    EXPECT_FALSE(Lists("/dev/ttyS0"));
    EXPECT_EQ(List().currentText(), "/dev/ttyUSB0");
}

TEST_F(PortListTest, APortLinkedIntoDevAppearsAndGoesWhileTheWindowRuns) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master) | ::unlockpt(master), 0);
    const std::string link = "/dev/pelmora-hotplug-" + std::to_string(::getpid());
    std::error_code error;
    fs::create_symlink(::ptsname(master), link, error);
    if (error) {
        ::close(master);
        GTEST_SKIP() << "cannot link into /dev: " << error.message();
    }
    EXPECT_TRUE(WaitUntilListed(link, true));
    form.ComComboBox1->UserSelect(List().findText(QString::fromStdString(link)));
    fs::remove(link);
    EXPECT_TRUE(WaitUntilListed(link, false));
    fs::create_symlink(::ptsname(master), link);
    EXPECT_TRUE(WaitUntilListed(link, true));
    EXPECT_EQ(List().currentText().toStdString(), link) << "chosen again";
    fs::remove(link);
    ::close(master);
}

} // namespace
} // namespace pelmora::testing
