// Cuts the byte stream from the tool into frames. A frame is the ten bytes that precede a
// CR LF; whatever stands before them is dropped, so a torn or garbled frame costs at most
// itself and the box is back in step at the next CR LF.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace pelmora::emulator {

class FrameAssembler {
  public:
    void Feed(const char* bytes, std::size_t count);
    // The next complete frame's ten characters; nothing until a CR LF has arrived.
    std::optional<std::string> Next();

  private:
    static constexpr std::size_t MaxPending = 256;
    std::string pending_;
};

} // namespace pelmora::emulator
