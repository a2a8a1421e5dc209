#include "storage/alignment_file.h"
#include "storage/file_error.h"
#include "storage_test_posix.h"

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <numeric>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempFolder;

PmxValues SampleValues() {
    PmxValues values{};
    std::iota(values.begin(), values.end(), 1000);
    values[0] = 0x04030201;
    values[20] = INT_MIN;
    values[21] = -2;
    return values;
}

std::string ErrorMessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EFileError& error) {
        return error.what();
    }
    return "no EFileError";
}

TEST(PmxImage, IsTheFixedHeaderThenEachValueLittleEndian) {
    const PmxImage image = BuildPmxImage(SampleValues());
    const std::vector<std::uint8_t> header(image.begin(), image.begin() + PmxHeaderSize);
    EXPECT_EQ(header, (std::vector<std::uint8_t>{'K', 'R', 'D', 'P', 'M', 'X', 0, 0, 1, 0, 0, 0, 0,
                                                 0, 0, 0}));
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 16, image.begin() + 20),
              (std::vector<std::uint8_t>{0x01, 0x02, 0x03, 0x04}));
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 20, image.begin() + 24),
              (std::vector<std::uint8_t>{0xE9, 0x03, 0x00, 0x00})); // 1001
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 96, image.begin() + 100),
              (std::vector<std::uint8_t>{0x00, 0x00, 0x00, 0x80}));
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 100, image.end()),
              (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(PmxImage, ParsesBackWhatWasBuiltWhateverTheHeaderAndTrailingBytes) {
    const PmxValues values = SampleValues();
    std::vector<std::uint8_t> bytes;
    for (const auto byte : BuildPmxImage(values)) {
        bytes.push_back(byte);
    }
    const auto expectValues = [&values](const PmxReadValues& read) {
        for (int i = 0; i < PmxValueCount; ++i) {
            ASSERT_TRUE(read[i].has_value()) << i;
            EXPECT_EQ(*read[i], values[i]) << i;
        }
    };
    expectValues(ParsePmxImage(bytes));

    std::fill(bytes.begin(), bytes.begin() + PmxHeaderSize, 0xA5);
    bytes.resize(300, 0x77);
    expectValues(ParsePmxImage(bytes));
}

TEST(PmxImage, ShortImagesLackExactlyTheValuesTheyDoNotHoldCompletely) {
    const PmxValues values = SampleValues();
    const PmxImage image = BuildPmxImage(values);
    for (int length = 0; length < PmxFileSize; ++length) {
        // A heap block of exactly this length, so that any read past it is caught.
        const std::vector<std::uint8_t> bytes(image.begin(), image.begin() + length);
        const PmxReadValues read = ParsePmxImage(bytes);
        const int complete = length < PmxHeaderSize ? 0 : (length - PmxHeaderSize) / 4;
        for (int i = 0; i < PmxValueCount; ++i) {
            if (i < complete) {
                EXPECT_EQ(read[i], values[i]) << "length " << length << " value " << i;
            } else {
                EXPECT_FALSE(read[i].has_value()) << "length " << length << " value " << i;
            }
        }
    }
}

TEST(PmxFile, SavedFileHoldsTheImageAndReadsBack) {
    TempFolder folder;
    const PmxImage image = BuildPmxImage(SampleValues());
    SavePmxFile(folder / "a.PMX", image);
    const auto bytes = ReadPmxFile(folder / "a.PMX");
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(image.begin(), image.end()));
    EXPECT_EQ(test::FilesIn(folder.Path()), std::vector<fs::path>{"a.PMX"});
}

TEST(PmxFile, SavingReplacesALongerFileWhole) {
    TempFolder folder;
    test::WriteAll(folder / "a.PMX", std::vector<std::uint8_t>(300, 0x55));
    const PmxImage image = BuildPmxImage({});
    SavePmxFile(folder / "a.PMX", image);
    EXPECT_EQ(ReadAll(folder / "a.PMX"), std::vector<std::uint8_t>(image.begin(), image.end()));
    EXPECT_EQ(test::FilesIn(folder.Path()), std::vector<fs::path>{"a.PMX"});
}

TEST(PmxFile, SavingThroughALinkReplacesItsTarget) {
    TempFolder folder;
    test::WriteAll(folder / "real.PMX", {1, 2, 3});
    fs::create_symlink("real.PMX", folder / "link.PMX");
    const PmxImage image = BuildPmxImage(SampleValues());
    SavePmxFile(folder / "link.PMX", image);
    EXPECT_TRUE(fs::is_symlink(folder / "link.PMX"));
    EXPECT_EQ(ReadAll(folder / "real.PMX"), std::vector<std::uint8_t>(image.begin(), image.end()));
}

TEST(PmxFile, ReadingTakesAtMostTheImage) {
    TempFolder folder;
    std::vector<std::uint8_t> bytes(5000);
    std::iota(bytes.begin(), bytes.end(), 0);
    test::WriteAll(folder / "big.PMX", bytes);
    bytes.resize(PmxFileSize);
    EXPECT_EQ(ReadPmxFile(folder / "big.PMX"), bytes);
}

TEST(PmxFile, FilesThatCannotBeOpenedOrCreatedNameTheirFullPath) {
    TempFolder folder;
    EXPECT_EQ(ErrorMessageOf([&] { ReadPmxFile(folder / "none.PMX"); }),
              "Cannot open file " + (folder / "none.PMX").string());
    EXPECT_EQ(ErrorMessageOf([&] { ReadPmxFile(folder.Path()); }),
              "Cannot open file " + folder.Path().string());
    EXPECT_EQ(ErrorMessageOf([&] { SavePmxFile(folder / "no" / "a.PMX", BuildPmxImage({})); }),
              "Cannot create file " + (folder / "no" / "a.PMX").string());
    fs::create_directory(folder / "dir.PMX");
    EXPECT_EQ(ErrorMessageOf([&] { SavePmxFile(folder / "dir.PMX", BuildPmxImage({})); }),
              "Cannot create file " + (folder / "dir.PMX").string());
    EXPECT_EQ(test::FilesIn(folder.Path()), std::vector<fs::path>{"dir.PMX"});
}

// Exit codes of the child processes below.
constexpr int Unchanged = 0;
constexpr int WrongMessage = 1;
constexpr int Changed = 2;
constexpr int LeftoverFiles = 3;

TEST(PmxFile, SavingIntoAReadOnlyFolderKeepsTheOldFile) {
    TempFolder folder;
    const auto old = std::vector<std::uint8_t>(104, 0x11);
    const fs::path file = folder / "a.PMX";
    test::WriteAll(file, old);
    test::ReadOnlyFolder readOnly(folder.Path());
    const int outcome = test::RunUnprivileged([&] {
        const std::string message =
            ErrorMessageOf([&] { SavePmxFile(file, BuildPmxImage(SampleValues())); });
        if (message != "Cannot create file " + file.string()) {
            return WrongMessage;
        }
        return ReadAll(file) == old ? Unchanged : Changed;
    });
    EXPECT_EQ(outcome, Unchanged);
}

TEST(PmxFile, AFailedWriteKeepsTheOldFileAndLeavesNothingBehind) {
    TempFolder folder;
    const auto old = std::vector<std::uint8_t>(30, 0x22);
    const fs::path file = folder / "a.PMX";
    test::WriteAll(file, old);
    // The device takes 50 bytes, fewer than an image.
    const int outcome = test::RunWithFileSizeLimit(50, [&] {
        const std::string message =
            ErrorMessageOf([&] { SavePmxFile(file, BuildPmxImage(SampleValues())); });
        if (message != "Stream write error") {
            return WrongMessage;
        }
        if (test::FilesIn(folder.Path()) != std::vector<fs::path>{"a.PMX"}) {
            return LeftoverFiles;
        }
        return ReadAll(file) == old ? Unchanged : Changed;
    });
    EXPECT_EQ(outcome, Unchanged);
}

TEST(PmxFile, AWriteProtectedFileIsNotReplacedEvenByRoot) {
    TempFolder folder;
    const fs::path file = folder / "a.PMX";
    const auto old = std::vector<std::uint8_t>(104, 0x33);
    test::WriteAll(file, old);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(ErrorMessageOf([&] { SavePmxFile(file, BuildPmxImage(SampleValues())); }),
              "Cannot create file " + file.string());
    EXPECT_EQ(ReadAll(file), old);
    EXPECT_EQ(test::FilesIn(folder.Path()), std::vector<fs::path>{"a.PMX"});
}

TEST(PmxFile, AnotherUsersFileIsNotReplacedThroughAWritableFolder) {
    TempFolder folder;
    fs::permissions(folder.Path(), fs::perms::all);
    const fs::path file = folder / "a.PMX";
    const auto old = std::vector<std::uint8_t>(104, 0x55);
    test::WriteAll(file, old);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    const int outcome = test::RunUnprivileged([&] {
        const std::string message =
            ErrorMessageOf([&] { SavePmxFile(file, BuildPmxImage(SampleValues())); });
        return message == "Cannot create file " + file.string() ? Unchanged : WrongMessage;
    });
    EXPECT_EQ(outcome, Unchanged);
    EXPECT_EQ(ReadAll(file), old);
}

TEST(PmxFile, AWritableFileInAReadOnlyFolderIsOverwrittenOnlyWhenTheImageFits) {
    TempFolder folder;
    const fs::path file = folder / "a.PMX";
    const auto old = std::vector<std::uint8_t>(30, 0x44);
    test::WriteAll(file, old);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read |
                              fs::perms::others_write);
    test::ReadOnlyFolder readOnly(folder.Path());
    const PmxImage image = BuildPmxImage(SampleValues());
    const int outcome = test::RunUnprivileged([&] {
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit roomFor50Bytes{50, limit.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &roomFor50Bytes);
        if (ErrorMessageOf([&] { SavePmxFile(file, image); }) != "Stream write error") {
            return WrongMessage;
        }
        if (ReadAll(file) != old) {
            return Changed;
        }
        ::setrlimit(RLIMIT_FSIZE, &limit);
        SavePmxFile(file, image); // with room, it is overwritten: checked below
        return Unchanged;
    });
    EXPECT_EQ(outcome, Unchanged);
    EXPECT_EQ(ReadAll(file), std::vector<std::uint8_t>(image.begin(), image.end()));
}

TEST(PmxFile, NamesAsLongAsTheSystemAllowsAreSaved) {
    TempFolder folder;
    const std::string name = std::string(NAME_MAX - 4, 'n') + ".PMX";
    SavePmxFile(folder / name, BuildPmxImage(SampleValues()));
    EXPECT_EQ(test::FilesIn(folder.Path()), std::vector<fs::path>{name});
}

TEST(PmxFile, FilesSavedByAnOrdinaryUserAreReadableAndWritableByThem) {
    TempFolder folder;
    fs::permissions(folder.Path(), fs::perms::all);
    const fs::path fresh = folder / "new.PMX";
    const fs::path replaced = folder / "old.PMX";
    const auto modeOf = [](const fs::path& file) { return fs::status(file).permissions(); };
    constexpr int WrongModes = 4;
    const int outcome = test::RunUnprivileged([&] {
        ::umask(027);
        SavePmxFile(fresh, BuildPmxImage(SampleValues()));
        test::WriteAll(replaced, {1});
        fs::permissions(replaced,
                        fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
        SavePmxFile(replaced, BuildPmxImage(SampleValues()));
        const bool usable = ::access(fresh.c_str(), R_OK | W_OK) == 0;
        const bool fresh0640 = modeOf(fresh) == (fs::perms::owner_read | fs::perms::owner_write |
                                                 fs::perms::group_read);
        const bool kept0604 = modeOf(replaced) == (fs::perms::owner_read | fs::perms::owner_write |
                                                   fs::perms::others_read);
        return usable && fresh0640 && kept0604 ? Unchanged : WrongModes;
    });
    EXPECT_EQ(outcome, Unchanged);
}

TEST(PmxFile, APipeIsRefusedAtOnceAndKept) {
    TempFolder folder;
    const fs::path pipe = folder / "x.PMX";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
    EXPECT_EQ(ErrorMessageOf([&] { ReadPmxFile(pipe); }), "Cannot open file " + pipe.string());
    EXPECT_EQ(ErrorMessageOf([&] { SavePmxFile(pipe, BuildPmxImage({})); }),
              "Cannot create file " + pipe.string());
    EXPECT_TRUE(fs::is_fifo(pipe));
}

} // namespace
} // namespace pelmora
