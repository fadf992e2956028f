#include "signal/noise.h"

#include "signal/waveform_math.h"

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
    StartWrittenFromRange();
    const int64_t a = span_ / 2;
    const auto b = static_cast<double>(base);
    const auto amplitude = static_cast<double>(a);

    if (field1_ == NoiseGaussian) {
        random_.Seed(TickCount());
        selector_ = static_cast<uint8_t>(TickCount() & 1u);
        for (int32_t i = 0; i < points_; ++i) {
            int32_t r1 = random_.Next();
            while (r1 == 0)
                r1 = random_.Next();
            const int32_t r2 = random_.Next();
            const double u1 = r1 / static_cast<double>(NoiseRandom::Max);
            const double u2 = r2 / static_cast<double>(NoiseRandom::Max);
            const double turn = wavemath::TwoPi * u2;
            const double g =
                std::sqrt(-2 * std::log(u1)) * (selector_ ? std::sin(turn) : std::cos(turn));
            selector_ ^= 1u;
            Put(buffer + i, Clamp(b + std::trunc(amplitude * g)));
            if (Stopped())
                return -1;
        }
    } else if (field1_ == NoiseUniform) {
        random_.Seed(TickCount());
        const int64_t range = 2 * a; // at least 2: the amplitude is at least 1
        const bool wide = range > NoiseRandom::Max + 1;
        for (int32_t i = 0; i < points_; ++i) {
            int64_t r = random_.Next();
            if (wide)
                r = r * (NoiseRandom::Max + 1) + random_.Next();
            Put(buffer + i, Clamp(b + static_cast<double>(r % range - a)));
            if (Stopped())
                return -1;
        }
    } else {
        const int32_t below = Clamp(b - amplitude);
        const int32_t above = Clamp(b + amplitude);
        uint32_t reg = SequenceStart;
        for (int32_t i = 0; i < points_; ++i) {
            reg = (reg << 1) | (((reg >> 30) ^ (reg >> 27)) & 1u);
            Put(buffer + i, (reg & 0x80000000u) != 0 ? below : above);
            if (Stopped())
                return -1;
        }
    }
    return 1;
}

std::unique_ptr<__MSignal> __MNoise::Clone() const {
    return std::make_unique<__MNoise>(*this);
}
