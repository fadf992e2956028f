#include "signal/constant_level.h"

#include "signal/waveform_math.h"

#include <algorithm>

int32_t __MImpulse::Prepare(UndulaRequest* request, float /*minClock*/, float /*maxClock*/,
                            const double* clocks, int32_t clockCount, int32_t capacity,
                            uint8_t evenFlag, int32_t* pointCount, uint8_t singlePlay) {
    prepared_ = 0;
    singlePlay_ = singlePlay != 0 ? 1 : 0;
    if (request == nullptr || (clocks == nullptr && clockCount <= 0))
        return 0;
    if (clocks == nullptr || clockCount < 1)
        return -1;
    requested_ = request->frequency;
    capacity_ = capacity;
    span_ = wavemath::SpanOfAmplitude(request->amplitude);
    field2_ = request->polarity;
    periods_ = 1;
    leading_ = 0;

    int32_t points = std::min(LevelPoints, capacity);
    if (evenFlag != 0 && points % 2 != 0)
        --points;
    points_ = std::max(points, 0);
    if (pointCount != nullptr)
        *pointCount = points_;
    clock_ = clocks[std::min(2, clockCount - 1)];
    if (points_ < 1)
        return -2;
    realised_ = clock_ / points_;
    request->realisedFrequency = realised_;
    perPeriod_ = points_;
    prepared_ = 1;
    return 1;
}

int32_t __MImpulse::Generate(int16_t* buffer, int32_t base, int32_t bits, double /*phase*/) {
    if (!prepared_ || buffer == nullptr)
        return 0;
    SetAllowedRange(bits);
    int32_t first = 0;
    int32_t level = 0;
    TwoLevels(base, field2_, first, level);
    StartWrittenFromRange();
    if (points_ > 0) {
        std::fill_n(buffer, points_, static_cast<int16_t>(level));
        StartWritten(level, level);
    }
    return 1;
}

std::unique_ptr<__MSignal> __MImpulse::Clone() const {
    return std::make_unique<__MImpulse>(*this);
}
