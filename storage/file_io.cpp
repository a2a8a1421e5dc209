// POSIX implementation: open/write/fsync/rename give the durability the replace promises.
#include "storage/file_io.h"

#include "storage/temp_name.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t ReadChunkSize = 64 * 1024;

bool IsMissingError(int error) {
    return error == ENOENT || error == ENOTDIR;
}

// Closes the descriptor when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    // Closes now; false when the close reports an error (a delayed write failure).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

// Opening with O_NONBLOCK never waits for a pipe's other end; the caller then checks what
// was opened before reading or writing.
int OpenWithoutWaiting(const fs::path& file, int flags) {
    return ::open(file.c_str(), flags | O_NONBLOCK | O_CLOEXEC);
}

bool IsRegularFile(int fd) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

fs::path FollowLink(const fs::path& file) {
    std::error_code error;
    if (!fs::is_symlink(file, error)) {
        return file;
    }
    const fs::path resolved = fs::weakly_canonical(file, error);
    return error ? file : resolved;
}

// Protection is the owner's write bit, which binds root as well, and the running user's own
// right to write the file (replacing it by rename would otherwise only need the folder's).
bool IsWriteProtected(const fs::path& file, const struct stat& status) {
    return (status.st_mode & S_IWUSR) == 0 ||
           ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0;
}

// A new, exclusively created file beside `file` with mode 0666 less the umask; -1 with errno
// set when none can be created.
int CreateTempBeside(const fs::path& file, fs::path& temp) {
    for (int attempt = 0; attempt < TempNameAttempts; ++attempt) {
        temp = RandomTempPathBeside(file);
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// Owner first: a change of owner may clear mode bits. An owner this user cannot give the file
// stays its own.
void KeepOwnerAndMode(const struct stat& old, int fd) {
    const bool ownerKept = ::fchown(fd, old.st_uid, old.st_gid) == 0;
    static_cast<void>(ownerKept);
    ::fchmod(fd, old.st_mode & 07777);
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Makes the rename itself durable; a folder that cannot be synced is no failure of the file.
void SyncFolderOf(const fs::path& file) {
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// For a folder that takes no new files. Room for the new bytes is reserved before the first
// old byte is overwritten, so a full device or a file-size limit leaves the file as it was.
ReplaceOutcome OverwriteInPlace(const fs::path& file, std::span<const std::uint8_t> bytes,
                                const struct stat& old) {
    FileDescriptor fd(OpenWithoutWaiting(file, O_WRONLY));
    if (fd.Get() < 0 || !IsRegularFile(fd.Get())) {
        return ReplaceOutcome::CannotCreate;
    }
    const auto size = static_cast<off_t>(bytes.size());
    if (size > old.st_size && ::posix_fallocate(fd.Get(), 0, size) != 0) {
        return ReplaceOutcome::WriteFailed;
    }
    const bool written =
        WriteAll(fd.Get(), bytes) && ::ftruncate(fd.Get(), size) == 0 && ::fsync(fd.Get()) == 0;
    return fd.Close() && written ? ReplaceOutcome::Replaced : ReplaceOutcome::WriteFailed;
}

bool FolderTakesNoNewFiles(int error) {
    return error == EACCES || error == EPERM;
}

} // namespace

FilePrefix ReadFilePrefix(const fs::path& file, std::size_t maxBytes) {
    FileDescriptor fd(OpenWithoutWaiting(file, O_RDONLY));
    if (fd.Get() < 0) {
        return {IsMissingError(errno) ? ReadOutcome::Missing : ReadOutcome::Failed, {}};
    }
    struct stat status {};
    if (::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return {ReadOutcome::Failed, {}};
    }
    FilePrefix result{ReadOutcome::Read, {}};
    result.Bytes.reserve(std::min(static_cast<std::size_t>(status.st_size), maxBytes));
    while (result.Bytes.size() < maxBytes) {
        const std::size_t start = result.Bytes.size();
        result.Bytes.resize(start + std::min(ReadChunkSize, maxBytes - start));
        const ssize_t got =
            ::read(fd.Get(), result.Bytes.data() + start, result.Bytes.size() - start);
        if (got < 0 && errno == EINTR) {
            result.Bytes.resize(start);
            continue;
        }
        if (got < 0) {
            return {ReadOutcome::Failed, {}};
        }
        result.Bytes.resize(start + static_cast<std::size_t>(got));
        if (got == 0) {
            break;
        }
    }
    return result;
}

ReplaceOutcome ReplaceFileContents(const fs::path& file, std::span<const std::uint8_t> bytes) {
    const fs::path target = FollowLink(file);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || IsWriteProtected(target, old))) {
        return ReplaceOutcome::CannotCreate;
    }
    fs::path temp;
    FileDescriptor fd(CreateTempBeside(target, temp));
    if (fd.Get() < 0) {
        return exists && FolderTakesNoNewFiles(errno) ? OverwriteInPlace(target, bytes, old)
                                                      : ReplaceOutcome::CannotCreate;
    }
    if (exists) {
        KeepOwnerAndMode(old, fd.Get());
    }
    const bool written = WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
    if (!fd.Close() || !written) {
        ::unlink(temp.c_str());
        return ReplaceOutcome::WriteFailed;
    }
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return ReplaceOutcome::CannotCreate;
    }
    SyncFolderOf(target);
    return ReplaceOutcome::Replaced;
}

} // namespace pelmora
