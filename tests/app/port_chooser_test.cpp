// The port chooser: described ports, the chosen one kept across refills and runs, network
// ports asked for and kept, and nothing refilled under a connected port.
#include "support/form_fixture.h"

#include "storage/language_files.h"

namespace pelmora::testing {
namespace {

const PortEntry Serial{"/dev/ttyS0"};
const PortEntry Adapter{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K5F2X"};
const std::u16string AdapterLabel = u"/dev/ttyUSB0 \u2014 FT232R USB UART (FTDI, A10K5F2X)";

TEST(PortChooser, KeepsTheChosenPortWhilePortsComeAndGoAndAcrossRuns) {
    TempFolder folder;
    StartedForm fixture;
    fixture.Ports = {{Serial, Adapter}};
    TForm1& form = fixture.Start(folder.Path());
    ComboBox& chooser = *form.ComComboBox1;
    EXPECT_EQ(chooser.Items(),
              (std::vector<std::u16string>{u"/dev/ttyS0", AdapterLabel, u"Network port..."}));
    chooser.UserSelect(1);
    EXPECT_EQ(form.ChosenPort(), "/dev/ttyUSB0");

    fixture.Ports = {{Adapter, {"/dev/ttyUSB1"}}};
    chooser.UserDropDown();
    EXPECT_EQ(chooser.Items().size(), 3u);
    EXPECT_EQ(chooser.Text(), AdapterLabel);
    fixture.Ports = {{Serial}};
    form.RefreshPortList();
    EXPECT_EQ(chooser.ItemIndex(), -1) << "gone";
    fixture.Ports = {{Serial, Adapter}};
    form.RefreshPortList();
    EXPECT_EQ(chooser.Text(), AdapterLabel) << "back, and chosen again";

    fixture.Form.reset();
    TForm1& next = fixture.Start(folder.Path());
    EXPECT_EQ(next.ChosenPort(), "/dev/ttyUSB0");
    EXPECT_EQ(ReadLanguageIndex(SystemIniPathIn(folder.Path()), 1), 0) << "UI key kept";

    fixture.Form.reset();
    fixture.Ports = {{Serial}};
    TForm1& unplugged = fixture.Start(folder.Path());
    EXPECT_EQ(unplugged.ChosenPort(), "");
    fixture.Ports = {{Serial, Adapter}};
    unplugged.RefreshPortList();
    EXPECT_EQ(unplugged.ChosenPort(), "/dev/ttyUSB0") << "plugged in after the start";
}

TEST(PortChooser, SelectsThePortNamedIgnoringCaseOrNothing) {
    ComboBox chooser("ComComboBox1");
    FillPortChooser(chooser, {Serial, Adapter}, "/DEV/TTYUSB0");
    EXPECT_EQ(chooser.Text(), AdapterLabel);
    FillPortChooser(chooser, {Serial, Adapter}, "COM1");
    EXPECT_EQ(chooser.ItemIndex(), -1);
}

TEST(PortChooser, ANetworkPortIsAskedForUntilValidThenListedAndRemembered) {
    TempFolder folder;
    StartedForm fixture;
    fixture.Ports = {{Serial}};
    TForm1& form = fixture.Start(folder.Path());
    fixture.Boxes.Answers = {u"box:4000", u"rfc2217://127.0.0.1:4000"};
    form.ComComboBox1->UserSelect(1);
    EXPECT_EQ(fixture.Boxes.Asked,
              (std::vector<std::u16string>{
                  u"Network port: rfc2217://HOST:PORT or tcp://HOST:PORT|rfc2217://",
                  u"Network port: rfc2217://HOST:PORT or tcp://HOST:PORT|box:4000"}));
    EXPECT_EQ(form.ChosenPort(), "rfc2217://127.0.0.1:4000");
    form.ComComboBox1->UserSelect(2); // asked again, cancelled: the port stays
    EXPECT_EQ(form.ChosenPort(), "rfc2217://127.0.0.1:4000");
    EXPECT_EQ(form.ComComboBox1->Items().size(), 3u);

    fixture.Form.reset();
    TForm1& next = fixture.Start(folder.Path());
    EXPECT_EQ(next.ChosenPort(), "rfc2217://127.0.0.1:4000");
    next.ComComboBox1->UserSelect(0);
    EXPECT_EQ(next.ComComboBox1->Items().size(), 3u) << "an entered port stays listed";
}

class ConnectedPortChooser : public FormFixture {};

TEST_F(ConnectedPortChooser, IsNotRefilledUnderAConnectedPort) {
    Ports = {{Serial}};
    ASSERT_TRUE(Connect());
    const std::vector<std::u16string> connected = Form->ComComboBox1->Items();
    Form->ComComboBox1->UserDropDown();
    Form->RefreshPortList();
    EXPECT_EQ(Form->ComComboBox1->Items(), connected);
    Form->CNTBTN->UserClick();
    Form->ComComboBox1->UserDropDown();
    EXPECT_EQ(Form->ComComboBox1->Items(),
              (std::vector<std::u16string>{u"/dev/ttyS0", u"Network port..."}));
}

} // namespace
} // namespace pelmora::testing
