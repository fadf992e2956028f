#include "signal/msignal.h"

#include "signal/waveform_math.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

__MSignal::__MSignal(const __MSignal& other)
    : clock_(other.clock_), requested_(other.requested_), realised_(other.realised_),
      capacity_(other.capacity_), points_(other.points_), span_(other.span_),
      prepared_(other.prepared_), leading_(other.leading_), tableFrequency_(other.tableFrequency_),
      tablePerPeriod_(other.tablePerPeriod_), tablePeriods_(other.tablePeriods_),
      lowestAllowed_(other.lowestAllowed_), highestAllowed_(other.highestAllowed_),
      lowestWritten_(other.lowestWritten_), highestWritten_(other.highestWritten_),
      periods_(other.periods_), reserved_(other.reserved_), mode_(other.mode_),
      perPeriod_(other.perPeriod_), pulseOption_(other.pulseOption_), stop_(other.stop_.load()),
      field1_(other.field1_), field2_(other.field2_), singlePlay_(other.singlePlay_) {}

__MSignal::~__MSignal() = default;

int32_t __MSignal::LowestCode(int32_t bits) {
    return -static_cast<int32_t>(1u << (bits - 1));
}

int32_t __MSignal::HighestCode(int32_t bits) {
    return static_cast<int32_t>((1u << (bits - 1)) - 1);
}

double __MSignal::RoundLevel(double level) {
    return std::trunc(level >= 0 ? level + 0.5 : level - 0.5);
}

double __MSignal::LookupClock(const double* clocks, int32_t clockCount, double rate) {
    for (int32_t i = clockCount - 1; i >= 0; --i) {
        if (clocks[i] >= rate)
            return clocks[i];
    }
    return clocks[0];
}

void __MSignal::SetAllowedRange(int32_t bits) {
    // Codes are signed 16-bit: more than 16 bits cannot be stored, fewer than 1 is
    // no range at all.
    if (bits < 1)
        bits = 1;
    if (bits > 16)
        bits = 16;
    lowestAllowed_ = LowestCode(bits);
    highestAllowed_ = HighestCode(bits);
}

int32_t __MSignal::Clamp(double code) const {
    if (std::isnan(code))
        code = 0;
    if (code > highestAllowed_)
        return highestAllowed_;
    if (code < lowestAllowed_)
        return lowestAllowed_;
    return static_cast<int32_t>(code);
}

int32_t __MSignal::Code(int32_t base, double level) const {
    if (std::isnan(level))
        level = 0;
    return Clamp(static_cast<double>(base) + RoundLevel(level));
}

int32_t __MSignal::ApplyFrequencyLimits(const UndulaRequest& request, float minClock,
                                        float maxClock, const double* clocks, int32_t clockCount,
                                        int32_t capacity, double& inUse, double& delay) {
    // A plan lasts until the next Prepare begins, whether or not that one succeeds.
    prepared_ = 0;
    const double f = request.frequency;
    if (!(f > 0) || !(minClock > 0) || !(maxClock > 0) || request.amplitude < 1 ||
        clocks == nullptr || clockCount < 1 || capacity < 1)
        return -1;
    reserved_ = 0;
    delay = request.delay > 0 ? request.delay : 0;
    requested_ = f;
    capacity_ = capacity;
    span_ = static_cast<int32_t>(2LL * request.amplitude > std::numeric_limits<int32_t>::max()
                                     ? std::numeric_limits<int32_t>::max()
                                     : 2LL * request.amplitude);
    const double highest = static_cast<double>(maxClock) / 2;
    const double lowest = static_cast<double>(minClock) / capacity;
    if (f > highest) {
        inUse = highest;
        return 2;
    }
    if (f < lowest) {
        inUse = lowest;
        return 2;
    }
    inUse = f;
    return 1;
}

bool __MSignal::ChooseFromTable(const double* clocks, int32_t clockCount, double inUse, bool even,
                                bool singlePlay) {
    const auto size = static_cast<size_t>(clockCount);
    try {
        if (tableFrequency_.size() < size) {
            tableFrequency_.resize(size);
            tablePerPeriod_.resize(size);
            tablePeriods_.resize(size);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }

    for (int32_t i = 0; i < clockCount; ++i) {
        const double c = clocks[i];
        // Compare in double first: c / F' can exceed every 32-bit count.
        double ratio = c > 0 ? std::trunc(c / inUse) : 0;
        int32_t n = ratio > capacity_ ? 0 : static_cast<int32_t>(ratio);
        int32_t periods = 1;
        if (even && n % 2 != 0) {
            if (!singlePlay && 2LL * n <= capacity_)
                periods = 2;
            else if (n + 1 <= capacity_)
                n = n + 1;
            else
                n = n - 1;
        }
        if (n < 1) {
            tablePerPeriod_[i] = -1;
            tableFrequency_[i] = -1;
        } else {
            tablePerPeriod_[i] = n;
            tableFrequency_[i] = c / n;
        }
        tablePeriods_[i] = periods;
    }

    int32_t chosen = -1;
    if (mode_ == ModeNearestFrequency) {
        for (int32_t i = 0; i < clockCount; ++i) {
            if (tableFrequency_[i] <= 0)
                continue;
            if (chosen < 0) {
                chosen = i;
                continue;
            }
            const double error = std::fabs(inUse - tableFrequency_[i]);
            const double best = std::fabs(inUse - tableFrequency_[chosen]);
            if (error < best || (error == best && tablePerPeriod_[i] > tablePerPeriod_[chosen]))
                chosen = i;
        }
        if (chosen < 0) {
            // No clock gives a point: no plan from the table.
            points_ = -1;
            perPeriod_ = -1;
            periods_ = 1;
            return true;
        }
    } else {
        chosen = (tablePerPeriod_[0] < 1 && clockCount > 1) ? 1 : 0;
        for (int32_t i = chosen + 1; i < clockCount; ++i) {
            if (tablePerPeriod_[i] > 0 && tablePerPeriod_[i] > tablePerPeriod_[chosen])
                chosen = i;
        }
    }

    clock_ = clocks[chosen];
    periods_ = tablePeriods_[chosen];
    perPeriod_ = tablePerPeriod_[chosen];
    points_ = static_cast<int32_t>(std::trunc(perPeriod_ * periods_));
    return true;
}

bool __MSignal::SynthesiserSearch(double inUse, bool singlePlay) {
    const int64_t usable = singlePlay ? int64_t{capacity_} - 2 : capacity_;
    double bestError = std::numeric_limits<double>::max();
    bool found = false;
    double bestClock = 0;
    int64_t bestN = 0;
    int32_t bestPeriods = 1;

    auto consider = [&](double s, double d, int64_t n, int32_t periods) {
        const double error = std::fabs(s / (d * static_cast<double>(n)) - inUse);
        if (error < bestError) {
            bestError = error;
            found = true;
            bestClock = s / d;
            bestN = n;
            bestPeriods = periods;
        }
    };
    auto validSingle = [&](int64_t n) { return n > 2 && n <= usable; };

    for (int k = 0; k <= SynthMaxShift; ++k) {
        const double d = static_cast<double>(1 << k);
        for (int j = 0; j < SynthSteps; ++j) {
            const double s = SynthHigh - j * SynthStep;
            double p = s / (d * inUse);
            if (p > static_cast<double>(usable))
                p = static_cast<double>(usable);
            if (p <= 2)
                p = 3;
            const int64_t candidates[2] = {static_cast<int64_t>(std::floor(p)),
                                           static_cast<int64_t>(std::ceil(p))};
            for (const int64_t n : candidates) {
                if (n % 2 == 0) {
                    if (validSingle(n))
                        consider(s, d, n, 1);
                } else {
                    if (2 * n > 2 && 2 * n <= usable)
                        consider(s, d, n, 2);
                    if (validSingle(n + 1))
                        consider(s, d, n + 1, 1);
                    if (validSingle(n - 1))
                        consider(s, d, n - 1, 1);
                }
            }
        }
    }
    if (!found)
        return false;
    clock_ = bestClock;
    perPeriod_ = static_cast<double>(bestN);
    periods_ = bestPeriods;
    points_ = static_cast<int32_t>(bestN * bestPeriods);
    return true;
}

void __MSignal::PlaceDelay(double delay, bool singlePlay) {
    leading_ = 0;
    if (!singlePlay || !(delay > 0))
        return;
    double lead = std::trunc(clock_ * delay);
    if (lead < 0)
        lead = 0;
    if (lead > capacity_)
        lead = capacity_;
    leading_ = static_cast<int32_t>(lead);
    if (int64_t{leading_} + points_ > capacity_)
        leading_ = capacity_ - points_ > 0 ? capacity_ - points_ : 0;
}

int32_t __MSignal::FinishPlan(UndulaRequest* request, double delay, int32_t* pointCount,
                              bool singlePlay, int32_t result) {
    PlaceDelay(delay, singlePlay);
    points_ += leading_;
    if (pointCount != nullptr)
        *pointCount = points_;
    // The signal part must hold a point: a plan of no points behind a delay would
    // otherwise divide by zero.
    if (points_ < 1 || points_ - leading_ < 1)
        return -2;
    realised_ = periods_ * clock_ / (points_ - leading_);
    request->realisedFrequency = realised_;
    if (result == 2)
        request->frequency = realised_;
    prepared_ = 1;
    return result;
}

int32_t __MSignal::SinglePeriodPlan(const double* clocks, int32_t clockCount, double inUse,
                                    bool even, bool singlePlay) {
    // One point per code step of the peak-to-peak swing.
    clock_ = LookupClock(clocks, clockCount, inUse * span_);
    const double p = clock_ / inUse;
    if (!(p > 0) || !std::isfinite(p))
        return -2;
    double points = std::trunc(p + 0.5);
    int64_t periods = 1;
    // In single play the buffer is made even by a pad point instead.
    if (even && !singlePlay) {
        while (wavemath::IsOdd(points)) {
            ++periods;
            points = std::trunc(static_cast<double>(periods) * p + 0.5);
            if (wavemath::IsOdd(points) && (points > capacity_ || points < 2))
                return -1;
        }
    }
    // The plan must fit into the memory: an even count found by the loop above is
    // not checked by it.
    if (points > capacity_)
        return periods > 1 ? -1 : -2;
    // A period shorter than one point is no plan.
    if (points < 1 || points < static_cast<double>(periods))
        return -2;
    periods_ = static_cast<int32_t>(periods);
    points_ = static_cast<int32_t>(points);
    perPeriod_ = points / static_cast<double>(periods);
    return 0;
}

int32_t __MSignal::FinishSinglePlay(UndulaRequest* request, double delay, int32_t* pointCount,
                                    int32_t result) {
    const int64_t capacity = capacity_;
    int64_t period =
        perPeriod_ >= 1
            ? static_cast<int64_t>(std::trunc(std::min(perPeriod_, static_cast<double>(capacity))))
            : 0;
    // Room for the two lead points.
    if (period > capacity - 2)
        period = capacity - 2;
    periods_ = 1;
    leading_ = 0;
    if (period < 1) {
        points_ = 0;
        if (pointCount != nullptr)
            *pointCount = 0;
        return -2;
    }
    points_ = static_cast<int32_t>(period);
    PlaceDelay(delay, true);
    int64_t lead = std::min<int64_t>(leading_, capacity - 2 - period);
    int64_t total = lead + 2 + period;
    if (total % 2 != 0) {
        if (total + 1 <= capacity) {
            ++total; // pad point at the rest level
        } else if (lead > 0) {
            --lead;
            --total;
        } else if (period > 1) {
            --period;
            --total;
        }
    }
    leading_ = static_cast<int32_t>(lead);
    points_ = static_cast<int32_t>(total);
    perPeriod_ = static_cast<double>(period);
    if (pointCount != nullptr)
        *pointCount = points_;
    realised_ = clock_ / perPeriod_;
    request->realisedFrequency = realised_;
    if (result == 2)
        request->frequency = realised_;
    prepared_ = 1;
    return result;
}

void __MSignal::TwoLevels(int32_t base, int32_t polarity, int32_t& first, int32_t& second) const {
    const double a = static_cast<double>(span_ >> 1);
    const double b = base;
    switch (polarity) {
    case PolarityPositive:
        first = Clamp(b);
        second = Clamp(b + a);
        break;
    case PolarityNegative:
        first = Clamp(b);
        second = Clamp(b - a);
        break;
    case PolarityBipolar:
        first = Clamp(b - a);
        second = Clamp(b + a);
        break;
    default:
        first = Clamp(b);
        second = Clamp(b + 2 * a);
        break;
    }
}

int32_t __MSignal::ApplySampleRatePlan(UndulaRequest& request, float minClock, float maxClock,
                                       const double* clocks, int32_t clockCount, int32_t capacity,
                                       double& delay) {
    prepared_ = 0;
    const double rate = request.sampleRate;
    if (!(rate > 0) || !(minClock > 0) || !(maxClock > 0) || request.amplitude < 1 ||
        clocks == nullptr || clockCount < 1)
        return -1;
    reserved_ = 0;
    delay = request.delay > 0 ? request.delay : 0;
    requested_ = rate;
    capacity_ = capacity;
    span_ = wavemath::SpanOfAmplitude(request.amplitude);
    clock_ = LookupClock(clocks, clockCount, rate);
    request.sampleRate = clock_;
    return clock_ != rate ? 2 : 1;
}

void __MSignal::SetPolarityRange(int32_t bits, int32_t polarity) {
    SetAllowedRange(bits);
    if (polarity == PolarityPositive) {
        lowestAllowed_ = 0;
    } else if (polarity == PolarityNegative) {
        lowestAllowed_ += 1;
        highestAllowed_ = 0;
    }
}
