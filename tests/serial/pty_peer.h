// Test peer for the serial port: the far end of a pseudo-terminal.
#pragma once

#include "test_ui_loop.h"

#include <chrono>
#include <string>

namespace pelmora::test {

// A pseudo-terminal whose slave side the port opens by path; the test speaks on the master.
// The test keeps a slave descriptor of its own so the line outlives the port's opens.
class PtyPeer {
  public:
    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    int MasterFd() const { return master_; }
    int SlaveFd() const { return slave_; }

    void Send(const std::string& bytes);
    // Reads what the port wrote until `count` bytes came or `limit` passed.
    std::string Receive(size_t count, std::chrono::milliseconds limit = 5000ms);
    // Closes the master side: the port's device is hung up, as by a pulled cable.
    void HangUp();

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

} // namespace pelmora::test
