#include "signal/waveforms.h"

#include "signal/constant_level.h"
#include "signal/meander_pulse.h"
#include "signal/noise.h"
#include "signal/sample_block.h"
#include "signal/saw_triangle.h"
#include "signal/sine.h"

std::unique_ptr<__MSignal> MakeWaveform(int32_t kind) {
    switch (kind) {
    case KindSine:
        return std::make_unique<__MSine2>();
    case KindTriangle:
        return std::make_unique<__MTriangle2>();
    case KindSaw:
        return std::make_unique<__MSaw2>();
    case KindMeander:
        return std::make_unique<__MMeandr2>();
    case KindConstant:
        return std::make_unique<__MImpulse>();
    case KindPulse:
        return std::make_unique<__MRect>();
    case KindNoise:
        return std::make_unique<__MNoise>();
    case KindSampleBlock:
        return std::make_unique<__MBuffer>();
    default:
        return nullptr;
    }
}
