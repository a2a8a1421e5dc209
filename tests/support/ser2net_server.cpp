#include "support/ser2net_server.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <thread>

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pelmora::testing {

namespace {

// A loopback port nobody listens on just now.
int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("no free loopback port");
    ::close(fd);
    return ntohs(address.sin_port);
}

// Whether the kernel lists a socket listening on the loopback port (without connecting to
// it, which would make the server open the device).
bool Listening(int port) {
    std::ifstream table("/proc/net/tcp");
    char wanted[32];
    std::snprintf(wanted, sizeof wanted, "0100007F:%04X", port);
    std::string line;
    while (std::getline(table, line))
        if (line.find(wanted) != std::string::npos && line.find(" 0A ") != std::string::npos)
            return true;
    return false;
}

std::string Program() {
    return ::access("/usr/sbin/ser2net", X_OK) == 0 ? "/usr/sbin/ser2net" : "ser2net";
}

} // namespace

Ser2netServer::Ser2netServer(const std::string& device, const std::string& accepter,
                             const std::filesystem::path& folder, const std::string& line)
    : device_(std::filesystem::canonical(device)), scheme_(accepter == "tcp" ? "tcp" : "rfc2217"),
      port_(FreePort()) {
    const std::filesystem::path config = folder / ("ser2net-" + std::to_string(port_) + ".yaml");
    std::ofstream(config) << "default:\n  name: mdns\n  value: false\n"
                          << "connection: &box\n  accepter: "
                          << (accepter == "tcp" ? "" : accepter + ",") << "tcp,127.0.0.1," << port_
                          << "\n  connector: serialdev," << device << "," << line << ",local\n";
    const std::string program = Program();
    const std::string log = (folder / ("ser2net-" + std::to_string(port_) + ".log")).string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::string configText = config.string();
    char* arguments[] = {const_cast<char*>(program.c_str()), const_cast<char*>("-n"),
                         const_cast<char*>("-c"), configText.data(), nullptr};
    const int failed =
        ::posix_spawnp(&pid_, program.c_str(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        throw std::runtime_error("ser2net cannot be started: install it (tools/setup.sh)");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!Listening(port_)) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_)
            pid_ = -1;
        if (pid_ < 0 || std::chrono::steady_clock::now() > deadline) {
            Kill();
            throw std::runtime_error("ser2net did not start listening; see " + log);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

Ser2netServer::~Ser2netServer() {
    Kill();
}

std::string Ser2netServer::PortName() const {
    return scheme_ + "://127.0.0.1:" + std::to_string(port_);
}

void Ser2netServer::WaitUntilIdle() const {
    const auto holding = [this] {
        std::error_code error;
        for (const auto& fd :
             std::filesystem::directory_iterator("/proc/" + std::to_string(pid_) + "/fd", error))
            if (std::filesystem::read_symlink(fd.path(), error) == device_)
                return true;
        return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (holding() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void Ser2netServer::Kill() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

} // namespace pelmora::testing
