#pragma once
// Fast building blocks of the generation loops. Each one writes exactly the codes
// the plain per-sample rule writes: clamp(base + round(level)) with rounding half
// away from zero (add or subtract 0.5, then truncate toward zero) and clamping into
// the allowed range. None of them changes a code; the tests compare them with the
// per-sample rule.

#include <cstdint>

namespace codes {

// The lowest and highest code written so far; starts inverted (nothing written).
struct Extremes {
    int32_t lowest;
    int32_t highest;

    void Add(int32_t code) {
        if (code < lowest)
            lowest = code;
        if (code > highest)
            highest = code;
    }
};

// clamp(base + round(level)) for one level that is a number: the
// rounding and clamping of __MSignal::Code, with the clamp moved before the
// truncation (trunc and clamping to whole bounds commute), so that every value
// converts to an integer safely.
class LevelCoder {
public:
    LevelCoder(int32_t base, int32_t lowest, int32_t highest)
        : base_(base), lowRel_(static_cast<double>(lowest) - base),
          highRel_(static_cast<double>(highest) - base) {}

    // `level` must not be NaN (infinities clamp).
    int32_t operator()(double level) const {
        double y = level >= 0 ? level + 0.5 : level - 0.5;
        y = y > highRel_ ? highRel_ : y;
        y = y < lowRel_ ? lowRel_ : y;
        return static_cast<int32_t>(base_ + static_cast<int64_t>(y));
    }

    int32_t Base() const { return base_; }
    double LowRel() const { return lowRel_; }
    double HighRel() const { return highRel_; }
    int32_t Lowest() const { return static_cast<int32_t>(base_ + static_cast<int64_t>(lowRel_)); }
    int32_t Highest() const { return static_cast<int32_t>(base_ + static_cast<int64_t>(highRel_)); }

private:
    int32_t base_;
    double lowRel_;  // lowest allowed - base
    double highRel_; // highest allowed - base
};

// Fills of at least this many codes (8 MiB) are best written around the caches.
inline constexpr int64_t StreamFill = int64_t{1} << 22;

// Writes `code` into out[0 .. count). With bypassCaches the stores go around the
// caches (no line is read first); for a piece of a fill of StreamFill codes or more.
void Fill(int16_t* out, int64_t count, int16_t code, bool bypassCaches = false);

// Fill, and notes the code in `extremes` when anything was written.
inline void FillNoted(int16_t* out, int64_t count, int32_t code, Extremes& extremes,
                      bool bypassCaches = false) {
    if (count < 1)
        return;
    Fill(out, count, static_cast<int16_t>(code), bypassCaches);
    extremes.Add(code);
}

// Codes of the levels bottom + (start + k x step), k = 0 .. count - 1, into
// out[0 .. count). start + k x step must be exact for every k (as it is for the
// runs of an accumulation, see accumulation.h). The levels are monotonic in k, so
// the codes are too: long runs of one code are found by search and filled, short
// ones converted point by point. Adds the first and last code to `extremes`.
void ConvertProgression(const LevelCoder& coder, double bottom, double start, double step,
                        int64_t count, int16_t* out, Extremes& extremes);

// clamp(base + data[i]) into [lowest, highest] for i = 0 .. count - 1 (bits <= 16,
// so both bounds are 16-bit codes). Adds every code to `extremes`.
void ClampShifted(const int16_t* data, int64_t count, int32_t base, int32_t lowest, int32_t highest,
                  int16_t* out, Extremes& extremes);

} // namespace codes
