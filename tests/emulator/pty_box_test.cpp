// The virtual box on a real pseudo-terminal, driven by a plain terminal client and, for the
// program, by its command line.
#include "emulator/box_options.h"
#include "emulator/pty_box.h"
#include "support/tty_client.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace pelmora::emulator {
namespace {

using pelmora::testing::TtyClient;
using namespace std::chrono_literals;

TEST(PtyBox, AnswersEveryFrameOnThePty) {
    PtyBox box({});
    TtyClient tool(box.DevicePath());
    ASSERT_TRUE(tool.IsOpen());
    tool.Write("S00XAA0960\r\nS00XAAR000\r\n");
    EXPECT_EQ(tool.Read(24), "S00XAA0960\r\nS00XAA0960\r\n");
    EXPECT_EQ(box.Frames(), (std::vector<std::string>{"S00XAA0960", "S00XAAR000"}));
}

TEST(PtyBox, StaysInStepThroughBadInput) {
    PtyBox box({});
    TtyClient tool(box.DevicePath());
    tool.Write("\x01\x02garbage\xff\r\n"); // a frame of garbage
    tool.Write("\r\n");                    // a lone CR LF
    tool.Write("S00MDNR00");               // eleven bytes... (nine here) then silence
    EXPECT_EQ(tool.Read(1, 100ms), "");
    tool.Write("S00MDNR001\r\n");
    EXPECT_EQ(tool.Read(12), "S00MDN0200\r\n");
}

TEST(PtyBox, SilentAfterAFewFramesThenAnswersWhenAsked) {
    BoxOptions options;
    options.SilentAfter = 1;
    PtyBox box(options);
    TtyClient tool(box.DevicePath());
    tool.Write("S00OPMR000\r\n");
    EXPECT_EQ(tool.Read(12), "S00OPM0002\r\n");
    tool.Write("S00OPMR000\r\n");
    EXPECT_EQ(tool.Read(12, 200ms), "");
    EXPECT_TRUE(box.WaitForFrames(2, 1s));
}

TEST(PtyBox, SplitAndGarbageReplies) {
    BoxOptions options;
    options.SplitReplies = true;
    options.GarbageReplies = true;
    PtyBox box(options);
    TtyClient tool(box.DevicePath());
    tool.Write("S00MDNR001\r\n");
    const std::string reply = tool.Read(12);
    ASSERT_EQ(reply.size(), 12u);
    EXPECT_EQ(reply.substr(0, 6), "S00MDN");
    EXPECT_EQ(reply.substr(6, 4), "?Z#/");
}

TEST(PtyBox, HangupAfterClosesThePty) {
    BoxOptions options;
    options.HangupAfter = 1;
    PtyBox box(options);
    TtyClient tool(box.DevicePath());
    tool.Write("S00MDNR001\r\n");
    ASSERT_TRUE(box.WaitForFrames(1, 1s));
    for (int i = 0; i < 100 && !box.HungUp(); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(box.HungUp());
    EXPECT_EQ(tool.Read(12, 100ms), "");
}

TEST(BoxCommandLine, ParsesEveryOptionAndRefusesBadOnes) {
    auto parsed =
        ParseCommandLine({"--link", "/tmp/x", "--model", "105", "--output-mode", "0", "--log", "l",
                          "--silent-after", "5", "--reply-delay", "7", "--split-replies",
                          "--garbage-replies", "--hangup-after", "9", "--corrupt-store", "21"});
    ASSERT_EQ(parsed.Error, "");
    EXPECT_EQ(parsed.Options.Identity.Model, 105);
    EXPECT_EQ(parsed.Options.Identity.OutputMode, 0);
    EXPECT_EQ(parsed.Options.SilentAfter, 5);
    EXPECT_EQ(parsed.Options.ReplyDelayMs, 7);
    EXPECT_EQ(parsed.Options.HangupAfter, 9);
    EXPECT_EQ(parsed.Options.CorruptStore, 21);
    EXPECT_TRUE(parsed.Options.SplitReplies);
    EXPECT_TRUE(parsed.Options.GarbageReplies);
    EXPECT_NE(ParseCommandLine({}).Error, "");
    EXPECT_TRUE(ParseCommandLine({"--link", "/tmp/x", "--help"}).Help);
    EXPECT_NE(ParseCommandLine({"--link", "/tmp/x", "--model", "x1"}).Error, "");
    EXPECT_NE(ParseCommandLine({"--link", "/tmp/x", "--model"}).Error, "");
    EXPECT_NE(ParseCommandLine({"--link", "/tmp/x", "--bogus"}).Error, "");
}

// The program as a user starts it: in the background, linked, logging.
TEST(BoxProgram, AnswersAndLogsOnItsLink) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("pelmora-box-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string link = (folder / "ttyPMX0").string();
    const std::string log = (folder / "box.log").string();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl(PELMORA_BOX_PATH, "pelmora-box", "--link", link.c_str(), "--model", "105",
                "--output-mode", "0", "--log", log.c_str(), nullptr);
        ::_exit(127);
    }
    for (int i = 0; i < 200 && !std::filesystem::is_symlink(link); ++i)
        std::this_thread::sleep_for(10ms);
    {
        TtyClient tool(link);
        ASSERT_TRUE(tool.IsOpen());
        tool.Write("S00MDNR001\r\n");
        EXPECT_EQ(tool.Read(12).substr(7, 3), "105");
        tool.Write("S00XAA0960\r\n");
        EXPECT_EQ(tool.Read(12).substr(6, 4), "0960");
        tool.Write("S00XAAR000\r\n");
        EXPECT_EQ(tool.Read(12).substr(6, 4), "0960");
    }
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    std::ifstream in(log);
    std::vector<std::string> frames;
    for (std::string time, frame; in >> time >> frame;)
        frames.push_back(frame);
    EXPECT_EQ(frames, (std::vector<std::string>{"S00MDNR001", "S00XAA0960", "S00XAAR000"}));
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace pelmora::emulator
