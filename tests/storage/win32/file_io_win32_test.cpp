#include "storage/alignment_file.h"
#include "storage/file_error.h"
#include "storage/file_io.h"
#include "storage/storage_test_support.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace pelmora
