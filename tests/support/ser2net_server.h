// A serial device server on loopback in front of one device, for tests of the network port:
// the system's ser2net with a configuration of the test's own, on a free port.
#pragma once

#include <filesystem>
#include <string>

namespace pelmora::testing {

class Ser2netServer {
  public:
    // `accepter` is ser2net's: "tcp" for plain TCP, "telnet(rfc2217)" for com-port control.
    // `line` is the device's settings until a client changes them, as "9600n72".
    Ser2netServer(const std::string& device, const std::string& accepter,
                  const std::filesystem::path& folder, const std::string& line = "115200n81");
    ~Ser2netServer();
    Ser2netServer(const Ser2netServer&) = delete;
    Ser2netServer& operator=(const Ser2netServer&) = delete;

    // The port name that reaches the device through this server.
    std::string PortName() const;
    // Waits until the server has let go of the device, as it does a moment after a client
    // left; until then it turns new clients away.
    void WaitUntilIdle() const;
    // Ends the server at once, as a crash or a pulled network cable would.
    void Kill();

  private:
    std::filesystem::path device_;
    std::string scheme_;
    int port_ = 0;
    int pid_ = -1;
};

} // namespace pelmora::testing
