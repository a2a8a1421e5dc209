// The virtual box on a pseudo-terminal: it answers every frame the tool writes to the pty's
// slave side, as a box on a serial line would. Runs on a thread of its own, so tests can use
// it in-process; the `pelmora-box` program wraps it.
#pragma once

#include "emulator/box_state.h"
#include "emulator/frame_assembler.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pelmora::emulator {

struct BoxOptions {
    BoxIdentity Identity;
    std::string LinkPath;           // symbolic link to the slave side; empty: none
    std::string LogPath;            // one line per frame received; empty: no log
    int SilentAfter = -1;           // stop answering after this many frames
    int ReplyDelayMs = 0;           // wait before each reply
    bool SplitReplies = false;      // send each reply in two pieces
    bool GarbageReplies = false;    // non-digit bytes in the value positions
    int HangupAfter = -1;           // close the pty after this many frames (an unplugged cable)
    int CorruptStore = -1;          // store one more than sent for this parameter (file order)
    std::function<void()> OnHangup; // called on the box's thread after a hang-up
};

class PtyBox {
  public:
    explicit PtyBox(BoxOptions options);
    ~PtyBox();
    PtyBox(const PtyBox&) = delete;
    PtyBox& operator=(const PtyBox&) = delete;

    // The device path the tool opens (the link when there is one, else the slave's path).
    const std::string& DevicePath() const { return devicePath_; }

    // The ten visible characters of every frame received so far, in order.
    std::vector<std::string> Frames() const;
    // Waits until at least `count` frames have arrived; false on time-out.
    bool WaitForFrames(std::size_t count, std::chrono::milliseconds timeout) const;
    // Forgets the frames received so far (the box's memory stays).
    void ClearFrames();

    // Runs `change` on the box's state under its lock.
    void WithState(const std::function<void(BoxState&)>& change);
    void SetSilent(bool silent);

    // Writes raw bytes to the tool, as if the box had sent them.
    void Inject(const std::string& bytes);
    // Closes the pty, as a pulled cable would (done on the box's thread; see HungUp).
    void Hangup();
    bool HungUp() const;

  private:
    void Run();
    void Wake();
    bool TakeRequests();
    void HandleFrame(const std::string& frame);
    void SendReply(std::string reply);
    void Log(const std::string& frame);
    void CloseDevice();

    BoxOptions options_;
    BoxState state_;
    FrameAssembler assembler_;
    int master_ = -1;
    int slaveHold_ = -1; // keeps the slave open so the master never sees a hang-up
    int stopFd_ = -1;    // wakes the box's thread for a stop or a hang-up
    std::string devicePath_;
    std::FILE* log_ = nullptr;
    std::chrono::steady_clock::time_point start_;

    mutable std::mutex mutex_;
    mutable std::condition_variable framesChanged_;
    std::vector<std::string> frames_;
    int framesSeen_ = 0;
    bool silent_ = false;
    bool stopRequested_ = false;
    bool hangupRequested_ = false;
    std::thread thread_;
};

} // namespace pelmora::emulator
