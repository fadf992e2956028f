// The pulse's three ways of choosing period, width and synthesiser setting
// together in mode 3 (the board's clock is then s / 2^k).

#include "signal/meander_pulse.h"

#include "signal/waveform_math.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double ShortestPulse = 20e-9; // s
constexpr double LongestPulse = 40.0;   // s

// The synthesiser frequency s / 2^k nearest to `wanted`: s from the highest down
// (outer), k from 0 up (inner); only a strictly smaller distance replaces the best.
double NearestSynthesiserClock(double wanted) {
    double best = SynthHigh;
    double bestDistance = std::numeric_limits<double>::max();
    for (int j = 0; j < SynthSteps; ++j) {
        const double s = SynthHigh - j * SynthStep;
        for (int k = 0; k <= SynthMaxShift; ++k) {
            const double clock = s / static_cast<double>(1 << k);
            const double distance = std::fabs(clock - wanted);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = clock;
            }
        }
    }
    return best;
}

} // namespace

int64_t __MRect::WidthFromPeriod(int64_t n, double inUse, double& duration,
                                 UndulaRequest& request) {
    const double period = 1 / inUse;
    if (!(period - duration > 0)) {
        // No gap left: the pulse keeps one point of the period low.
        duration = static_cast<double>(n - 1) * period / static_cast<double>(n);
        request.duration = duration;
    }
    const double ratio = duration / (period - duration);
    const double real = static_cast<double>(n) / (1 + 1 / ratio);
    if (!(real >= 1))
        return 1;
    const double lower = std::floor(real);
    const double upper = std::ceil(real);
    const double width = real - lower <= upper - real ? lower : upper;
    return std::min(static_cast<int64_t>(width), n);
}

bool __MRect::PeriodSearch(double inUse, bool singlePlay, double& duration,
                           UndulaRequest& request) {
    const int64_t usable = singlePlay ? int64_t{capacity_} - 2 : capacity_;
    double bestError = std::numeric_limits<double>::max();
    bool found = false;
    double bestClock = 0;
    int64_t bestN = 0;
    for (int j = 0; j < SynthSteps; ++j) {
        const double s = SynthHigh - j * SynthStep;
        for (int k = 0; k <= SynthMaxShift; ++k) {
            const double d = static_cast<double>(1 << k);
            auto consider = [&](int64_t n) {
                if (n <= 1 || n > usable)
                    return;
                const double error = std::fabs(s / (d * static_cast<double>(n)) - inUse);
                if (error < bestError) {
                    bestError = error;
                    found = true;
                    bestClock = s / d;
                    bestN = n;
                }
            };
            double p = s / (d * inUse);
            if (p > static_cast<double>(usable))
                p = static_cast<double>(usable);
            if (p <= 1)
                p = 2;
            for (const double whole : {std::floor(p), std::ceil(p)}) {
                const auto n = static_cast<int64_t>(whole);
                if (n % 2 == 0) {
                    consider(n);
                } else {
                    // An odd count is never served as two periods.
                    consider(n + 1);
                    consider(n - 1);
                }
            }
        }
    }
    if (!found)
        return false;
    clock_ = bestClock;
    points_ = static_cast<int32_t>(bestN);
    perPeriod_ = static_cast<double>(bestN);
    periods_ = 1;
    field1_ = static_cast<int32_t>(WidthFromPeriod(bestN, inUse, duration, request));
    return true;
}

bool __MRect::WholeLengthSearch(double inUse, bool singlePlay, double& duration,
                                UndulaRequest& request) {
    const double period = 1 / inUse;
    // A pulse as long as the period or longer leaves no gap to pair it with.
    if (!(period - duration > 0)) {
        duration = 0.99 * period;
        request.duration = duration;
    }
    if (!(duration > 0))
        return false;
    const int64_t usable = singlePlay ? int64_t{capacity_} - 2 : capacity_;
    const double firstGap = std::ceil(period / duration);
    if (!(firstGap <= static_cast<double>(usable)))
        return false;
    const double ratio = duration / (period - duration);

    // Gap lengths a and pulse lengths f = floor(a x ratio) with f + a even and at
    // most `limit`; the pair whose pulse length has the smallest fraction wins,
    // the last (longest) of equal ones staying.
    auto search = [&](double limit, double& total) {
        double bestFraction = std::numeric_limits<double>::infinity();
        bool found = false;
        for (auto a = static_cast<int64_t>(firstGap); a <= usable; ++a) {
            const double x = static_cast<double>(a) * ratio;
            const double f = std::floor(x);
            const double n = f + static_cast<double>(a);
            if (n > limit)
                break; // f + a grows with a
            if (wavemath::IsOdd(n))
                continue;
            if (x - f <= bestFraction) {
                bestFraction = x - f;
                total = n;
                found = true;
            }
        }
        return found;
    };
    // Only totals that the 100 MHz clock can play at F': a longer one would lower
    // the frequency.
    const double playable = std::floor(SynthHigh / inUse);
    double total = 0;
    if (!search(std::min(playable, static_cast<double>(usable)), total))
        return false;

    const double wanted = inUse * total;
    clock_ = wanted > SynthHigh ? SynthHigh : NearestSynthesiserClock(wanted);
    const auto n = static_cast<int64_t>(total);
    points_ = static_cast<int32_t>(n);
    perPeriod_ = total;
    periods_ = 1;
    field1_ = static_cast<int32_t>(WidthFromPeriod(n, inUse, duration, request));
    return true;
}

bool __MRect::WidthFirstSearch(double inUse, bool singlePlay, double duration) {
    duration = std::clamp(duration, ShortestPulse, LongestPulse);
    const int64_t lead = singlePlay ? 2 : 0;
    const int64_t limit = int64_t{capacity_} - lead - 1;
    const auto limitReal = static_cast<double>(limit);
    double bestDistance = std::numeric_limits<double>::max();
    bool found = false;
    double bestClock = 0;
    int64_t width = 0;
    for (int j = 0; j < SynthSteps; ++j) {
        const double s = SynthHigh - j * SynthStep;
        for (int k = 0; k <= SynthMaxShift; ++k) {
            const double d = static_cast<double>(1 << k);
            double w = s * duration / d;
            if (w > limitReal)
                w = limitReal;
            if (w <= 0)
                w = 1;
            for (const double whole : {std::floor(w), std::ceil(w)}) {
                const auto candidate = static_cast<int64_t>(whole);
                if (candidate <= 0 || candidate > limit)
                    continue;
                const double distance = std::fabs(d * whole / s - duration);
                if (distance < bestDistance) {
                    bestDistance = distance;
                    found = true;
                    bestClock = s / d;
                    width = candidate;
                }
            }
        }
    }
    if (!found)
        return false;

    const auto widthReal = static_cast<double>(width);
    double total = widthReal; // in single play the period is the pulse alone
    if (!singlePlay) {
        const double gap = bestClock / inUse - widthReal;
        double up = std::ceil(gap);
        double down = std::floor(gap);
        if (wavemath::IsOdd(widthReal + up))
            up += 1;
        if (wavemath::IsOdd(widthReal + down))
            down -= 1;
        up = std::max(up, 2.0);
        down = std::max(down, 2.0);
        total = widthReal + down;
        if (std::fabs(bestClock / (widthReal + up) - inUse) <
            std::fabs(bestClock / (widthReal + down) - inUse))
            total = widthReal + up;
    }
    if (wavemath::IsOdd(total))
        total = total > limitReal ? total - 1 : total + 1;
    if (!(total <= static_cast<double>(int64_t{capacity_} - lead)))
        return false;
    clock_ = bestClock;
    points_ = static_cast<int32_t>(total);
    perPeriod_ = total;
    periods_ = 1;
    field1_ = static_cast<int32_t>(width);
    return true;
}
