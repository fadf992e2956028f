#include "signal/sample_block.h"

#include "signal/code_kernels.h"
#include "signal/period_layout.h"

#include <algorithm>

int32_t __MBuffer::Prepare(UndulaRequest* request, float minClock, float maxClock,
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
    const bool single = singlePlay != 0;
    singlePlay_ = single ? 1 : 0;
    periods_ = 0;
    leading_ = 0;

    const int64_t room = std::max<int64_t>(capacity_, 0);
    const int64_t used = std::clamp<int64_t>(request->sampleCount, 0, room);
    int64_t n = used;
    const int64_t lead = single ? 2 : 0;
    if (evenFlag != 0 && n % 2 != 0) {
        if (n + 1 + lead > room) {
            n = room - lead;
            if (n % 2 != 0)
                --n;
        } else {
            n += 1; // the last sample is repeated
        }
    }
    data_ = request->samples;
    field2_ = static_cast<int32_t>(used);
    polarity_ = request->polarity;
    points_ = static_cast<int32_t>(std::max<int64_t>(n, 0));
    if (points_ < 1) {
        if (pointCount != nullptr)
            *pointCount = points_;
        return -2;
    }
    if (data_ == nullptr)
        return -1;

    PlaceDelay(delay, single);
    // The leading points must not make an even block odd.
    if (evenFlag != 0 && leading_ % 2 != 0)
        --leading_;
    points_ += leading_;
    if (pointCount != nullptr)
        *pointCount = points_;
    perPeriod_ = points_ - leading_;
    realised_ = clock_ / perPeriod_;
    request->realisedFrequency = realised_;
    periods_ = 1;
    prepared_ = 1;
    return result;
}

int32_t __MBuffer::Generate(int16_t* buffer, int32_t base, int32_t bits, double /*phase*/) {
    if (!prepared_ || buffer == nullptr)
        return 0;
    SetPolarityRange(bits, polarity_);
    codes::Extremes extremes{highestAllowed_, lowestAllowed_};
    // Code 0, not the base, before the block.
    codes::FillNoted(buffer, leading_, 0, extremes);
    int16_t* const out = buffer + std::max(leading_, 0);
    const int64_t part = points_ - leading_;
    const int64_t used = std::min<int64_t>(field2_, part);
    bool done = true;
    for (int64_t i = 0; i < used; i += layout::StopChunk) {
        const int64_t count = std::min(layout::StopChunk, used - i);
        codes::ClampShifted(data_ + i, count, base, lowestAllowed_, highestAllowed_, out + i,
                            extremes);
        if (Stopped()) {
            done = false;
            break;
        }
    }
    // The even extension repeats the last sample (code 0 when none was played).
    if (done && used < part)
        codes::FillNoted(out + std::max<int64_t>(used, 0), part - std::max<int64_t>(used, 0),
                         used > 0 ? out[used - 1] : 0, extremes);
    StartWritten(extremes.lowest, extremes.highest);
    return done ? 1 : -1;
}

std::unique_ptr<__MSignal> __MBuffer::Clone() const {
    return std::make_unique<__MBuffer>(*this);
}
