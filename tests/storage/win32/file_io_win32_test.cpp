#include "storage/alignment_file.h"
#include "storage/file_error.h"
#include "storage/file_io.h"
#include "storage/storage_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include <windows.h>

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

TEST(WindowsFiles, ReplacingLeavesOnlyTheNewBytesAndNoTemporaryFile) {
    test::TempFolder folder;
    const fs::path file = folder.Path() / "set.PMX";
    test::WriteAll(file, Bytes("an old and longer content"));
    ASSERT_EQ(ReplaceFileContents(file, Bytes("new")), ReplaceOutcome::Replaced);
    EXPECT_EQ(test::ReadAll(file), Bytes("new"));
    EXPECT_EQ(test::FilesIn(folder.Path()), std::vector<fs::path>{"set.PMX"});
}

TEST(WindowsFiles, AReadOnlyFileIsNotReplacedAndNamedInTheError) {
    test::TempFolder folder;
    const fs::path file = folder.Path() / "kept.PMX";
    test::WriteAll(file, Bytes("kept"));
    ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_THROW(
        {
            try {
                SavePmxFile(file, BuildPmxImage({}));
            } catch (const EFileError& error) {
                EXPECT_EQ(error.what(), "Cannot create file " + file.string());
                throw;
            }
        },
        EFileError);
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(test::ReadAll(file), Bytes("kept"));
    EXPECT_EQ(test::FilesIn(folder.Path()).size(), 1u);
}

TEST(WindowsFiles, DevicesAreRefusedAtOnce) {
    EXPECT_EQ(ReadFilePrefix("NUL", 104).Outcome, ReadOutcome::Failed);
    EXPECT_EQ(ReplaceFileContents("NUL", Bytes("x")), ReplaceOutcome::CannotCreate);
    test::TempFolder folder;
    EXPECT_EQ(ReadFilePrefix(folder.Path() / "none" / "x.PMX", 104).Outcome, ReadOutcome::Missing);
}

HANDLE OpenHeld(const fs::path& file, DWORD access, DWORD share) {
    return ::CreateFileW(file.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

// Another program holds the file for a moment, sharing reads (a scanner) or reads and writes
// but not deletion (an indexer): the save waits for it.
TEST(WindowsFiles, AFileHeldForAMomentIsReplacedOnceReleased) {
    for (const DWORD share : {DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
        test::TempFolder folder;
        const fs::path file = folder.Path() / "held.PMX";
        test::WriteAll(file, Bytes("old"));
        const HANDLE holder = OpenHeld(file, GENERIC_READ, share);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        std::thread release([holder] {
            ::Sleep(300);
            ::CloseHandle(holder);
        });
        EXPECT_EQ(ReplaceFileContents(file, Bytes("new")), ReplaceOutcome::Replaced) << share;
        release.join();
        EXPECT_EQ(test::ReadAll(file), Bytes("new"));
        for (const fs::path& name : test::FilesIn(folder.Path()))
            EXPECT_FALSE(name.string().starts_with(".~save-")) << name; // no new file is left
    }
}

TEST(WindowsFiles, AFileAnotherProgramHasOpenForWritingIsRead) {
    test::TempFolder folder;
    const fs::path file = folder.Path() / "open.PMX";
    test::WriteAll(file, Bytes("shared"));
    const HANDLE writer = OpenHeld(file, GENERIC_WRITE | DELETE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    const FilePrefix read = ReadFilePrefix(file, 104);
    ::CloseHandle(writer);
    EXPECT_EQ(read.Outcome, ReadOutcome::Read);
    EXPECT_EQ(read.Bytes, Bytes("shared"));
}

// A path just short of the old 260-character limit whose new file beside it would not be,
// and one well past it.
TEST(WindowsFiles, PathsNearOrPastTheOldLimitAreReplacedAndRead) {
    test::TempFolder folder;
    const std::wstring base = fs::absolute(folder.Path()).wstring();
    for (const std::size_t length : {std::size_t{MAX_PATH - 2}, std::size_t{400}}) {
        const std::size_t room = length - base.size() - 8; // three separators and "a.PMX"
        const fs::path dir = base + L"\\" + std::wstring(room / 2, L'd') + L"\\" +
                             std::wstring(room - room / 2, L'e');
        ASSERT_TRUE(fs::create_directories(L"\\\\?\\" + dir.wstring()));
        const fs::path file = dir / "a.PMX";
        ASSERT_EQ(file.wstring().size(), length);
        for (const char* text : {"first", "second"}) {
            EXPECT_EQ(ReplaceFileContents(file, Bytes(text)), ReplaceOutcome::Replaced) << length;
            EXPECT_EQ(ReadFilePrefix(file, 104).Bytes, Bytes(text)) << length;
        }
    }
}

} // namespace
} // namespace pelmora
