#include "signal/sine.h"

#include "signal/code_kernels.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {
constexpr double TwoPi = 2 * std::numbers::pi;
}

int32_t __MSine2::Prepare(UndulaRequest* request, float minClock, float maxClock,
                          const double* clocks, int32_t clockCount, int32_t capacity,
                          uint8_t evenFlag, int32_t* pointCount, uint8_t singlePlay) {
    if (request == nullptr)
        return 0;
    const bool single = singlePlay != 0;
    const bool even = evenFlag != 0;
    double inUse = 0;
    double delay = 0;
    int32_t result = ApplyFrequencyLimits(*request, minClock, maxClock, clocks, clockCount,
                                          capacity, inUse, delay);
    if (result < 0)
        return -1;
    singlePlay_ = single ? 1 : 0;
    leading_ = 0;

    bool planned = false;
    if (single || mode_ == ModeNearestFrequency || mode_ == ModeMostPoints) {
        if (ChooseFromTable(clocks, clockCount, inUse, even, single) && points_ > 1 &&
            mode_ != ModeSynthesiser && mode_ != ModeWholeMemoryAlways)
            planned = true;
    }
    if (!planned) {
        const int32_t whole = WholeMemoryPlan(clocks, clockCount, inUse, even);
        if (whole < 0)
            return whole;
    }

    field1_ = request->polarity;
    result = FinishPlan(request, delay, pointCount, single, result);
    if (result < 0 || !single)
        return result;
    return SinglePlayPlan(request, pointCount, result);
}

int32_t __MSine2::WholeMemoryPlan(const double* clocks, int32_t clockCount, double inUse,
                                  bool even) {
    // One point per code step of the peak-to-peak swing.
    const double wanted = inUse * span_;
    clock_ = LookupClock(clocks, clockCount, wanted);
    double p = clock_ / inUse;
    const double fit = std::trunc(capacity_ / p);
    // Far less than a point per period (a clock table far below the maximum clock)
    // would ask for more periods than a count can hold: nothing fits then.
    if (fit < 1 || !(fit <= std::numeric_limits<int32_t>::max()))
        return -2;
    int32_t periods = static_cast<int32_t>(fit);
    int32_t points = static_cast<int32_t>(std::trunc(periods * p));
    p = static_cast<double>(points) / periods;
    if (even) {
        while (points % 2 != 0) {
            periods = periods - 1;
            points = static_cast<int32_t>(std::trunc(periods * p));
            if (periods < 1)
                return -1;
            if (points % 2 == 0)
                p = static_cast<double>(points) / periods;
            else if (points > capacity_ || points < 2)
                return -1;
        }
    }
    periods_ = periods;
    points_ = points;
    perPeriod_ = p;
    return 0;
}

int32_t __MSine2::SinglePlayPlan(UndulaRequest* request, int32_t* pointCount, int32_t result) {
    double p = perPeriod_;
    // The delay's leading points count too, so that the buffer stays inside memory.
    if (capacity_ < leading_ + p + 2)
        p = p - 2;
    int64_t period = static_cast<int64_t>(std::trunc(p));
    int64_t points = int64_t{leading_} + 2 + period;
    if (points % 2 != 0) {
        // Pad with one point at the start level; where the pad does not fit, the
        // period gives up its last point instead.
        if (points + 1 <= capacity_)
            points += 1;
        else {
            period -= 1;
            points -= 1;
        }
    }
    points_ = static_cast<int32_t>(points);
    if (pointCount != nullptr)
        *pointCount = points_;
    if (period < 1) {
        prepared_ = 0;
        return -2;
    }
    periods_ = 1;
    perPeriod_ = static_cast<double>(period);
    realised_ = clock_ / perPeriod_;
    request->realisedFrequency = realised_;
    if (result == 2)
        request->frequency = realised_;
    return result;
}

std::unique_ptr<__MSignal> __MSine2::Clone() const {
    return std::make_unique<__MSine2>(*this);
}

int32_t __MAnySine::Generate(int16_t* buffer, int32_t base, int32_t bits, double phase) {
    if (!prepared_ || buffer == nullptr)
        return 0;
    SetAllowedRange(bits);

    const bool single = singlePlay_ != 0;
    const double amplitude = span_ / 2.0;
    const int32_t signalPoints = points_ - leading_;
    // In single play the period is perPeriod_ whole points (see sine.h); otherwise
    // the buffer after the leading points holds `periods_` whole periods.
    const int32_t periodPoints = single ? static_cast<int32_t>(perPeriod_) : signalPoints;
    const double step =
        single ? TwoPi / perPeriod_ : periods_ * TwoPi / static_cast<double>(signalPoints);
    if (perPeriod_ <= 10)
        phase += std::numbers::pi / 2; // short periods start at the crest

    double scale = amplitude;
    double offset = 0;
    if (field1_ == PolarityPositive) {
        scale = amplitude / 2;
        offset = amplitude / 2;
    } else if (field1_ == PolarityNegative) {
        scale = amplitude / 2;
        offset = -amplitude / 2;
    }

    const int32_t first = Code(base, scale * std::sin(phase) + offset);
    StartWritten(first, first);
    // Leading points, the two lead points of a single play and the first point of
    // the period part all hold the first code.
    const int64_t lead = int64_t{std::max(leading_, 0)} + (single ? 2 : 0);
    codes::Fill(buffer, lead, static_cast<int16_t>(first));
    int16_t* out = buffer + lead;
    if (leading_ >= points_)
        return 1;

    *out = static_cast<int16_t>(first);
    double s = std::sin(phase + step);
    double k = std::cos(phase + step);
    const double cs = std::cos(step);
    const double ss = std::sin(step);
    // One chain of rotations over the whole buffer: every S and K is the product of
    // the ones before, so no step can be skipped or reordered without changing
    // codes. The loop keeps the chain alone on its critical path.
    if (std::isfinite(s) && std::isfinite(k) && std::isfinite(scale) && std::isfinite(offset)) {
        const codes::LevelCoder coder(base, lowestAllowed_, highestAllowed_);
        codes::Extremes extremes{first, first};
        for (int32_t i = 1; i < periodPoints; ++i) {
            const int32_t code = coder(scale * s + offset);
            out[i] = static_cast<int16_t>(code);
            extremes.Add(code);
            const double nextS = s * cs + k * ss;
            const double nextK = k * cs - s * ss;
            s = nextS;
            k = nextK;
            if (Stopped()) {
                StartWritten(extremes.lowest, extremes.highest);
                return -1;
            }
        }
        StartWritten(extremes.lowest, extremes.highest);
    } else {
        // A phase that is not a finite number makes every level NaN, which counts
        // as 0.
        for (int32_t i = 1; i < periodPoints; ++i) {
            Put(out + i, Code(base, scale * s + offset));
            const double nextS = s * cs + k * ss;
            const double nextK = k * cs - s * ss;
            s = nextS;
            k = nextK;
            if (Stopped())
                return -1;
        }
    }
    if (single) {
        // The pad after the period holds the start level, where the period ends.
        for (int16_t* pad = out + periodPoints; pad < buffer + points_; ++pad)
            Put(pad, first);
    }
    return 1;
}
