// POSIX implementation: open/write/fsync/rename give the durability the replace promises.
#include "storage/file_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t ReadChunkSize = 64 * 1024;
constexpr int TempNameAttempts = 100;

bool IsMissingError(int error) {
    return error == ENOENT || error == ENOTDIR;
}

fs::path FollowLink(const fs::path& file) {
    std::error_code error;
    if (!fs::is_symlink(file, error)) {
        return file;
    }
    const fs::path resolved = fs::weakly_canonical(file, error);
    return error ? file : resolved;
}

fs::path TempPathBeside(const fs::path& file, int attempt) {
    static std::atomic<unsigned> counter{0};
    fs::path temp = file;
    temp += ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
            std::to_string(attempt) + ".tmp";
    return temp;
}

// A new, exclusively created file beside `file`; -1 when none can be created.
int CreateTempBeside(const fs::path& file, fs::path& temp) {
    for (int attempt = 0; attempt < TempNameAttempts; ++attempt) {
        temp = TempPathBeside(file, attempt);
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

void CopyPermissions(const fs::path& from, int toFd) {
    struct stat status {};
    if (::stat(from.c_str(), &status) == 0) {
        ::fchmod(toFd, status.st_mode & 07777);
    }
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

} // namespace

FilePrefix ReadFilePrefix(const fs::path& file, std::size_t maxBytes) {
    std::FILE* stream = std::fopen(file.c_str(), "rb");
    if (stream == nullptr) {
        return {IsMissingError(errno) ? ReadOutcome::Missing : ReadOutcome::Failed, {}};
    }
    FilePrefix result{ReadOutcome::Read, {}};
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    if (!error) {
        result.Bytes.reserve(static_cast<std::size_t>(std::min<std::uintmax_t>(size, maxBytes)));
    }
    while (result.Bytes.size() < maxBytes) {
        const std::size_t start = result.Bytes.size();
        const std::size_t wanted = std::min(ReadChunkSize, maxBytes - start);
        result.Bytes.resize(start + wanted);
        const std::size_t got = std::fread(result.Bytes.data() + start, 1, wanted, stream);
        result.Bytes.resize(start + got);
        if (got < wanted) {
            break;
        }
    }
    if (std::ferror(stream) != 0) {
        result = {ReadOutcome::Failed, {}};
    }
    std::fclose(stream);
    return result;
}

ReplaceOutcome ReplaceFileContents(const fs::path& file, std::span<const std::uint8_t> bytes) {
    const fs::path target = FollowLink(file);
    fs::path temp;
    const int fd = CreateTempBeside(target, temp);
    if (fd < 0) {
        return ReplaceOutcome::CannotCreate;
    }
    CopyPermissions(target, fd);
    bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written) {
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
