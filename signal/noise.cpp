#include "signal/noise.h"

#include "signal/noise_fill.h"
#include "signal/period_layout.h"
#include "signal/waveform_math.h"

#include <algorithm>

#include <chrono>
#include <cmath>

namespace {

// Milliseconds of a steady clock: the tick count that seeds the noise.
uint32_t TickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

} // namespace

int32_t __MNoise::Prepare(UndulaRequest* request, float minClock, float maxClock,
                          const double* clocks, int32_t clockCount, int32_t capacity,
                          uint8_t evenFlag, int32_t* pointCount, uint8_t singlePlay) {
    prepared_ = 0;
    if (request == nullptr)
        return 0;
    double delay = 0;
    const int32_t result =
        ApplySampleRatePlan(*request, minClock, maxClock, clocks, clockCount, capacity, delay);
    if (result < 0)
        return -1;
    singlePlay_ = singlePlay != 0 ? 1 : 0;
    field1_ = request->noiseVariant;
    field2_ = request->polarity;
    // The noise fills the whole memory (less one point when the memory is odd and
    // the board needs an even count); a delay never finds room.
    points_ = evenFlag != 0 && capacity_ % 2 != 0 ? capacity_ - 1 : capacity_;
    leading_ = 0;
    periods_ = 1;
    if (pointCount != nullptr)
        *pointCount = points_;
    if (points_ < 1)
        return -2;
    perPeriod_ = points_;
    realised_ = clock_ / points_;
    prepared_ = 1;
    return result;
}

int32_t __MNoise::Generate(int16_t* buffer, int32_t base, int32_t bits, double /*phase*/) {
    if (!prepared_ || buffer == nullptr)
        return 0;
    SetPolarityRange(bits, field2_);
    codes::Extremes extremes{highestAllowed_, lowestAllowed_};
    const int64_t a = span_ / 2;
    const auto b = static_cast<double>(base);
    const auto amplitude = static_cast<double>(a);
    // Each variant fills the buffer in stretches and checks the stop flag between
    // them; its generator state runs on from one stretch to the next.
    auto fill = [&](auto stretch) {
        for (int64_t i = 0; i < points_; i += layout::StopChunk) {
            stretch(buffer + i, std::min<int64_t>(layout::StopChunk, points_ - i));
            if (Stopped())
                return false;
        }
        return true;
    };
    bool done = true;
    if (field1_ == NoiseGaussian) {
        random_.Seed(TickCount());
        selector_ = static_cast<uint8_t>(TickCount() & 1u);
        done = fill([&](int16_t* out, int64_t count) {
            noisefill::Gaussian(random_, selector_, out, count, base, amplitude, lowestAllowed_,
                                highestAllowed_, extremes);
        });
    } else if (field1_ == NoiseUniform) {
        random_.Seed(TickCount());
        // 2a is at least 2 (the amplitude is at least 1); one draw covers at most
        // 32768 values.
        const bool wide = 2 * a > NoiseRandom::Max + 1;
        done = fill([&](int16_t* out, int64_t count) {
            noisefill::Uniform(random_, out, count, base, a, wide, lowestAllowed_, highestAllowed_,
                               extremes);
        });
    } else {
        const int32_t below = Clamp(b - amplitude);
        const int32_t above = Clamp(b + amplitude);
        uint32_t reg = SequenceStart;
        done = fill([&](int16_t* out, int64_t count) {
            noisefill::Sequence(reg, out, count, below, above, extremes);
        });
    }
    StartWritten(extremes.lowest, extremes.highest);
    return done ? 1 : -1;
}

std::unique_ptr<__MSignal> __MNoise::Clone() const {
    return std::make_unique<__MNoise>(*this);
}
