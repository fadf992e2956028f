#pragma once
// The plain generation loops of every waveform kind, one sample at a time, as the
// library wrote them before its loops were made fast. The equivalence tests run
// the library's Generate and these on the same plan and compare every code and
// the lowest and highest code written. The plan comes from the prepared waveform
// object, the kind fields from the request it was prepared with.

#include "signal/constant_level.h"
#include "signal/meander_pulse.h"
#include "signal/msignal.h"
#include "signal/noise.h"
#include "signal/noise_random.h"
#include "signal/sample_block.h"
#include "signal/waveform_math.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

namespace plain {

struct Output {
    std::vector<int16_t> codes; // the points of the plan (two more in single play room)
    int32_t lowest = 0;         // lowest and highest written
    int32_t highest = 0;
    // The sine's level (before rounding, without the base) of each point its
    // rotation chain wrote; NaN elsewhere. Empty for the other kinds.
    std::vector<double> levels;
};

// The per-sample rules of __MSignal: range, rounding and clamping, and the written
// extremes.
class Writer {
public:
    Writer(int32_t bits, size_t points) : codes_(points + 2, 0) {
        bits = std::clamp(bits, 1, 16);
        lowestAllowed_ = __MSignal::LowestCode(bits);
        highestAllowed_ = __MSignal::HighestCode(bits);
    }
    void PolarityRange(int32_t polarity) {
        if (polarity == PolarityPositive) {
            lowestAllowed_ = 0;
        } else if (polarity == PolarityNegative) {
            lowestAllowed_ += 1;
            highestAllowed_ = 0;
        }
    }
    int32_t Clamp(double code) const {
        if (std::isnan(code))
            code = 0;
        if (code > highestAllowed_)
            return highestAllowed_;
        if (code < lowestAllowed_)
            return lowestAllowed_;
        return static_cast<int32_t>(code);
    }
    int32_t Code(int32_t base, double level) const {
        if (std::isnan(level))
            level = 0;
        return Clamp(static_cast<double>(base) + __MSignal::RoundLevel(level));
    }
    void StartWritten(int32_t lowest, int32_t highest) {
        lowest_ = lowest;
        highest_ = highest;
    }
    void StartWrittenFromRange() { StartWritten(highestAllowed_, lowestAllowed_); }
    void Put(int64_t at, int32_t code) {
        codes_.at(static_cast<size_t>(at)) = static_cast<int16_t>(code);
        lowest_ = std::min(lowest_, code);
        highest_ = std::max(highest_, code);
    }
    void TwoLevels(int32_t span, int32_t base, int32_t polarity, int32_t& first,
                   int32_t& second) const {
        const double a = static_cast<double>(span >> 1);
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
    Output Finish(size_t points) {
        codes_.resize(points);
        return {codes_, lowest_, highest_, {}};
    }

private:
    std::vector<int16_t> codes_;
    int32_t lowestAllowed_ = 0;
    int32_t highestAllowed_ = 0;
    int32_t lowest_ = 0;
    int32_t highest_ = 0;
};

struct RampLevels {
    double bottom = 0;
    double height = 0;
};

inline RampLevels LevelsOf(int32_t span, int32_t polarity) {
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

inline Output Sine(const __MSignal& wave, int32_t polarity, int32_t base, int32_t bits,
                   double phase) {
    const auto points = static_cast<size_t>(wave.Points());
    Writer w(bits, points);
    const int32_t leading = wave.LeadingPoints();
    const bool single = wave.SinglePlay();
    const double perPeriod = wave.PointsPerPeriod();
    const double amplitude = wave.Span() / 2.0;
    const int32_t signalPoints = wave.Points() - leading;
    const int32_t periodPoints = single ? static_cast<int32_t>(perPeriod) : signalPoints;
    const double twoPi = 2 * std::numbers::pi;
    const double step =
        single ? twoPi / perPeriod : wave.Periods() * twoPi / static_cast<double>(signalPoints);
    if (perPeriod <= 10)
        phase += std::numbers::pi / 2;
    double scale = amplitude;
    double offset = 0;
    if (polarity == PolarityPositive) {
        scale = amplitude / 2;
        offset = amplitude / 2;
    } else if (polarity == PolarityNegative) {
        scale = amplitude / 2;
        offset = -amplitude / 2;
    }
    const int32_t first = w.Code(base, scale * std::sin(phase) + offset);
    w.StartWritten(first, first);
    int64_t out = 0;
    for (int32_t i = 0; i < leading; ++i)
        w.Put(out++, first);
    if (single) {
        w.Put(out++, first);
        w.Put(out++, first);
    }
    if (leading >= wave.Points())
        return w.Finish(points);
    w.Put(out, first);
    double s = std::sin(phase + step);
    double k = std::cos(phase + step);
    const double cs = std::cos(step);
    const double ss = std::sin(step);
    std::vector<double> levels(points, std::numeric_limits<double>::quiet_NaN());
    for (int32_t i = 1; i < periodPoints; ++i) {
        levels[static_cast<size_t>(out + i)] = scale * s + offset;
        w.Put(out + i, w.Code(base, scale * s + offset));
        const double nextS = s * cs + k * ss;
        const double nextK = k * cs - s * ss;
        s = nextS;
        k = nextK;
    }
    if (single) {
        for (int64_t pad = out + periodPoints; pad < wave.Points(); ++pad)
            w.Put(pad, first);
    }
    Output output = w.Finish(points);
    output.levels = std::move(levels);
    return output;
}

inline Output Saw(const __MSignal& wave, bool falling, int32_t polarity, int32_t base, int32_t bits,
                  double phase) {
    const auto points = static_cast<size_t>(wave.Points());
    Writer w(bits, points);
    const RampLevels ramp = LevelsOf(wave.Span(), polarity);
    const int32_t bottom = w.Code(base, ramp.bottom);
    const int32_t top = w.Code(base, ramp.bottom + ramp.height);
    const bool single = wave.SinglePlay();
    w.StartWrittenFromRange();
    int64_t out = 0;
    for (int32_t i = 0; i < wave.LeadingPoints(); ++i)
        w.Put(out++, top);
    if (single) {
        w.Put(out++, bottom);
        w.Put(out++, bottom);
    }
    const int64_t end = wave.Points();
    const int64_t part = single ? static_cast<int64_t>(wave.PointsPerPeriod()) : end - out;
    const int64_t periods = single || wave.Periods() < 1 ? 1 : wave.Periods();
    for (int64_t j = 0; j < periods; ++j) {
        const int64_t start = wavemath::PeriodStart(j, part, periods);
        const int64_t length = wavemath::PeriodStart(j + 1, part, periods) - start;
        const double step = length > 1 ? ramp.height / static_cast<double>(length - 1) : 0;
        const int64_t shift = wavemath::PhaseShift(phase, length);
        double v = falling ? ramp.height : 0;
        for (int64_t i = 0; i < length; ++i) {
            w.Put(out + start + (i + shift) % length, w.Code(base, ramp.bottom + v));
            v += falling ? -step : step;
        }
    }
    for (out += part; out < end; ++out)
        w.Put(out, bottom);
    return w.Finish(points);
}

inline Output Triangle(const __MSignal& wave, int32_t polarity, int32_t base, int32_t bits) {
    const auto points = static_cast<size_t>(wave.Points());
    Writer w(bits, points);
    const RampLevels ramp = LevelsOf(wave.Span(), polarity);
    const int32_t bottom = w.Code(base, ramp.bottom);
    const bool single = wave.SinglePlay();
    w.StartWrittenFromRange();
    int64_t out = 0;
    for (int32_t i = 0; i < wave.LeadingPoints(); ++i)
        w.Put(out++, bottom);
    if (single) {
        w.Put(out++, bottom);
        w.Put(out++, bottom);
    }
    const int64_t end = wave.Points();
    const int64_t part = single ? static_cast<int64_t>(wave.PointsPerPeriod()) : end - out;
    const int64_t periods = single || wave.Periods() < 1 ? 1 : wave.Periods();
    for (int64_t j = 0; j < periods; ++j) {
        const int64_t start = wavemath::PeriodStart(j, part, periods);
        const int64_t length = wavemath::PeriodStart(j + 1, part, periods) - start;
        const bool evenLength = length % 2 == 0;
        double s = 0;
        if (evenLength)
            s = ramp.height / (static_cast<double>(length) / 2);
        else if (length > 1)
            s = ramp.height / (static_cast<double>(length - 1) / 2);
        const int64_t crest = (length - 1) / 2;
        const int64_t turn = (length + 1) / 2;
        double v = 0;
        for (int64_t i = 0; i < length; ++i) {
            w.Put(out + start + i, w.Code(base, ramp.bottom + v));
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
        }
    }
    for (out += part; out < end; ++out)
        w.Put(out, bottom);
    return w.Finish(points);
}

// Meander (width < 0: half of each period) and pulse (width >= 0).
inline Output TwoLevel(const __MSignal& wave, bool pulse, int32_t width, int32_t polarity,
                       int32_t base, int32_t bits, double phase) {
    const auto points = static_cast<size_t>(wave.Points());
    Writer w(bits, points);
    int32_t low = 0;
    int32_t high = 0;
    w.TwoLevels(wave.Span(), base, polarity, low, high);
    const bool single = wave.SinglePlay();
    w.StartWrittenFromRange();
    int64_t out = 0;
    for (int32_t i = 0; i < wave.LeadingPoints(); ++i)
        w.Put(out++, low);
    if (single) {
        w.Put(out++, low);
        w.Put(out++, low);
    }
    const int64_t end = wave.Points();
    const int64_t part = single ? static_cast<int64_t>(wave.PointsPerPeriod()) : end - out;
    const int64_t periods = single || wave.Periods() < 1 ? 1 : wave.Periods();
    for (int64_t j = 0; j < periods; ++j) {
        const int64_t start = wavemath::PeriodStart(j, part, periods);
        const int64_t length = wavemath::PeriodStart(j + 1, part, periods) - start;
        if (length < 1)
            continue;
        int64_t shift = wavemath::PhaseShift(phase, length);
        if (pulse && shift == 1)
            shift = 2 % length;
        const int64_t highPoints =
            pulse ? std::min<int64_t>(std::max(width, 0), length) : length / 2;
        for (int64_t i = 0; i < length; ++i)
            w.Put(out + start + (i + shift) % length, i < highPoints ? high : low);
    }
    for (out += part; out < end; ++out)
        w.Put(out, low);
    return w.Finish(points);
}

inline Output Constant(const __MSignal& wave, int32_t polarity, int32_t base, int32_t bits) {
    const auto points = static_cast<size_t>(wave.Points());
    Writer w(bits, points);
    int32_t first = 0;
    int32_t level = 0;
    w.TwoLevels(wave.Span(), base, polarity, first, level);
    w.StartWrittenFromRange();
    for (int32_t i = 0; i < wave.Points(); ++i)
        w.Put(i, level);
    return w.Finish(points);
}

inline Output SampleBlock(const __MBuffer& wave, const int16_t* data, int32_t polarity,
                          int32_t base, int32_t bits) {
    const auto points = static_cast<size_t>(wave.Points());
    Writer w(bits, points);
    w.PolarityRange(polarity);
    w.StartWrittenFromRange();
    int64_t out = 0;
    for (int32_t i = 0; i < wave.LeadingPoints(); ++i)
        w.Put(out++, 0);
    const int64_t part = wave.Points() - wave.LeadingPoints();
    int64_t i = 0;
    int32_t previous = 0;
    for (; i < wave.UsedSamples() && i < part; ++i) {
        previous = w.Clamp(static_cast<double>(base) + data[i]);
        w.Put(out + i, previous);
    }
    for (; i < part; ++i)
        w.Put(out + i, previous);
    return w.Finish(points);
}

inline Output SequenceNoise(const __MSignal& wave, int32_t polarity, int32_t base, int32_t bits) {
    const auto points = static_cast<size_t>(wave.Points());
    Writer w(bits, points);
    w.PolarityRange(polarity);
    w.StartWrittenFromRange();
    const int64_t a = wave.Span() / 2;
    const auto b = static_cast<double>(base);
    const int32_t below = w.Clamp(b - static_cast<double>(a));
    const int32_t above = w.Clamp(b + static_cast<double>(a));
    uint32_t reg = __MNoise::SequenceStart;
    for (int32_t i = 0; i < wave.Points(); ++i) {
        reg = (reg << 1) | (((reg >> 30) ^ (reg >> 27)) & 1u);
        w.Put(i, (reg & 0x80000000u) != 0 ? below : above);
    }
    return w.Finish(points);
}

// The uniform and Gaussian noise loops over `count` points, from a generator and
// selector the caller seeded; the range is [lowest, highest].
inline std::vector<int16_t> UniformNoise(NoiseRandom& random, int64_t count, int32_t base,
                                         int64_t a, int32_t lowest, int32_t highest) {
    std::vector<int16_t> codes;
    const auto b = static_cast<double>(base);
    const int64_t range = 2 * a;
    const bool wide = range > NoiseRandom::Max + 1;
    for (int64_t i = 0; i < count; ++i) {
        int64_t r = random.Next();
        if (wide)
            r = r * (NoiseRandom::Max + 1) + random.Next();
        const double code =
            std::clamp<double>(b + static_cast<double>(r % range - a), lowest, highest);
        codes.push_back(static_cast<int16_t>(code));
    }
    return codes;
}

inline std::vector<int16_t> GaussianNoise(NoiseRandom& random, uint8_t& selector, int64_t count,
                                          int32_t base, double amplitude, int32_t lowest,
                                          int32_t highest) {
    std::vector<int16_t> codes;
    const auto b = static_cast<double>(base);
    for (int64_t i = 0; i < count; ++i) {
        int32_t r1 = random.Next();
        while (r1 == 0)
            r1 = random.Next();
        const int32_t r2 = random.Next();
        const double u1 = r1 / static_cast<double>(NoiseRandom::Max);
        const double u2 = r2 / static_cast<double>(NoiseRandom::Max);
        const double turn = wavemath::TwoPi * u2;
        const double g =
            std::sqrt(-2 * std::log(u1)) * (selector ? std::sin(turn) : std::cos(turn));
        selector ^= 1u;
        const double code = std::clamp<double>(b + std::trunc(amplitude * g), lowest, highest);
        codes.push_back(static_cast<int16_t>(code));
    }
    return codes;
}

} // namespace plain
