// Windows implementation: a file written beside the old one, flushed to the device and moved
// over it with write-through gives the durability the replace promises.
#include "storage/file_io.h"

#include "storage/temp_name.h"

#include <algorithm>
#include <system_error>

#include <windows.h>

namespace pelmora {

namespace fs = std::filesystem;

namespace {

constexpr DWORD ReadChunkSize = 64 * 1024;
constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool IsMissingError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
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

} // namespace

FilePrefix ReadFilePrefix(const fs::path& file, std::size_t maxBytes) {
    FileHandle handle(OpenExisting(file, GENERIC_READ, FILE_SHARE_READ));
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
    const fs::path target = FollowLink(file);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return ReplaceOutcome::CannotCreate;
    }
    // The old file stays open while its successor is made: it must be a disk file this user
    // may write, and nobody else may write it meanwhile.
    FileHandle old(exists ? OpenExisting(target, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE)
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
    if (!::MoveFileExW(temp.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(temp.c_str());
        return ReplaceOutcome::CannotCreate;
    }
    return ReplaceOutcome::Replaced;
}

} // namespace pelmora
