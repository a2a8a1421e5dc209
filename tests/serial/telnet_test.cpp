// The Telnet reader and writers of the network port, and the names that select it.
#include "serial/net_device.h"
#include "serial/telnet.h"

#include <gtest/gtest.h>

namespace pelmora::telnet {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int value : values)
        out += char(value);
    return out;
}

struct Fed {
    std::string Data;
    std::string Replies;
};

// Whole, and one byte at a time: a command split between reads must read the same.
Fed FeedBothWays(const std::string& bytes, bool askedComPort = true) {
    Reader whole, split;
    whole.Asked(askedComPort);
    split.Asked(askedComPort);
    Fed a, b;
    whole.Feed(bytes, a.Data, a.Replies);
    for (char c : bytes)
        split.Feed(std::string_view(&c, 1), b.Data, b.Replies);
    EXPECT_EQ(a.Data, b.Data);
    EXPECT_EQ(a.Replies, b.Replies);
    EXPECT_EQ(whole.ComPort(), split.ComPort());
    return a;
}

TEST(TelnetReader, SeparatesDataFromCommandsAndAnswersOnlyWhatItMust) {
    struct Case {
        std::string In, Data, Replies;
    } cases[] = {
        {Bytes({'A', Iac, Iac, 'B', Iac, 241, 'C'}), Bytes({'A', 255, 'B', 'C'}), ""},
        // A server's opening: consent to what was asked, echo refused once.
        {Bytes({Iac, Will, 3, Iac, Do, 3, Iac, Will, 1, Iac, Do, 0, Iac, Will, 0, Iac, Do, 44}), "",
         Bytes({Iac, Dont, 1})},
        {Bytes({Iac, Do, 24, Iac, Will, 5, Iac, Do, 0, Iac, Do, 0}), "",
         Bytes({Iac, Wont, 24, Iac, Dont, 5})},
        // Turned off after it was on: acknowledged once.
        {Bytes({Iac, Do, 0, Iac, Dont, 0, Iac, Dont, 0, 'x'}), "x", Bytes({Iac, Wont, 0})},
        {Bytes({Iac, Sb, 44, 101, Iac, Iac, 0, Iac, Se, 'z'}), "z", ""},
    };
    for (const Case& c : cases) {
        const Fed fed = FeedBothWays(c.In);
        EXPECT_EQ(fed.Data, c.Data);
        EXPECT_EQ(fed.Replies, c.Replies);
    }
}

TEST(TelnetReader, TracksTheComPortAnswerAndTheServersValues) {
    Reader reader;
    reader.Asked(true);
    std::string data, replies;
    EXPECT_EQ(reader.ComPort(), OptionState::Asked);
    reader.Feed(Bytes({Iac, Do, 44, Iac, Sb, 44, 101, 0, 1, 0xC2, 0, Iac, Se}), data, replies);
    EXPECT_EQ(reader.ComPort(), OptionState::On);
    EXPECT_EQ(reader.Answer(SetBaudRate), 115200u);
    EXPECT_EQ(replies, "");

    Reader refused;
    refused.Asked(true);
    refused.Feed(Bytes({Iac, Dont, 44}), data, replies);
    EXPECT_EQ(refused.ComPort(), OptionState::Off);
    EXPECT_EQ(replies, "");
}

TEST(TelnetWriter, EscapesIacInDataAndInCommandValues) {
    EXPECT_EQ(Escape(Bytes({1, 255, 255, 2})), Bytes({1, 255, 255, 255, 255, 2}));
    EXPECT_EQ(Command32(SetBaudRate, 0x00FF0001),
              Bytes({Iac, Sb, 44, 1, 0, 255, 255, 0, 1, Iac, Se}));
    EXPECT_EQ(Offer(true),
              Bytes({Iac, Will, 0, Iac, Do, 0, Iac, Will, 3, Iac, Do, 3, Iac, Will, 44}));
}

TEST(TelnetWriter, TheComponentsLineIs115200EightNoneOneWithoutFlowControlOrModemLines) {
    const std::string expected = Command32(SetBaudRate, 115200) + Command(SetDataSize, 8) +
                                 Command(SetParity, 1) + Command(SetStopSize, 1) +
                                 Command(SetControl, 1) + Command(SetControl, 9) +
                                 Command(SetControl, 12);
    EXPECT_EQ(detail::LineSettingCommands(TComLineSettings{}), expected);
}

TEST(NetworkPortName, NamesTheSchemeHostAndPortOrNothing) {
    struct Case {
        const char* Name;
        bool ComPort;
        const char *Host, *Service;
    } cases[] = {
        {"tcp://127.0.0.1:4001", false, "127.0.0.1", "4001"},
        {"rfc2217://rack-3.local:65535", true, "rack-3.local", "65535"},
        {"rfc2217://[::1]:7000", true, "::1", "7000"},
    };
    for (const Case& c : cases) {
        const auto port = detail::ParseNetworkPort(c.Name);
        ASSERT_TRUE(port) << c.Name;
        EXPECT_EQ(port->ComPortControl, c.ComPort) << c.Name;
        EXPECT_EQ(port->Host, c.Host) << c.Name;
        EXPECT_EQ(port->Service, c.Service) << c.Name;
    }
    for (const char* name :
         {"tcp://host", "tcp://:4001", "tcp://host:0", "tcp://host:65536", "tcp://host:000080",
          "tcp://host:40x1", "tcp://::1:4001", "/dev/ttyUSB0", "COM7"})
        EXPECT_FALSE(detail::ParseNetworkPort(name)) << name;
}

} // namespace
} // namespace pelmora::telnet
