#include "storage_test_posix.h"

#include <chrono>
#include <csignal>
#include <thread>

#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pelmora::test {

namespace fs = std::filesystem;

namespace {

constexpr uid_t NobodyId = 65534;
constexpr auto ChildTimeLimit = std::chrono::seconds(5);

int AwaitChild(pid_t child) {
    const auto deadline = std::chrono::steady_clock::now() + ChildTimeLimit;
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunInChild(const std::function<bool()>& prepare, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        ::_exit(prepare() ? body() : 99);
    }
    return AwaitChild(child);
}

} // namespace

int RunUnprivileged(const std::function<int()>& body) {
    return RunInChild(
        [] {
            if (::geteuid() != 0) {
                return true;
            }
            return ::setgroups(0, nullptr) == 0 && ::setgid(NobodyId) == 0 &&
                   ::setuid(NobodyId) == 0;
        },
        body);
}

int RunWithFileSizeLimit(std::uintmax_t maxBytes, const std::function<int()>& body) {
    return RunInChild(
        [maxBytes] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            if (::getrlimit(RLIMIT_FSIZE, &limit) != 0) {
                return false;
            }
            limit.rlim_cur = static_cast<rlim_t>(maxBytes);
            return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        },
        body);
}

ReadOnlyFolder::ReadOnlyFolder(const fs::path& folder) : folder_(folder) {
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                 fs::perms::group_exec | fs::perms::others_read |
                                 fs::perms::others_exec);
}

ReadOnlyFolder::~ReadOnlyFolder() {
    std::error_code error;
    fs::permissions(folder_, fs::perms::owner_write, fs::perm_options::add, error);
}

} // namespace pelmora::test
