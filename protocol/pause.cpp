#include "protocol/pause.h"

#include <chrono>
#include <thread>

namespace pelmora {

void RealPause::Sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace pelmora
