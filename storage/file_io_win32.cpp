// Windows implementation: a file written beside the old one, flushed to the device and put in
// its place gives the durability the replace promises. Paths that are long, or whose new file
// beside them would be, go to the system in the \\?\ form, which has no 260-character limit.
#include "storage/file_io.h"

#include "storage/temp_name.h"

#include <algorithm>
#include <string>
#include <system_error>

#include <windows.h>

namespace pelmora {

namespace fs = std::filesystem;

namespace {

constexpr DWORD ReadChunkSize = 64 * 1024;
constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A file that someone else holds for a moment (a virus scanner, the search indexer, a
// synchronising client) is tried again for about a second.
constexpr int SharingRetries = 20;
constexpr DWORD SharingRetryMilliseconds = 50;
// The longest name RandomTempPathBeside gives.
constexpr std::size_t TempNameLength = 15;

bool IsMissingError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool IsSharingError(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// Runs `attempt` until it succeeds, fails other than by sharing, or the retries are used up;
// the last error stays set.
template <class Attempt> bool RetriedWhileShared(Attempt attempt) {
    for (int retry = 0;; ++retry) {
        if (attempt()) {
            return true;
        }
        if (retry == SharingRetries || !IsSharingError(::GetLastError())) {
            return false;
        }
        ::Sleep(SharingRetryMilliseconds);
    }
}

// The path as the system is given it: the \\?\ form of the absolute path when it, or a new
// file beside it, would reach MAX_PATH. Short paths stay as they are, so that device names
// such as NUL keep their meaning.
fs::path SystemPath(const fs::path& file) {
    std::error_code error;
    const fs::path full = fs::absolute(file, error).lexically_normal().make_preferred();
    const std::wstring& text = full.native();
    if (error || text.size() + TempNameLength < MAX_PATH || text.starts_with(LR"(\\?\)")) {
        return file;
    }
    if (text.starts_with(LR"(\\)")) {
        return LR"(\\?\UNC\)" + text.substr(2);
    }
    return LR"(\\?\)" + text;
}

// Closes the handle when it goes out of scope.
class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (IsOpen()) {
            ::CloseHandle(handle_);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle_; }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Closes now; false when the close reports an error.
    bool Close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return ::CloseHandle(handle) != 0;
    }

  private:
    HANDLE handle_;
};

// Devices, pipes and consoles are refused: only a file on a disk is read or replaced.
bool IsDiskFile(HANDLE handle) {
    return ::GetFileType(handle) == FILE_TYPE_DISK;
}

HANDLE OpenExisting(const fs::path& file, DWORD access, DWORD share) {
    return ::CreateFileW(file.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
}

HANDLE OpenRetried(const fs::path& file, DWORD access, DWORD share) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    RetriedWhileShared([&] {
        handle = OpenExisting(file, access, share);
        return handle != INVALID_HANDLE_VALUE;
    });
    return handle;
}

fs::path FollowLink(const fs::path& file) {
    std::error_code error;
    if (!fs::is_symlink(file, error)) {
        return file;
    }
    const fs::path resolved = fs::weakly_canonical(file, error);
    return error ? file : resolved;
}

bool WriteAll(HANDLE handle, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

// A new, exclusively created file beside `file`; INVALID_HANDLE_VALUE with the last error
// set when none can be created.
HANDLE CreateTempBeside(const fs::path& file, fs::path& temp) {
    for (int attempt = 0; attempt < TempNameAttempts; ++attempt) {
        temp = RandomTempPathBeside(file);
        const HANDLE handle = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) {
            return handle;
        }
    }
    return INVALID_HANDLE_VALUE;
}

// For a folder that takes no new files. Room for the new bytes is reserved before the first
// old byte is overwritten, so a full disk leaves the file as it was.
ReplaceOutcome OverwriteInPlace(HANDLE handle, std::span<const std::uint8_t> bytes) {
    LARGE_INTEGER oldSize{};
    LARGE_INTEGER newSize{};
    newSize.QuadPart = static_cast<LONGLONG>(bytes.size());
    if (!::GetFileSizeEx(handle, &oldSize)) {
        return ReplaceOutcome::WriteFailed;
    }
    if (newSize.QuadPart > oldSize.QuadPart &&
        (!::SetFilePointerEx(handle, newSize, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle))) {
        return ReplaceOutcome::WriteFailed;
    }
    const LARGE_INTEGER start{};
    const bool written = ::SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) &&
                         WriteAll(handle, bytes) && ::SetEndOfFile(handle) &&
                         ::FlushFileBuffers(handle);
    return written ? ReplaceOutcome::Replaced : ReplaceOutcome::WriteFailed;
}

bool FolderTakesNoNewFiles(DWORD error) {
    return error == ERROR_ACCESS_DENIED;
}

fs::path Absolute(const fs::path& file) {
    if (file.native().starts_with(LR"(\\?\)")) { // which the library takes for relative
        return file;
    }
    std::error_code error;
    fs::path full = fs::absolute(file, error);
    return error ? file : full;
}

// Puts the new file in the old one's place. An old file is replaced rather than renamed over,
// so that it keeps its attributes, permissions and creation time; should the system remove it
// but fail to rename the new one, the rename is finished here.
bool PutInPlace(const fs::path& temp, const fs::path& target, bool exists) {
    constexpr DWORD MoveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (!exists) {
        return RetriedWhileShared(
            [&] { return ::MoveFileExW(temp.c_str(), target.c_str(), MoveFlags); });
    }
    // Both named in full: Wine's ReplaceFileW finds no folder for a bare file name.
    const fs::path oldFile = Absolute(target);
    const fs::path newFile = Absolute(temp);
    const bool replaced = RetriedWhileShared([&] {
        return ::ReplaceFileW(oldFile.c_str(), newFile.c_str(), nullptr,
                              REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    });
    return replaced || (::GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
                        ::MoveFileExW(temp.c_str(), target.c_str(), MoveFlags));
}

} // namespace

// Other programs may go on writing, renaming or deleting the file while it is read.
FilePrefix ReadFilePrefix(const fs::path& file, std::size_t maxBytes) {
    FileHandle handle(OpenExisting(SystemPath(file), GENERIC_READ, ShareAll));
    if (!handle.IsOpen()) {
        return {IsMissingError(::GetLastError()) ? ReadOutcome::Missing : ReadOutcome::Failed, {}};
    }
    LARGE_INTEGER size{};
    if (!IsDiskFile(handle.Get()) || !::GetFileSizeEx(handle.Get(), &size)) {
        return {ReadOutcome::Failed, {}};
    }
    FilePrefix result{ReadOutcome::Read, {}};
    result.Bytes.reserve(std::min(static_cast<std::size_t>(size.QuadPart), maxBytes));
    while (result.Bytes.size() < maxBytes) {
        const std::size_t start = result.Bytes.size();
        const DWORD wanted =
            static_cast<DWORD>(std::min<std::size_t>(ReadChunkSize, maxBytes - start));
        result.Bytes.resize(start + wanted);
        DWORD got = 0;
        if (!::ReadFile(handle.Get(), result.Bytes.data() + start, wanted, &got, nullptr)) {
            return {ReadOutcome::Failed, {}};
        }
        result.Bytes.resize(start + got);
        if (got == 0) {
            break;
        }
    }
    return result;
}

ReplaceOutcome ReplaceFileContents(const fs::path& file, std::span<const std::uint8_t> bytes) {
    const fs::path target = SystemPath(FollowLink(file));
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return ReplaceOutcome::CannotCreate;
    }
    // The old file stays open while its successor is made: it must be a disk file this user
    // may write, and nobody else may write it meanwhile.
    FileHandle old(exists ? OpenRetried(target, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE)
                          : INVALID_HANDLE_VALUE);
    if (exists && (!old.IsOpen() || !IsDiskFile(old.Get()))) {
        return ReplaceOutcome::CannotCreate;
    }
    fs::path temp;
    FileHandle handle(CreateTempBeside(target, temp));
    if (!handle.IsOpen()) {
        return exists && FolderTakesNoNewFiles(::GetLastError())
                   ? OverwriteInPlace(old.Get(), bytes)
                   : ReplaceOutcome::CannotCreate;
    }
    const bool written = WriteAll(handle.Get(), bytes) && ::FlushFileBuffers(handle.Get());
    if (!handle.Close() || !written) {
        ::DeleteFileW(temp.c_str());
        return ReplaceOutcome::WriteFailed;
    }
    if (exists) {
        old.Close();
    }
    if (!PutInPlace(temp, target, exists)) {
        ::DeleteFileW(temp.c_str());
        return ReplaceOutcome::CannotCreate;
    }
    return ReplaceOutcome::Replaced;
}

} // namespace pelmora
