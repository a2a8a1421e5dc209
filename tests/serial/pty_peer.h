// Test peers for the serial port: the far end of a pseudo-terminal, and a UI loop that runs the
// port's deliveries on the thread that pumps it.
#pragma once

#include "serial/com_port.h"
#include "serial/ui_handoff.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

namespace pelmora::test {

using namespace std::chrono_literals;

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

// Stands in for the UI thread's event loop: Wake() records the request, Pump() runs the
// port's pending delivery on the calling thread.
class TestUiLoop : public UiHandoff {
  public:
    void Wake() override;
    int Wakes();

    // Runs deliveries on the calling thread until `done()` holds or `limit` passes.
    bool PumpUntil(TCustomComPort& port, const std::function<bool()>& done,
                   std::chrono::milliseconds limit = 5000ms);
    // Runs deliveries for `span` (for checking that nothing arrives).
    void PumpFor(TCustomComPort& port, std::chrono::milliseconds span);
    // Waits, without delivering, until at least `count` wakes were requested in all.
    bool WaitForWakes(int count, std::chrono::milliseconds limit = 5000ms);

  private:
    std::mutex mutex_;
    std::condition_variable woken_;
    int wakes_ = 0;
    int handled_ = 0;
};

} // namespace pelmora::test
