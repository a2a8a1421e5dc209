// The port list over a fake /sys/class/tty and /dev of real files and links, and over this
// machine's own.
#include "serial/enum_com_ports.h"

#include "pty_peer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include <unistd.h>

namespace pelmora {
namespace {

namespace fs = std::filesystem;

struct FakeTree : ::testing::Test {
    FakeTree() {
        fs::remove_all(root);
        fs::create_directories(sys);
        fs::create_directories(dev / "pts");
        fs::create_directories(root / "devices" / "serial0");
    }
    ~FakeTree() override { fs::remove_all(root); }

    // A tty in sysfs; with `hasDevice` it has a parent device, `uartType` < 0 means no type.
    void AddTty(const std::string& name, bool hasDevice, int uartType = -1, bool inDev = true) {
        fs::create_directories(sys / name);
        if (hasDevice) {
            fs::create_directory_symlink(root / "devices" / "serial0", sys / name / "device");
        }
        if (uartType >= 0) {
            std::ofstream(sys / name / "type") << uartType << "\n";
        }
        if (inDev) {
            Touch(dev / name);
        }
    }
    static void Touch(const fs::path& file) { std::ofstream(file) << ""; }
    std::vector<std::string> Scan() const { return NamesOf(EnumComPorts(sys, dev)); }
    static std::vector<std::string> NamesOf(const std::vector<PortEntry>& ports) {
        std::vector<std::string> names;
        for (const PortEntry& port : ports)
            names.push_back(port.Name);
        return names;
    }
    std::string Dev(const std::string& name) const { return (dev / name).string(); }

    const fs::path root = fs::temp_directory_path() / ("pelmora-enum-" + std::to_string(getpid()));
    const fs::path sys = root / "sys" / "class" / "tty";
    const fs::path dev = root / "dev";
};

TEST_F(FakeTree, ListsHardwarePortsAndSkipsConsolesPlaceholdersAndAbsentNodes) {
    AddTty("ttyS0", true, 4);
    AddTty("ttyS1", true, 0); // placeholder: no UART behind it
    AddTty("ttyUSB0", true);  // not a serial-core port: no type attribute
    AddTty("tty0", false);    // virtual console
    AddTty("console", false);
    AddTty("ttyACM0", true, -1, false); // no device node
    EXPECT_EQ(Scan(), (std::vector<std::string>{Dev("ttyS0"), Dev("ttyUSB0")}));
}

TEST_F(FakeTree, ListsLinksToPseudoTerminalsOnly) {
    Touch(dev / "pts" / "3");
    Touch(dev / "pts" / "4");
    Touch(dev / "pts" / "ptmx");
    AddTty("ttyS0", true, 4);
    fs::create_symlink("pts/3", dev / "ttyV0");           // relative target
    fs::create_symlink(dev / "pts" / "4", dev / "ttyV1"); // absolute target
    fs::create_symlink("pts/9", dev / "ttyGone");         // pty no longer there
    fs::create_symlink("pts/ptmx", dev / "ptmx");         // the multiplexer
    fs::create_symlink("/proc/self/fd/0", dev / "stdin"); // may end at a pty, indirectly
    fs::create_symlink("ttyS0", dev / "serial");          // a link, but not to a pty
    Touch(dev / "ttyPlain");
    EXPECT_EQ(Scan(), (std::vector<std::string>{Dev("ttyS0"), Dev("ttyV0"), Dev("ttyV1")}));
}

TEST_F(FakeTree, SortsIgnoringCaseWithTenBeforeTwo) {
    for (const char* name : {"COM3", "com2", "COM10", "com1", "COM1"}) {
        Touch(dev / "pts" / "1");
        fs::create_symlink("pts/1", dev / name);
    }
    EXPECT_EQ(Scan(), (std::vector<std::string>{Dev("COM1"), Dev("com1"), Dev("COM10"), Dev("com2"),
                                                Dev("COM3")}));
}

TEST_F(FakeTree, AUsbAdapterIsDescribedByItsDeviceAndItsStableLink) {
    const fs::path usb = root / "devices" / "usb1" / "1-1";
    fs::create_directories(usb / "1-1:1.0" / "ttyUSB0");
    for (const auto& [attribute, value] : {std::pair{"idVendor", "0403"},
                                           {"product", "FT232R USB UART"},
                                           {"manufacturer", "FTDI"},
                                           {"serial", "A10K5F2X"}})
        std::ofstream(usb / attribute) << value << "\n";
    fs::create_directories(sys / "ttyUSB0");
    fs::create_directory_symlink(usb / "1-1:1.0" / "ttyUSB0", sys / "ttyUSB0" / "device");
    Touch(dev / "ttyUSB0");
    fs::create_directories(dev / "serial" / "by-id");
    const fs::path stable = dev / "serial" / "by-id" / "usb-FTDI_FT232R_A10K5F2X-if00-port0";
    fs::create_symlink("../../ttyUSB0", stable);
    AddTty("ttyS0", true, 4);

    const std::vector<PortEntry> ports = EnumComPorts(sys, dev);
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(PortLabel(ports[1]), Dev("ttyUSB0") + " \u2014 FT232R USB UART (FTDI, A10K5F2X)");
    EXPECT_EQ(ports[1].StableName, stable.string());
    EXPECT_EQ(PortNameOfLabel(PortLabel(ports[1])), Dev("ttyUSB0"));
    EXPECT_EQ(PortLabel(ports[0]), Dev("ttyS0")) << "nothing known, nothing added";
    EXPECT_EQ(PortLabel({"COM7", "", "", "A1"}), "COM7 \u2014 (A1)");
}

TEST_F(FakeTree, MissingRootsGiveAnEmptyList) {
    EXPECT_TRUE(EnumComPorts(root / "nothing", root / "nowhere").empty());
}

TEST_F(FakeTree, ShowsAPseudoTerminalLinkedIntoThisMachinesDev) {
    test::PtyPeer peer;
    const fs::path link = "/dev/pelmora-test-" + std::to_string(getpid());
    std::error_code error;
    fs::create_symlink(peer.SlavePath(), link, error);
    if (error) {
        GTEST_SKIP() << "cannot create a link in /dev: " << error.message();
    }
    const std::vector<std::string> ports = NamesOf(EnumComPorts());
    fs::remove(link);
    EXPECT_NE(std::find(ports.begin(), ports.end(), link.string()), ports.end());
    EXPECT_TRUE(std::is_sorted(ports.begin(), ports.end(), [](std::string a, std::string b) {
        std::transform(a.begin(), a.end(), a.begin(), ::tolower);
        std::transform(b.begin(), b.end(), b.begin(), ::tolower);
        return a < b;
    }));
    EXPECT_EQ(std::find(ports.begin(), ports.end(), "/dev/tty0"), ports.end());
}

} // namespace
} // namespace pelmora
