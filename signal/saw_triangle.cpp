#include "signal/saw_triangle.h"

#include "signal/waveform_math.h"

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
    StartWrittenFromRange();

    int16_t* out = buffer;
    for (int32_t i = 0; i < leading_; ++i)
        Put(out++, top);
    if (single) {
        Put(out++, bottom);
        Put(out++, bottom);
    }
    int16_t* const end = buffer + points_;
    const int64_t part = single ? static_cast<int64_t>(perPeriod_) : end - out;
    const int64_t periods = single || periods_ < 1 ? 1 : periods_;
    for (int64_t j = 0; j < periods; ++j) {
        const int64_t start = wavemath::PeriodStart(j, part, periods);
        const int64_t length = wavemath::PeriodStart(j + 1, part, periods) - start;
        const double step = length > 1 ? ramp.height / static_cast<double>(length - 1) : 0;
        const int64_t shift = wavemath::PhaseShift(phase, length);
        double v = falling ? ramp.height : 0;
        for (int64_t i = 0; i < length; ++i) {
            Put(out + start + (i + shift) % length, Code(base, ramp.bottom + v));
            v += falling ? -step : step;
            if (Stopped())
                return -1;
        }
    }
    // The pad point of a single play rests at the bottom.
    for (out += part; out < end; ++out)
        Put(out, bottom);
    return 1;
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
    StartWrittenFromRange();

    int16_t* out = buffer;
    for (int32_t i = 0; i < leading_; ++i)
        Put(out++, bottom);
    if (single) {
        Put(out++, bottom);
        Put(out++, bottom);
    }
    int16_t* const end = buffer + points_;
    const int64_t part = single ? static_cast<int64_t>(perPeriod_) : end - out;
    const int64_t periods = single || periods_ < 1 ? 1 : periods_;
    for (int64_t j = 0; j < periods; ++j) {
        const int64_t start = wavemath::PeriodStart(j, part, periods);
        const int64_t length = wavemath::PeriodStart(j + 1, part, periods) - start;
        const bool evenLength = length % 2 == 0;
        // An even period runs 0, s, ..., H (at length / 2), ..., s; an odd one
        // 0, s, ..., H, H, ..., s.
        double s = 0;
        if (evenLength)
            s = ramp.height / (static_cast<double>(length) / 2);
        else if (length > 1)
            s = ramp.height / (static_cast<double>(length - 1) / 2);
        const int64_t crest = (length - 1) / 2; // odd: the crest is written twice
        const int64_t turn = (length + 1) / 2;
        double v = 0;
        for (int64_t i = 0; i < length; ++i) {
            Put(out + start + i, Code(base, ramp.bottom + v));
            if (evenLength) {
                v += s;
                if (i == length / 2) {
                    v -= 2 * s;
                    s = -s;
                }
            } else if (i == crest) {
                // the level stays
            } else if (i == turn) {
                v = v + s - 2 * s;
                s = -s;
            } else {
                v += s;
            }
            if (Stopped())
                return -1;
        }
    }
    for (out += part; out < end; ++out)
        Put(out, bottom);
    return 1;
}

std::unique_ptr<__MSignal> __MTriangle2::Clone() const {
    return std::make_unique<__MTriangle2>(*this);
}
