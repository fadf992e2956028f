#include "signal/meander_pulse.h"

#include "signal/code_kernels.h"
#include "signal/period_layout.h"
#include "signal/waveform_math.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Clock lookup as LookupClock does it, giving the table index.
int32_t LookupIndex(const double* clocks, int32_t clockCount, double rate) {
    for (int32_t i = clockCount - 1; i >= 0; --i) {
        if (clocks[i] >= rate)
            return i;
    }
    return 0;
}

// Lays out the two-level periods after the lead points: `part` points in
// `periods` periods; highCount(length) points of each period, in generation
// order, are high, the rest low; the i-th lands at (i + shift) % length. Returns
// false when stopped.
template <class HighCount, class Stopped>
bool LayTwoLevelPeriods(int64_t part, int64_t periods, double phase, bool pulseShift, int32_t low,
                        int32_t high, HighCount highCount, int16_t* out, codes::Extremes& extremes,
                        Stopped stopped) {
    return layout::LayPeriods(
        part, periods, out,
        [&](int64_t length, int16_t* period) {
            int64_t shift = wavemath::PhaseShift(phase, length);
            if (pulseShift && shift == 1)
                shift = 2 % length;
            const int64_t highPoints = highCount(length);
            return layout::FillShifted(0, highPoints, length, shift, high, period, extremes,
                                       stopped) &&
                   layout::FillShifted(highPoints, length - highPoints, length, shift, low, period,
                                       extremes, stopped);
        },
        stopped);
}

} // namespace

// ---------------------------------------------------------------- meander

int32_t __MMeandr2::Prepare(UndulaRequest* request, float minClock, float maxClock,
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
        if (!MeanderSearch(inUse, single))
            return -2;
    } else if (!(ChooseFromTable(clocks, clockCount, inUse, even, single) && points_ > 1)) {
        const int32_t planned = HalvingPlan(clocks, clockCount, inUse, even);
        if (planned < 0)
            return planned;
    }
    return single ? FinishSinglePlay(request, delay, pointCount, result)
                  : FinishPlan(request, delay, pointCount, false, result);
}

int32_t __MMeandr2::HalvingPlan(const double* clocks, int32_t clockCount, double inUse, bool even) {
    int64_t m = capacity_;
    double points = 0;
    while (true) {
        if (points != 0)
            m /= 2;
        // The wanted clock in single precision (one beyond its range stays as is).
        const double exact = inUse * static_cast<double>(m);
        const double wanted = exact < std::numeric_limits<float>::max()
                                  ? static_cast<double>(static_cast<float>(exact))
                                  : exact;
        clock_ = LookupClock(clocks, clockCount, wanted);
        points = std::trunc(clock_ / inUse + 0.5);
        if (!(points >= 0))
            return -2; // a clock that is not a positive number
        const bool tooMany = points > capacity_;
        const bool oddLeft = even && wavemath::IsOdd(points) && m > 0;
        // At m = 0 the lowest clock was tried: halving cannot change anything more.
        if ((!tooMany && !oddLeft) || m == 0)
            break;
    }
    if (points > capacity_ || points < 1)
        return -2;
    if (even && wavemath::IsOdd(points))
        return -1;
    periods_ = 1;
    points_ = static_cast<int32_t>(points);
    perPeriod_ = points;
    return 0;
}

bool __MMeandr2::MeanderSearch(double inUse, bool singlePlay) {
    const int64_t usable = singlePlay ? int64_t{capacity_} - 2 : capacity_;
    double bestError = std::numeric_limits<double>::max();
    bool found = false;
    double bestClock = 0;
    int64_t bestN = 0;
    for (int k = 0; k <= SynthMaxShift; ++k) {
        const double d = static_cast<double>(1 << k);
        for (int j = 0; j < SynthSteps; ++j) {
            const double s = SynthLow + j * SynthStep;
            double p = s / (d * inUse);
            if (p > static_cast<double>(usable))
                p = static_cast<double>(usable);
            if (p <= 1)
                p = 2;
            for (const double whole : {std::floor(p), std::ceil(p)}) {
                const auto n = static_cast<int64_t>(whole);
                if (n % 2 != 0 || n < 2 || n > usable)
                    continue;
                const double error = std::fabs(s / (d * static_cast<double>(n)) - inUse);
                if (error < bestError) {
                    bestError = error;
                    found = true;
                    bestClock = s / d;
                    bestN = n;
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

int32_t __MMeandr2::Generate(int16_t* buffer, int32_t base, int32_t bits, double phase) {
    if (!prepared_ || buffer == nullptr)
        return 0;
    SetAllowedRange(bits);
    int32_t low = 0;
    int32_t high = 0;
    TwoLevels(base, field1_, low, high);
    const bool single = singlePlay_ != 0;
    codes::Extremes extremes{highestAllowed_, lowestAllowed_};
    int16_t* out = buffer;
    codes::FillNoted(out, leading_, low, extremes);
    out += std::max(leading_, 0);
    if (single) {
        codes::FillNoted(out, 2, low, extremes);
        out += 2;
    }
    int16_t* const end = buffer + points_;
    const int64_t part = single ? static_cast<int64_t>(perPeriod_) : end - out;
    const int64_t periods = single || periods_ < 1 ? 1 : periods_;
    auto stopped = [this] { return Stopped(); };
    const bool done = LayTwoLevelPeriods(
        part, periods, phase, false, low, high, [](int64_t length) { return length / 2; }, out,
        extremes, stopped);
    if (done) {
        out += part;
        codes::FillNoted(out, end - out, low, extremes);
    }
    StartWritten(extremes.lowest, extremes.highest);
    return done ? 1 : -1;
}

std::unique_ptr<__MSignal> __MMeandr2::Clone() const {
    return std::make_unique<__MMeandr2>(*this);
}

// ---------------------------------------------------------------- pulse

int32_t __MRect::Prepare(UndulaRequest* request, float minClock, float maxClock,
                         const double* clocks, int32_t clockCount, int32_t capacity,
                         uint8_t evenFlag, int32_t* pointCount, uint8_t singlePlay) {
    prepared_ = 0;
    if (request == nullptr)
        return 0;
    const bool single = singlePlay != 0;
    const bool even = evenFlag != 0;
    // The pulse takes any amplitude (0 gives a flat line): the limits are checked
    // with a valid one and the span is taken from the request's.
    UndulaRequest checked = *request;
    checked.amplitude = 1;
    double inUse = 0;
    double delay = 0;
    const int32_t result = ApplyFrequencyLimits(checked, minClock, maxClock, clocks, clockCount,
                                                capacity, inUse, delay);
    if (result < 0)
        return -1;
    span_ = wavemath::SpanOfAmplitude(request->amplitude);
    singlePlay_ = single ? 1 : 0;
    leading_ = 0;
    field2_ = request->polarity;
    double duration = std::isnan(request->duration) ? 0 : request->duration;

    points_ = 0;
    bool planned = false;
    if (mode_ != ModeSynthesiser)
        planned = ChooseFromTable(clocks, clockCount, inUse, even, single) && points_ >= 2;
    // In mode 3 a failed plan still leaves the search to try.
    const int32_t fallback = planned ? 0 : ShrinkingPlan(clocks, clockCount, inUse, even);
    if (fallback < 0 && mode_ != ModeSynthesiser)
        return fallback;

    // Width from the duration, against one period of the plan.
    field1_ = 0;
    if (fallback == 0 && duration != 0) {
        const double width = std::trunc(clock_ * duration);
        if (width >= 0 && width <= perPeriod_)
            field1_ = static_cast<int32_t>(width);
    }

    bool searched = false;
    if (mode_ == ModeSynthesiser) {
        // A method that finds nothing leaves the plan above, and the duration it
        // was made for, in force.
        const double requestedDuration = request->duration;
        const int32_t option = single ? 2 : pulseOption_;
        if (option == 0)
            searched = WholeLengthSearch(inUse, single, duration, *request);
        else if (option == 2)
            searched = WidthFirstSearch(inUse, single, duration);
        else
            searched = PeriodSearch(inUse, single, duration, *request);
        if (searched)
            request->duration = field1_ / clock_;
        else
            request->duration = requestedDuration;
    }
    if (fallback < 0 && !searched)
        return fallback;

    // A delay longer than the memory gives no leading points at all.
    if (single && delay > 0 && std::trunc(clock_ * delay) > capacity_)
        delay = 0;
    if (!single)
        return FinishPlan(request, delay, pointCount, false, result);
    const int32_t finished = FinishSinglePlay(request, delay, pointCount, result);
    if (finished < 0)
        return finished;
    if (field1_ > perPeriod_) {
        field1_ = static_cast<int32_t>(perPeriod_);
        if (searched)
            request->duration = field1_ / clock_;
    }
    return finished;
}

int32_t __MRect::ShrinkingPlan(const double* clocks, int32_t clockCount, double inUse, bool even) {
    const int64_t capacity = capacity_;
    const auto room = static_cast<double>(capacity);
    int64_t m = capacity % 2 != 0 ? capacity - 1 : capacity;
    double points = 0;
    int32_t periods = 1;
    bool made = false;
    while (true) {
        const int32_t index = LookupIndex(clocks, clockCount, inUse * static_cast<double>(m));
        const double clock = clocks[index];
        clock_ = clock;
        periods = 1;
        points = std::trunc(clock / inUse);
        if (!(points >= 0))
            points = 0; // a clock that is not a positive number
        if (even && wavemath::IsOdd(points)) {
            if (2 * points <= room) {
                points *= 2;
                periods = 2;
                made = true;
                break;
            }
        } else if (points <= room && points > 1) {
            made = true;
            break;
        }
        if (points < 1 || m < 1)
            break;
        // Every step down to the next m whose wanted clock reaches a lower table
        // clock gives this clock again, and so the same count: skip them.
        double lower = -1;
        for (int32_t i = 0; i < clockCount; ++i) {
            if (clocks[i] < clock && clocks[i] > lower)
                lower = clocks[i];
        }
        if (lower < 0)
            break; // every step left repeats this count down to m = 0
        const double whole = std::floor(lower / inUse);
        int64_t next = whole >= static_cast<double>(m) ? m - 2 : static_cast<int64_t>(whole);
        while (next > 0 && inUse * static_cast<double>(next) > lower)
            --next;
        while (next + 1 < m && inUse * static_cast<double>(next + 1) <= lower)
            ++next;
        if (next % 2 != 0)
            --next; // the walk steps by 2 from an even m
        if (next < 0)
            break;
        m = next;
    }
    if (!made) {
        if (points < 1 || points > room)
            return -2;
        if (even && wavemath::IsOdd(points))
            return -1;
    }
    periods_ = periods;
    points_ = static_cast<int32_t>(points);
    perPeriod_ = points / periods;
    return 0;
}

int32_t __MRect::Generate(int16_t* buffer, int32_t base, int32_t bits, double phase) {
    if (!prepared_ || buffer == nullptr)
        return 0;
    SetAllowedRange(bits);
    int32_t low = 0;
    int32_t high = 0;
    TwoLevels(base, field2_, low, high);
    const bool single = singlePlay_ != 0;
    codes::Extremes extremes{highestAllowed_, lowestAllowed_};
    int16_t* out = buffer;
    codes::FillNoted(out, leading_, low, extremes);
    out += std::max(leading_, 0);
    if (single) {
        codes::FillNoted(out, 2, low, extremes);
        out += 2;
    }
    int16_t* const end = buffer + points_;
    const int64_t part = single ? static_cast<int64_t>(perPeriod_) : end - out;
    const int64_t periods = single || periods_ < 1 ? 1 : periods_;
    auto stopped = [this] { return Stopped(); };
    const int64_t width = std::max<int64_t>(field1_, 0);
    const bool done = LayTwoLevelPeriods(
        part, periods, phase, true, low, high,
        [width](int64_t length) { return std::min(width, length); }, out, extremes, stopped);
    if (done) {
        out += part;
        codes::FillNoted(out, end - out, low, extremes);
    }
    StartWritten(extremes.lowest, extremes.highest);
    return done ? 1 : -1;
}

std::unique_ptr<__MSignal> __MRect::Clone() const {
    return std::make_unique<__MRect>(*this);
}
