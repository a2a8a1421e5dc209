#include "emulator/frame_assembler.h"

namespace pelmora::emulator {

void FrameAssembler::Feed(const char* bytes, std::size_t count) {
    pending_.append(bytes, count);
    // A stream without CR LF for this long is noise: keep only what could still end a frame.
    if (pending_.size() > MaxPending && pending_.find("\r\n") == std::string::npos)
        pending_.erase(0, pending_.size() - 11);
}

std::optional<std::string> FrameAssembler::Next() {
    for (;;) {
        const std::size_t end = pending_.find("\r\n");
        if (end == std::string::npos)
            return std::nullopt;
        std::optional<std::string> frame;
        if (end >= 10)
            frame = pending_.substr(end - 10, 10);
        pending_.erase(0, end + 2);
        if (frame)
            return frame;
    }
}

} // namespace pelmora::emulator
