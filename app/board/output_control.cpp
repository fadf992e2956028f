#include "app/board/output_control.h"

#include <new>
#include <stdexcept>

namespace board {

void IdleOutput::StartStop() {
    if (startStop) {
        startStop();
    }
}

void IdleOutput::StopBoard() {
    if (boardStopped) {
        return;
    }
    if (IADCDevice* device = driver ? driver() : nullptr) {
        device->StopOutput();
    }
    boardStopped = true;
}

bool IdleOutput::AllocateBuffer(int32_t memory) {
    try {
        std::vector<int16_t>().swap(buffer_);
        buffer_.assign(static_cast<size_t>(memory > 0 ? memory : 0) + kSampleBufferReserve, 0);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

} // namespace board
