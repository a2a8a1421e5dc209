// pelmora-cli against virtual boxes on ptys, compared with the window's core form where the
// bytes must be the window's.
#include "cli/cli.h"
#include "cli/output.h"
#include "protocol/pause.h"
#include "storage/alignment_file.h"
#include "support/environment_override.h"
#include "support/ser2net_server.h"
#include "tests/protocol/transfer_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <thread>

#include <unistd.h>

namespace pelmora {
namespace {

using namespace pelmora::testing;
using namespace std::chrono_literals;

// The protocol's pauses skipped, on every box's thread at once.
class NoPause final : public Pause {
  public:
    void Sleep(int) override {}
};

struct CliRun {
    int Exit = -1;
    std::string Out;
    std::string Err;
};

constexpr Values FileValues = {101, 102, 1801, 103,  201,  202, 1802, 203, 301, 302, 1803,
                               303, 401, 402,  1804, 1003, 120, 60,   40,  60,  4,   300};

class Cli : public FormFixture {
  protected:
    CliRun Run(const std::vector<std::string>& arguments, Pause& pause) {
        return RunFrom(Dir, arguments, pause);
    }
    CliRun RunFrom(const std::filesystem::path& executableDir,
                   const std::vector<std::string>& arguments, Pause& pause) {
        std::ostringstream out, err;
        const cli::CliEnvironment environment{out,           err,          pause, false,
                                              executableDir, std::nullopt, "1.0"};
        const int exit = cli::RunCli(arguments, environment);
        return {exit, out.str(), err.str()};
    }
    CliRun Run(const std::vector<std::string>& arguments) { return Run(arguments, Skipped); }

    emulator::PtyBox& AddBox(emulator::BoxOptions options = {}) {
        CliBoxes.push_back(std::make_unique<emulator::PtyBox>(std::move(options)));
        return *CliBoxes.back();
    }
    std::filesystem::path WriteValues(const std::string& name, const Values& values) {
        PmxValues pmx{};
        std::copy(values.begin(), values.end(), pmx.begin());
        SavePmxFile(Dir / name, BuildPmxImage(pmx));
        return Dir / name;
    }

    NoPause Skipped;
    std::vector<std::unique_ptr<emulator::PtyBox>> CliBoxes;
};

emulator::BoxOptions With(int emulator::BoxOptions::*option, int value) {
    emulator::BoxOptions options;
    options.*option = value;
    return options;
}

emulator::BoxOptions Model(int model, int outputMode) {
    emulator::BoxOptions options;
    options.Identity = {model, outputMode};
    return options;
}

Values FileContents(const std::filesystem::path& file) {
    const PmxReadValues read = ParsePmxImage(ReadPmxFile(file));
    Values values{};
    for (int i = 0; i < ParameterCount; ++i)
        values[i] = read[i].value_or(-1);
    return values;
}

TEST_F(Cli, IdentifiesBoxesInParallelEachLineNamingItsPort) {
    const std::string full = AddBox(Model(200, 0)).DevicePath();
    const std::string single = AddBox(Model(105, 0)).DevicePath();
    const CliRun run = Run({"identify", "--port", full, "--port", single});
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_NE(run.Out.find(full + ": P200, 1920 x 1080\n"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find(single + ": P105, 720 x 480\n"), std::string::npos) << run.Out;
}

// Installed beside a package's UI.INI, the command line keeps SYSTEM.INI in the user's
// configuration folder, as the window does.
TEST_F(Cli, AnInstalledCopyKeepsItsSettingsInTheUsersFolder) {
    std::filesystem::create_directories(Dir / "usr/bin");
    std::filesystem::create_directories(Dir / "usr/share/pelmora-align");
    WriteFile(Dir / "usr/share/pelmora-align/UI.INI", "[English]\r\n");
    EnvironmentOverride environment;
    environment.Set("XDG_CONFIG_HOME", (Dir / "config").c_str());
    const CliRun run =
        RunFrom(Dir / "usr/bin", {"identify", "--port", AddBox().DevicePath()}, Skipped);
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_TRUE(std::filesystem::exists(Dir / "config/pelmora-align/SYSTEM.INI"));
    EXPECT_FALSE(std::filesystem::exists(Dir / "usr/bin/SYSTEM.INI"));
}

TEST_F(Cli, ReadSendsTheWindowsFramesWithItsPausesAndSavesTheWindowsFile) {
    ASSERT_TRUE(Connect());
    SeedSlot(*Box, 2, SeedValues);
    Form->SlotButtons[2]->UserClick();
    Form->ReadBtn->UserClick();
    ASSERT_TRUE(PumpUntilPanelHidden());
    Dialogs.Save = Dir / "window.PMX";
    Form->TntButton1Click();

    emulator::PtyBox& box = AddBox();
    SeedSlot(box, 2, SeedValues);
    RecordingPause pauses;
    const CliRun run =
        Run({"read", "--port", box.DevicePath(), "--slot", "3", "-o", (Dir / "cli.PMX").string()},
            pauses);
    ASSERT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(box.Frames(), BoxFrames());
    EXPECT_EQ(pauses.Pauses, Pauses.Pauses);
    const std::string saved = ReadFile(Dir / "cli.PMX");
    EXPECT_EQ(saved.size(), 104u);
    EXPECT_EQ(saved, ReadFile(Dir / "window.PMX"));
}

TEST_F(Cli, WriteSendsTheWindowsFramesAndReadsBackByName) {
    const std::filesystem::path file = WriteValues("values.PMX", FileValues);
    ASSERT_TRUE(Connect());
    Dialogs.Open = file;
    Form->TntButton2Click();
    Form->SlotButtons[1]->UserClick();
    Form->WriteBtn->UserClick();
    ASSERT_TRUE(PumpUntilPanelHidden());

    emulator::PtyBox& box = AddBox();
    const std::string port = box.DevicePath();
    ASSERT_EQ(Run({"write", "--port", port, "--slot", "2", file.string()}).Exit, 0);
    EXPECT_EQ(box.Frames(), BoxFrames());
    const CliRun read = Run({"read", "--port", port, "--slot", "2"});
    EXPECT_NE(read.Out.find("TLY2  202\n"), std::string::npos) << read.Out;
    EXPECT_NE(read.Out.find("LT    300\n"), std::string::npos) << read.Out;
    const CliRun json = Run({"--json", "read", "--port", port, "--slot", "2"});
    EXPECT_NE(json.Out.find("\"TRX4\":1804,\"TRY4\":1003,\"WRH\":120"), std::string::npos)
        << json.Out;
}

TEST_F(Cli, VerifyNamesTheParameterTheBoxStoredWrongly) {
    const std::string port = AddBox(With(&emulator::BoxOptions::CorruptStore, 5)).DevicePath();
    const std::filesystem::path file = WriteValues("values.PMX", FileValues);
    const CliRun run = Run({"write", "--port", port, "--slot", "4", file.string(), "--verify"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_NE(run.Err.find("slot 4: TLY2 written 202, read 203\n"), std::string::npos) << run.Err;
    EXPECT_EQ(
        Run({"write", "--port", AddBox().DevicePath(), "--slot", "4", file.string(), "--verify"})
            .Exit,
        0);
}

TEST_F(Cli, ResetWritesTheDefaultsAndProfileSaveNamesItsProfile) {
    emulator::PtyBox& box = AddBox();
    SeedSlot(box, 4, SeedValues);
    ASSERT_EQ(Run({"reset", "--port", box.DevicePath(), "--slot", "5"}).Exit, 0);
    box.WithState([](emulator::BoxState& state) {
        EXPECT_EQ(state.Memory.Slots[4].Corners, emulator::SlotMemory().Corners);
        EXPECT_EQ(state.Memory.Slots[4].Warp, emulator::SlotMemory().Warp);
    });
    const CliRun run = Run({"profile", "save", "--port", box.DevicePath(), "--profile", "4"});
    EXPECT_EQ(run.Out, "profile 4 saved\n") << run.Err;
    EXPECT_EQ(box.Frames().back(), "S00PFX+003");
}

TEST_F(Cli, BackupAndRestoreCarryAllTenSlots) {
    emulator::PtyBox& from = AddBox();
    for (int slot = 0; slot < 10; ++slot) {
        Values values = SeedValues;
        values[0] = slot;
        SeedSlot(from, slot, values);
    }
    const std::string folder = (Dir / "backup").string();
    std::filesystem::create_directories(Dir / "backup/.backup-partial"); // left by a crash
    WriteFile(Dir / "backup/.backup-partial/slot03.PMX", "stale");
    ASSERT_EQ(Run({"backup", "--port", from.DevicePath(), "--dir", folder}).Exit, 0);
    EXPECT_FALSE(std::filesystem::exists(Dir / "backup/.backup-partial"));
    for (const char* file : {"slot01.PMX", "slot07.PMX", "slot10.PMX"})
        EXPECT_EQ(FileContents(Dir / "backup" / file)[0], std::stoi(file + 4) - 1) << file;

    emulator::PtyBox& to = AddBox();
    ASSERT_EQ(Run({"restore", "--port", to.DevicePath(), "--dir", folder, "--verify"}).Exit, 0);
    from.WithState([&](emulator::BoxState& a) {
        to.WithState([&](emulator::BoxState& b) {
            for (int slot = 0; slot < 10; ++slot) {
                EXPECT_EQ(a.Memory.Slots[slot].Corners, b.Memory.Slots[slot].Corners);
                EXPECT_EQ(a.Memory.Slots[slot].Warp, b.Memory.Slots[slot].Warp);
            }
        });
    });
}

TEST_F(Cli, ABackupOfSeveralBoxesKeepsEachInAFolderNamedAfterItsPort) {
    std::vector<std::string> ports;
    for (int box = 0; box < 2; ++box) {
        emulator::PtyBox& pty = AddBox();
        Values values = SeedValues;
        values[0] = 50 + box;
        SeedSlot(pty, 9, values);
        ports.push_back(pty.DevicePath());
    }
    const std::filesystem::path folder = Dir / "all";
    const CliRun run =
        Run({"backup", "--port", ports[0], "--port", ports[1], "--dir", folder.string()});
    ASSERT_EQ(run.Exit, 0) << run.Err;
    for (int box = 0; box < 2; ++box)
        EXPECT_EQ(
            FileContents(folder / std::filesystem::path(ports[box]).filename() / "slot10.PMX")[0],
            50 + box);
    EXPECT_FALSE(std::filesystem::exists(folder / "slot10.PMX"));
}

// A backup cut short leaves its folder as it found it: empty when it was there, else absent.
TEST_F(Cli, BackupCutShortLeavesNoSetAndNamesTheMissingSlots) {
    std::filesystem::create_directories(Dir / "there");
    for (const char* folder : {"there", "new/backup"}) {
        SCOPED_TRACE(folder);
        // Identification, three slots of 22 frames, then silence.
        const std::string port =
            AddBox(With(&emulator::BoxOptions::SilentAfter, 2 + 3 * 22)).DevicePath();
        const CliRun run = Run({"backup", "--port", port, "--dir", (Dir / folder).string()});
        EXPECT_EQ(run.Exit, 1);
        EXPECT_NE(run.Err.find("slots 4 to 10 missing"), std::string::npos) << run.Err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(Dir / "there"));
    EXPECT_FALSE(std::filesystem::exists(Dir / "new"));
}

// A file too short to be an alignment file is refused before anything is sent; one with
// another header is used, with a note.
TEST_F(Cli, AFileThatIsNoAlignmentFileIsRefusedBeforeTheBoxIsSpokenTo) {
    WriteFile(Dir / "bad.PMX", "hello\n");
    std::filesystem::create_directories(Dir / "slots");
    for (int slot = 1; slot <= 10; ++slot)
        WriteFile(Dir / "slots" /
                      ("slot" + std::string(slot < 10 ? "0" : "") + std::to_string(slot) + ".PMX"),
                  slot == 7 ? "hello\n" : ReadFile(WriteValues("good.PMX", FileValues)));
    const std::string bad = (Dir / "bad.PMX").string();
    const std::string seventh = (Dir / "slots/slot07.PMX").string();
    emulator::PtyBox& box = AddBox();
    const std::string port = box.DevicePath();
    for (const auto& [arguments, message] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"write", "--port", port, "--slot", "2", bad}, port + ": " + bad},
             {{"restore", "--port", port, "--dir", (Dir / "slots").string()},
              port + ": " + seventh},
             {{"show", bad}, bad},
             {{"diff", WriteValues("good.PMX", FileValues).string(), bad}, bad}}) {
        SCOPED_TRACE(arguments.front());
        const CliRun run = Run(arguments);
        EXPECT_EQ(run.Exit, 1);
        EXPECT_EQ(run.Err, "pelmora-cli: " + message + ": not an alignment file (6 bytes)\n");
    }
    std::filesystem::copy_file(Dir / "good.PMX", seventh,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove(Dir / "slots/slot10.PMX");
    const CliRun missing = Run({"restore", "--port", port, "--dir", (Dir / "slots").string()});
    EXPECT_EQ(missing.Exit, 1);
    EXPECT_NE(missing.Err.find("slot10.PMX"), std::string::npos) << missing.Err;
    EXPECT_TRUE(box.Frames().empty());
    std::string other = ReadFile(WriteValues("other.PMX", FileValues));
    other.replace(0, 6, "OTHER!");
    WriteFile(Dir / "other.PMX", other);
    const std::string otherFile = (Dir / "other.PMX").string();
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"write", "--port", port, "--slot", "2", otherFile},
          {"show", otherFile},
          {"diff", otherFile, WriteValues("good.PMX", FileValues).string()}}) {
        SCOPED_TRACE(arguments.front());
        const CliRun run = Run(arguments);
        EXPECT_EQ(run.Exit, 0);
        EXPECT_NE(run.Err.find("other.PMX: not an alignment file's header"), std::string::npos);
        EXPECT_EQ(run.Out.find("TRX1") != std::string::npos, arguments.front() == "show");
    }
    box.WithState([](emulator::BoxState& state) { EXPECT_EQ(state.Memory.Slots[1].Warp[0], 120); });
}

TEST_F(Cli, JsonGivesEveryBoxItsObjectAndDiffFailsWhenFilesDiffer) {
    const std::string good = AddBox().DevicePath();
    const std::string missing = (Dir / "no-such-port").string();
    const CliRun run = Run({"--json", "identify", "--port", good, "--port", missing});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_NE(run.Out.find("{\"port\":" + cli::JsonText(good) + ",\"model\":\"P200\""),
              std::string::npos)
        << run.Out;
    EXPECT_NE(run.Out.find("{\"port\":" + cli::JsonText(missing) + ",\"error\":\""),
              std::string::npos)
        << run.Out;
    EXPECT_EQ(std::count(run.Out.begin(), run.Out.end(), '\n'), 2);
    EXPECT_FALSE(run.Err.empty());

    const std::string a = WriteValues("a.PMX", FileValues).string();
    Values changed = FileValues;
    changed[3] += 1;
    const std::string b = WriteValues("b.PMX", changed).string();
    EXPECT_EQ(Run({"diff", a, a}).Exit, 0);
    const CliRun differ = Run({"diff", a, b});
    EXPECT_EQ(differ.Exit, 1);
    EXPECT_EQ(differ.Out, "TRY1: 103 -> 104\n");
}

TEST_F(Cli, PortsListsThePortsWithEveryDescriptionFieldInJson) {
    const std::filesystem::path link = "/dev/pelmora-cli-" + std::to_string(::getpid());
    std::error_code error;
    std::filesystem::create_symlink(AddBox().DevicePath(), link, error);
    if (error)
        GTEST_SKIP() << "cannot link into /dev: " << error.message();
    const CliRun plain = Run({"ports"});
    const CliRun json = Run({"--json", "ports"});
    std::filesystem::remove(link);
    EXPECT_NE(plain.Out.find(link.string() + "\n"), std::string::npos) << plain.Out;
    EXPECT_EQ(json.Out.rfind("{\"ports\":[", 0), 0u) << json.Out;
    EXPECT_NE(json.Out.find("{\"name\":" + cli::JsonText(link.string()) +
                            ",\"label\":" + cli::JsonText(link.string()) +
                            ",\"description\":\"\",\"manufacturer\":\"\",\"serialNumber\":\"\","
                            "\"stableName\":\"\"}"),
              std::string::npos)
        << json.Out;
}

TEST_F(Cli, SilentBoxIsACommunicationErrorAfterTheWatchdog) {
    RealPause real;
    const std::string port = AddBox(With(&emulator::BoxOptions::SilentAfter, 3)).DevicePath();
    const auto start = std::chrono::steady_clock::now();
    const CliRun run = Run({"read", "--port", port, "--slot", "1"}, real);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err, "pelmora-cli: " + port + ": Communication Error !!\n");
    EXPECT_GE(elapsed, 2000ms);
    EXPECT_LT(elapsed, 6000ms);
}

// Through the serial device server, of either kind, the box sees what a direct port gives it.
TEST_F(Cli, ThroughTheDeviceServerTheBoxSeesTheFramesOfADirectPort) {
    const std::filesystem::path file = WriteValues("values.PMX", FileValues);
    std::vector<std::unique_ptr<Ser2netServer>> servers;
    const auto framesVia = [&](const char* accepter) {
        emulator::PtyBox& box = AddBox();
        SeedSlot(box, 2, SeedValues);
        std::string port = box.DevicePath();
        if (accepter != nullptr) {
            servers.push_back(std::make_unique<Ser2netServer>(port, accepter, Dir));
            port = servers.back()->PortName();
        }
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"identify", "--port", port},
              {"read", "--port", port, "--slot", "3"},
              {"write", "--port", port, "--slot", "2", file.string(), "--verify"}}) {
            if (!servers.empty())
                servers.back()->WaitUntilIdle();
            const CliRun run = Run(command);
            EXPECT_EQ(run.Exit, 0) << command[0] << ": " << run.Err;
        }
        return box.Frames();
    };
    const std::vector<std::string> direct = framesVia(nullptr);
    EXPECT_EQ(framesVia("telnet(rfc2217)"), direct);
    EXPECT_EQ(framesVia("tcp"), direct);
    servers[0]->WaitUntilIdle();
    servers[1]->WaitUntilIdle();
    const CliRun both =
        Run({"identify", "--port", servers[0]->PortName(), "--port", servers[1]->PortName()});
    EXPECT_EQ(both.Exit, 0) << both.Err;
}

TEST_F(Cli, KillingTheDeviceServerMidTransferIsACommunicationErrorOnALostPort) {
    RealPause real;
    emulator::PtyBox& box = AddBox();
    Ser2netServer server(box.DevicePath(), "telnet(rfc2217)", Dir);
    std::thread killer([&] {
        box.WaitForFrames(8, 10s);
        server.Kill();
    });
    const CliRun run = Run({"read", "--port", server.PortName(), "--slot", "1"}, real);
    killer.join();
    EXPECT_EQ(run.Exit, 1);
    const std::string prefix = "pelmora-cli: " + server.PortName() + ": ";
    EXPECT_EQ(run.Err, prefix + "Communication Error !!\n" + prefix +
                           "The port was lost. Check the cable, then press Connect.\n");
}

// A usage error names its reason and the usage of the command given, nothing more.
TEST_F(Cli, BadUsageGivesItsReasonAndThatCommandsUsageAndAMissingFileFails) {
    for (const auto& [arguments, err] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"read", "--slot", "3"},
              "read needs --port\nusage: pelmora-cli read --port P --slot N [-o FILE.PMX]\n"},
             {{"--slot", "11", "reset", "--port", "P"},
              "--slot takes 1 to 10\nusage: pelmora-cli reset --port P --slot N\n"},
             {{"diff", "a.PMX"},
              "diff takes two files, 1 given\nusage: pelmora-cli diff A.PMX B.PMX\n"},
             {{"identify", "--port", "P", "--slot", "1"},
              "identify does not take --slot\nusage: pelmora-cli identify --port P\n"},
             {{"frobnicate"},
              "unknown command frobnicate\nusage: pelmora-cli [--json] COMMAND "
              "(pelmora-cli --help lists the commands)\n"}}) {
        const CliRun usage = Run(arguments);
        EXPECT_EQ(usage.Exit, 2);
        EXPECT_EQ(usage.Err, "pelmora-cli: " + err);
    }
    const std::string missing = (Dir / "missing.PMX").string();
    const CliRun show = Run({"show", missing});
    EXPECT_EQ(show.Exit, 1);
    EXPECT_EQ(show.Err, "pelmora-cli: Cannot open file " + missing + ".\n");
}

} // namespace
} // namespace pelmora
