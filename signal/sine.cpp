#include "signal/sine.h"

#include "signal/code_kernels.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr double TwoPi = 2 * std::numbers::pi;

// The rotation recurrence s' = s cs + k ss, k' = k cs - s ss is one long chain: each
// point waits for the one before. Long buffers are computed as Lanes interleaved
// chains instead (lane j takes points j, j + Lanes, ...), each stepping by the
// rotation Lanes times over and restarted every block from the single chain's
// value computed in closed form: the recurrence multiplies by the rotation-scaling
// of the rounded (cs, ss) at every step, so after t steps (s, k) is the start
// turned by t x angle and scaled by radius^t. The roundings of the steps wander far
// less than 1e-6 of a code from that over 16M points at any amplitude up to the
// 16-bit range, so a code differs from the single chain's only where the level
// lies that close to a rounding boundary. Larger amplitudes, bases far outside the
// code range and short buffers keep the single chain.
constexpr int Lanes = 8;
constexpr int64_t Block = 16384;                     // points between restarts
constexpr int64_t SegmentedFrom = Block;             // shorter: one chain
constexpr int64_t TwoThreadsFrom = int64_t{1} << 20; // longer: both halves at once
constexpr double SegmentedScaleLimit = 65536;
constexpr bool PreciseLongDouble = std::numeric_limits<long double>::digits >= 64;

struct Rotation {
    double s0;
    double k0;
    double cs;
    double ss;
    long double angle;
    long double logRadius;
    double laneCs; // the rotation Lanes times over
    double laneSs;

    Rotation(double s, double k, double c, double sn)
        : s0(s), k0(k), cs(c), ss(sn), angle(std::atan2(static_cast<long double>(sn), c)),
          logRadius(
              std::log(std::hypot(static_cast<long double>(c), static_cast<long double>(sn)))) {
        const long double m = std::exp(logRadius * Lanes);
        laneCs = static_cast<double>(m * std::cos(angle * Lanes));
        laneSs = static_cast<double>(m * std::sin(angle * Lanes));
    }

    // (s, k) after t steps.
    void At(int64_t t, double& s, double& k) const {
        const long double steps = static_cast<long double>(t);
        const long double a = angle * steps;
        const long double m = std::exp(logRadius * steps);
        const long double c = std::cos(a);
        const long double sn = std::sin(a);
        s = static_cast<double>(m * (s0 * c + k0 * sn));
        k = static_cast<double>(m * (k0 * c - s0 * sn));
    }
};

struct Levels {
    double scale;
    double offset;
    codes::LevelCoder coder;
};

// Chain points t = from .. from + count - 1 into out[t], one chain from (s, k).
void WriteChain(const Rotation& rotation, const Levels& levels, double s, double k, int16_t* out,
                int64_t from, int64_t count, codes::Extremes& extremes) {
    for (int64_t t = from; t < from + count; ++t) {
        const int32_t code = levels.coder(levels.scale * s + levels.offset);
        out[t] = static_cast<int16_t>(code);
        extremes.Add(code);
        const double nextS = s * rotation.cs + k * rotation.ss;
        const double nextK = k * rotation.cs - s * rotation.ss;
        s = nextS;
        k = nextK;
    }
}

// `groups` x Lanes points from out[0], lane j from (s[j], k[j]).
void WriteLanes(const Rotation& rotation, const Levels& levels, double* s, double* k, int16_t* out,
                int64_t groups, codes::Extremes& extremes) {
    int64_t g = 0;
#if defined(__SSE2__)
    const __m128d cs = _mm_set1_pd(rotation.laneCs);
    const __m128d ss = _mm_set1_pd(rotation.laneSs);
    const __m128d scale = _mm_set1_pd(levels.scale);
    const __m128d offset = _mm_set1_pd(levels.offset);
    const __m128d half = _mm_set1_pd(0.5);
    const __m128d sign = _mm_set1_pd(-0.0);
    const __m128d low = _mm_set1_pd(levels.coder.LowRel());
    const __m128d high = _mm_set1_pd(levels.coder.HighRel());
    const __m128i base = _mm_set1_epi32(levels.coder.Base());
    __m128d vs[Lanes / 2];
    __m128d vk[Lanes / 2];
    for (int j = 0; j < Lanes / 2; ++j) {
        vs[j] = _mm_loadu_pd(s + 2 * j);
        vk[j] = _mm_loadu_pd(k + 2 * j);
    }
    __m128i lowest = _mm_set1_epi16(static_cast<int16_t>(extremes.lowest));
    __m128i highest = _mm_set1_epi16(static_cast<int16_t>(extremes.highest));
    // Rounding half away from zero: the level plus 0.5 with its sign (a level of -0
    // gives -0.5 instead of 0.5, both truncating to 0), clamped, truncated.
    const auto codesOf = [&](__m128d sv) {
        const __m128d level = _mm_add_pd(_mm_mul_pd(scale, sv), offset);
        const __m128d y = _mm_add_pd(level, _mm_or_pd(half, _mm_and_pd(level, sign)));
        return _mm_cvttpd_epi32(_mm_max_pd(_mm_min_pd(y, high), low));
    };
    for (; g < groups; ++g) {
        const __m128i c01 = _mm_unpacklo_epi64(codesOf(vs[0]), codesOf(vs[1]));
        const __m128i c23 = _mm_unpacklo_epi64(codesOf(vs[2]), codesOf(vs[3]));
        const __m128i eight = _mm_packs_epi32(_mm_add_epi32(c01, base), _mm_add_epi32(c23, base));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + g * Lanes), eight);
        lowest = _mm_min_epi16(lowest, eight);
        highest = _mm_max_epi16(highest, eight);
        for (int j = 0; j < Lanes / 2; ++j) {
            const __m128d nextS = _mm_add_pd(_mm_mul_pd(vs[j], cs), _mm_mul_pd(vk[j], ss));
            const __m128d nextK = _mm_sub_pd(_mm_mul_pd(vk[j], cs), _mm_mul_pd(vs[j], ss));
            vs[j] = nextS;
            vk[j] = nextK;
        }
    }
    alignas(16) int16_t low8[Lanes];
    alignas(16) int16_t high8[Lanes];
    _mm_store_si128(reinterpret_cast<__m128i*>(low8), lowest);
    _mm_store_si128(reinterpret_cast<__m128i*>(high8), highest);
    for (int j = 0; j < Lanes; ++j) {
        extremes.Add(low8[j]);
        extremes.Add(high8[j]);
    }
#endif
    for (; g < groups; ++g) {
        for (int j = 0; j < Lanes; ++j) {
            const int32_t code = levels.coder(levels.scale * s[j] + levels.offset);
            out[g * Lanes + j] = static_cast<int16_t>(code);
            extremes.Add(code);
            const double nextS = s[j] * rotation.laneCs + k[j] * rotation.laneSs;
            const double nextK = k[j] * rotation.laneCs - s[j] * rotation.laneSs;
            s[j] = nextS;
            k[j] = nextK;
        }
    }
}

// Chain points [from, to) into out[t], restarted every Block points. Returns false
// when stopped.
template <class Stopped>
bool WriteSegments(const Rotation& rotation, const Levels& levels, int16_t* out, int64_t from,
                   int64_t to, codes::Extremes& extremes, Stopped stopped) {
    for (int64_t b = from; b < to; b += Block) {
        const int64_t n = std::min(Block, to - b);
        const int64_t groups = n / Lanes;
        double s[Lanes];
        double k[Lanes];
        for (int j = 0; j < Lanes; ++j)
            rotation.At(b + j, s[j], k[j]);
        WriteLanes(rotation, levels, s, k, out + b, groups, extremes);
        const int64_t rest = b + groups * Lanes;
        if (rest < b + n) {
            double s1 = 0;
            double k1 = 0;
            rotation.At(rest, s1, k1);
            WriteChain(rotation, levels, s1, k1, out, rest, b + n - rest, extremes);
        }
        if (stopped())
            return false;
    }
    return true;
}

} // namespace

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
    const bool finite =
        std::isfinite(s) && std::isfinite(k) && std::isfinite(scale) && std::isfinite(offset);
    const int64_t chainPoints = int64_t{periodPoints} - 1;
    if (finite && PreciseLongDouble && chainPoints >= SegmentedFrom &&
        std::fabs(scale) <= SegmentedScaleLimit && std::fabs(offset) <= SegmentedScaleLimit &&
        std::abs(int64_t{base}) <= (int64_t{1} << 30)) {
        const Rotation rotation(s, k, cs, ss);
        const Levels levels{scale, offset,
                            codes::LevelCoder(base, lowestAllowed_, highestAllowed_)};
        int16_t* const chain = out + 1; // chain point t is out[1 + t]
        auto stopped = [this] { return Stopped(); };
        codes::Extremes extremes{first, first};
        bool done = false;
        if (chainPoints >= TwoThreadsFrom) {
            // The second half on a thread of its own, block-aligned.
            const int64_t half = (chainPoints / 2 + Block - 1) / Block * Block;
            codes::Extremes second{first, first};
            bool secondDone = false;
            std::optional<std::thread> helper;
            try {
                helper.emplace([&] {
                    secondDone =
                        WriteSegments(rotation, levels, chain, half, chainPoints, second, stopped);
                });
            } catch (const std::system_error&) {
                helper.reset();
            }
            done = WriteSegments(rotation, levels, chain, 0, half, extremes, stopped);
            if (helper) {
                helper->join();
            } else {
                secondDone = done && WriteSegments(rotation, levels, chain, half, chainPoints,
                                                   second, stopped);
            }
            done = done && secondDone;
            extremes.Add(second.lowest);
            extremes.Add(second.highest);
        } else {
            done = WriteSegments(rotation, levels, chain, 0, chainPoints, extremes, stopped);
        }
        StartWritten(extremes.lowest, extremes.highest);
        if (!done)
            return -1;
    } else if (finite) {
        // One chain of rotations over the whole buffer. The loop keeps the chain alone
        // on its critical path.
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
