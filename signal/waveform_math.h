#pragma once
// Small numeric helpers shared by the waveform kinds: safe conversion of real
// point counts to integers, and the start phase as a shift within a period.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace wavemath {

inline constexpr double TwoPi = 2 * std::numbers::pi;

// Twice the amplitude, limited to the 32-bit range.
inline int32_t SpanOfAmplitude(int32_t amplitude) {
    return static_cast<int32_t>(std::clamp<int64_t>(
        2LL * amplitude, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// trunc(value) as a whole count when it is a number in [0, limit]; -1 otherwise
// (negative, not a number, or too large for the plan). Keeps huge clock to
// frequency ratios from overflowing an integer.
inline int64_t WholeCount(double value, int64_t limit) {
    if (!(value >= 0) || value > static_cast<double>(limit))
        return -1;
    return static_cast<int64_t>(std::trunc(value));
}

// Whether a whole real number is odd (its magnitude must be below 2^53).
inline bool IsOdd(double whole) {
    return std::fmod(whole, 2.0) != 0;
}

// The phase brought into [0, 2 pi); a phase that is not a finite number is 0.
inline double NormalisedPhase(double phase) {
    if (!std::isfinite(phase))
        return 0;
    phase = std::fmod(phase, TwoPi);
    if (phase < 0)
        phase += TwoPi;
    return phase;
}

// The start phase as a shift of trunc(phase x length / 2 pi) points within a
// period of `length` points, in 0..length-1.
inline int64_t PhaseShift(double phase, int64_t length) {
    if (length < 1)
        return 0;
    const double shift = std::trunc(NormalisedPhase(phase) * static_cast<double>(length) / TwoPi);
    const int64_t whole = shift > 0 ? static_cast<int64_t>(shift) : 0;
    return whole % length;
}

// Start of period j when `total` points hold `periods` periods: the periods get
// whole lengths that differ by at most one point.
inline int64_t PeriodStart(int64_t j, int64_t total, int64_t periods) {
    return j * total / periods;
}

} // namespace wavemath
