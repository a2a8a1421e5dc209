// The blocking pauses of the protocol (30, 10, 60, 100 and 500 ms), behind a seam so that
// tests can record them instead of sleeping through them.
#pragma once

#include <vector>

namespace pelmora {

class Pause {
  public:
    virtual ~Pause() = default;
    virtual void Sleep(int milliseconds) = 0;
};

// Blocks the calling thread.
class RealPause final : public Pause {
  public:
    void Sleep(int milliseconds) override;
};

// Records each pause and returns at once.
class RecordingPause final : public Pause {
  public:
    void Sleep(int milliseconds) override { Pauses.push_back(milliseconds); }
    std::vector<int> Pauses;
};

} // namespace pelmora
