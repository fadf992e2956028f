#include "signal/waveforms.h"

#include "signal/sine.h"

std::unique_ptr<__MSignal> MakeWaveform(int32_t kind) {
    switch (kind) {
    case KindSine:
        return std::make_unique<__MSine2>();
    default:
        return nullptr;
    }
}
