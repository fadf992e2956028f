#include "signal/saw_triangle.h"

#include "signal/accumulation.h"
#include "signal/code_kernels.h"
#include "signal/period_layout.h"
#include "signal/waveform_math.h"

#include <algorithm>

#include <cmath>
#include <limits>

namespace {

struct RampLevels {
    double bottom = 0; // B, relative to the base code
    double height = 0; // H
};

RampLevels LevelsOf(int32_t span, int32_t polarity) {
    const double a = static_cast<double>(span) / 2;
    switch (polarity) {
    case PolarityPositive:
        return {0, a};
    case PolarityNegative:
        return {-a, a};
    case PolarityBipolar:
        return {-a, 2 * a};
    default:
        return {0, 2 * a};
    }
}

// The levels of one triangle period of `length` points, added up point by point:
// an even period runs 0, s, ..., H (at length / 2), ..., s with s = H / (length /
// 2); an odd one 0, s, ..., H, H, ..., s with s = H / ((length - 1) / 2). At the
// turn the level takes one step on and two back (v + s - 2s), as the sums always
// did.
std::vector<Progression> TriangleRuns(int64_t length, double height) {
    std::vector<Progression> runs;
    if (length < 1)
        return runs;
    if (length % 2 == 0) {
        const int64_t half = length / 2;
        const double s = height / (static_cast<double>(length) / 2);
        // Values 0 .. half rise; the turn follows the crest at index half.
        const double beyond = AppendAccumulation(runs, 0, 0.0, s, half + 1);
        AppendAccumulation(runs, half + 1, beyond - 2 * s, -s, length - half - 1);
        return runs;
    }
    const int64_t crest = (length - 1) / 2;
    const double s = length > 1 ? height / (static_cast<double>(length - 1) / 2) : 0;
    AppendAccumulation(runs, 0, 0.0, s, crest + 1);
    if (length > crest + 1) {
        // The crest is written twice; the turn is the second of them.
        const double top = runs.back().Last();
        runs.push_back({crest + 1, 1, top, 0});
        AppendAccumulation(runs, crest + 2, (top + s) - 2 * s, -s, length - crest - 2);
    }
    return runs;
}

} // namespace

// ---------------------------------------------------------------- saw

int32_t __MSaw2::Prepare(UndulaRequest* request, float minClock, float maxClock,
                         const double* clocks, int32_t clockCount, int32_t capacity,
                         uint8_t evenFlag, int32_t* pointCount, uint8_t singlePlay) {
    prepared_ = 0;
    if (request == nullptr)
        return 0;
    const bool single = singlePlay != 0;
    const bool even = evenFlag != 0;
    double inUse = 0;
    double delay = 0;
    const int32_t result = ApplyFrequencyLimits(*request, minClock, maxClock, clocks, clockCount,
                                                capacity, inUse, delay);
    if (result < 0)
        return -1;
    singlePlay_ = single ? 1 : 0;
    leading_ = 0;
    field1_ = request->sawDirection;
    field2_ = request->polarity;

    if (mode_ == ModeSynthesiser) {
        if (!SynthesiserSearch(inUse, single))
            return -2;
    } else if (!(ChooseFromTable(clocks, clockCount, inUse, even, single) && points_ >= 2)) {
        const int32_t planned = SinglePeriodPlan(clocks, clockCount, inUse, even, single);
        if (planned < 0)
            return planned;
    }
    return single ? FinishSinglePlay(request, delay, pointCount, result)
                  : FinishPlan(request, delay, pointCount, false, result);
}

int32_t __MSaw2::Generate(int16_t* buffer, int32_t base, int32_t bits, double phase) {
    if (!prepared_ || buffer == nullptr)
        return 0;
    SetAllowedRange(bits);
    const RampLevels ramp = LevelsOf(span_, field2_);
    const int32_t bottom = Code(base, ramp.bottom);
    const int32_t top = Code(base, ramp.bottom + ramp.height);
    const bool falling = field1_ != 0;
    const bool single = singlePlay_ != 0;
    codes::Extremes extremes{highestAllowed_, lowestAllowed_};
    int16_t* out = buffer;
    codes::FillNoted(out, leading_, top, extremes);
    out += std::max(leading_, 0);
    if (single) {
        codes::FillNoted(out, 2, bottom, extremes);
        out += 2;
    }
    int16_t* const end = buffer + points_;
    const int64_t part = single ? static_cast<int64_t>(perPeriod_) : end - out;
    const int64_t periods = single || periods_ < 1 ? 1 : periods_;
    const codes::LevelCoder coder(base, lowestAllowed_, highestAllowed_);
    auto stopped = [this] { return Stopped(); };
    // Each period rises (or falls) from its start level by H / (length - 1) per
    // point, added up point by point: the runs reproduce those sums exactly.
    const bool laid = layout::LayPeriods(
        part, periods, out,
        [&](int64_t length, int16_t* period) {
            const double step = length > 1 ? ramp.height / static_cast<double>(length - 1) : 0;
            std::vector<Progression> runs;
            AppendAccumulation(runs, 0, falling ? ramp.height : 0, falling ? -step : step, length);
            return layout::WriteRuns(runs, length, wavemath::PhaseShift(phase, length), coder,
                                     ramp.bottom, period, extremes, stopped);
        },
        stopped);
    if (laid) {
        // The pad point of a single play rests at the bottom.
        out += part;
        codes::FillNoted(out, end - out, bottom, extremes);
    }
    StartWritten(extremes.lowest, extremes.highest);
    return laid ? 1 : -1;
}

std::unique_ptr<__MSignal> __MSaw2::Clone() const {
    return std::make_unique<__MSaw2>(*this);
}

// ---------------------------------------------------------------- triangle

int32_t __MTriangle2::Prepare(UndulaRequest* request, float minClock, float maxClock,
                              const double* clocks, int32_t clockCount, int32_t capacity,
                              uint8_t evenFlag, int32_t* pointCount, uint8_t singlePlay) {
    prepared_ = 0;
    if (request == nullptr)
        return 0;
    const bool single = singlePlay != 0;
    const bool even = evenFlag != 0;
    double inUse = 0;
    double delay = 0;
    const int32_t result = ApplyFrequencyLimits(*request, minClock, maxClock, clocks, clockCount,
                                                capacity, inUse, delay);
    if (result < 0)
        return -1;
    singlePlay_ = single ? 1 : 0;
    leading_ = 0;
    field1_ = request->polarity;

    if (mode_ == ModeSynthesiser) {
        if (!TriangleSearch(inUse, single))
            return -2;
    } else if (!(ChooseFromTable(clocks, clockCount, inUse, even, single) && points_ >= 2)) {
        const int32_t planned = SinglePeriodPlan(clocks, clockCount, inUse, even, single);
        if (planned < 0)
            return planned;
    }
    return single ? FinishSinglePlay(request, delay, pointCount, result)
                  : FinishPlan(request, delay, pointCount, false, result);
}

bool __MTriangle2::TriangleSearch(double inUse, bool singlePlay) {
    const int64_t usable = singlePlay ? int64_t{capacity_} - 2 : capacity_;
    double bestError = std::numeric_limits<double>::max();
    bool found = false;
    double bestClock = 0;
    int64_t bestN = 0;

    for (int k = SynthMaxShift; k >= 0; --k) {
        const double d = static_cast<double>(1 << k);
        for (int j = 0; j < SynthSteps; ++j) {
            const double s = SynthLow + j * SynthStep;
            // The last of equal candidates stays.
            auto consider = [&](int64_t n) {
                if (n <= 9 || n > usable)
                    return;
                const double error = std::fabs(s / (d * static_cast<double>(n)) - inUse);
                if (error <= bestError) {
                    bestError = error;
                    found = true;
                    bestClock = s / d;
                    bestN = n;
                }
            };
            double p = s / (d * inUse);
            if (p > static_cast<double>(usable))
                p = static_cast<double>(usable);
            if (p <= 9)
                p = 10;
            for (const double whole : {std::floor(p), std::ceil(p)}) {
                const auto n = static_cast<int64_t>(whole);
                if (n % 2 == 0) {
                    consider(n);
                } else {
                    consider(n + 1);
                    consider(n - 1);
                }
            }
        }
    }
    if (!found)
        return false;
    clock_ = bestClock;
    perPeriod_ = static_cast<double>(bestN);
    periods_ = 1;
    points_ = static_cast<int32_t>(bestN);
    return true;
}

int32_t __MTriangle2::Generate(int16_t* buffer, int32_t base, int32_t bits, double /*phase*/) {
    if (!prepared_ || buffer == nullptr)
        return 0;
    SetAllowedRange(bits);
    const RampLevels ramp = LevelsOf(span_, field1_);
    const int32_t bottom = Code(base, ramp.bottom);
    const bool single = singlePlay_ != 0;
    codes::Extremes extremes{highestAllowed_, lowestAllowed_};
    int16_t* out = buffer;
    codes::FillNoted(out, leading_, bottom, extremes);
    out += std::max(leading_, 0);
    if (single) {
        codes::FillNoted(out, 2, bottom, extremes);
        out += 2;
    }
    int16_t* const end = buffer + points_;
    const int64_t part = single ? static_cast<int64_t>(perPeriod_) : end - out;
    const int64_t periods = single || periods_ < 1 ? 1 : periods_;
    const codes::LevelCoder coder(base, lowestAllowed_, highestAllowed_);
    auto stopped = [this] { return Stopped(); };
    const bool laid = layout::LayPeriods(
        part, periods, out,
        [&](int64_t length, int16_t* period) {
            return layout::WriteRuns(TriangleRuns(length, ramp.height), length, 0, coder,
                                     ramp.bottom, period, extremes, stopped);
        },
        stopped);
    if (laid) {
        out += part;
        codes::FillNoted(out, end - out, bottom, extremes);
    }
    StartWritten(extremes.lowest, extremes.highest);
    return laid ? 1 : -1;
}

std::unique_ptr<__MSignal> __MTriangle2::Clone() const {
    return std::make_unique<__MTriangle2>(*this);
}
