#include "signal/code_kernels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace codes {
namespace {


// Runs of one code shorter than this on average are converted point by point.
constexpr double ShortRun = 8;

// Code of the k-th level of a progression.
int32_t CodeAt(const LevelCoder& coder, double bottom, double start, double step, int64_t k) {
    return coder(bottom + (start + static_cast<double>(k) * step));
}

// Point by point; the vector path needs every code and bound to fit 32 bits
// around the base.
void ConvertEach(const LevelCoder& coder, double bottom, double start, double step, int64_t count,
                 int16_t* out) {
    int64_t k = 0;
#if defined(__SSE2__)
    if (std::fabs(static_cast<double>(coder.Base())) <= 0x1p30) {
        const __m128d half = _mm_set1_pd(0.5);
        const __m128d sign = _mm_set1_pd(-0.0);
        const __m128d zero = _mm_setzero_pd();
        const __m128d low = _mm_set1_pd(coder.LowRel());
        const __m128d high = _mm_set1_pd(coder.HighRel());
        const __m128d bottoms = _mm_set1_pd(bottom);
        const __m128d starts = _mm_set1_pd(start);
        const __m128d steps = _mm_set1_pd(step);
        const __m128d four = _mm_set1_pd(4);
        const __m128i base = _mm_set1_epi32(coder.Base());
        __m128d k01 = _mm_set_pd(1, 0);
        __m128d k23 = _mm_set_pd(3, 2);
        // Two levels: bottom + (start + k x step), rounded half away from zero,
        // clamped, truncated.
        auto codesOf = [&](__m128d ks) {
            const __m128d level = _mm_add_pd(bottoms, _mm_add_pd(starts, _mm_mul_pd(ks, steps)));
            const __m128d negative = _mm_cmplt_pd(level, zero);
            const __m128d rounding = _mm_or_pd(half, _mm_and_pd(negative, sign));
            __m128d y = _mm_add_pd(level, rounding);
            y = _mm_min_pd(y, high);
            y = _mm_max_pd(y, low);
            return _mm_cvttpd_epi32(y);
        };
        for (; k + 4 <= count; k += 4) {
            const __m128i four32 =
                _mm_add_epi32(_mm_unpacklo_epi64(codesOf(k01), codesOf(k23)), base);
            // Every code lies in the 16-bit range: the saturating pack keeps it.
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k), _mm_packs_epi32(four32, four32));
            k01 = _mm_add_pd(k01, four);
            k23 = _mm_add_pd(k23, four);
        }
    }
#endif
    for (; k < count; ++k)
        out[k] = static_cast<int16_t>(CodeAt(coder, bottom, start, step, k));
}

// Where a run of one code ends: the first index after `same` whose code differs
// (count when none does), and that index's code. The codes are monotonic in the
// index; `guess` is where the level is expected to leave the code.
struct RunEnd {
    int64_t end;
    int32_t next; // code at `end` (when end < count)
};

RunEnd FindRunEnd(const LevelCoder& coder, double bottom, double start, double step, int64_t count,
                  int64_t same, int32_t code, int64_t guess) {
    int64_t other = count; // known to differ, or the end
    int32_t otherCode = code;
    guess = std::clamp<int64_t>(guess, same + 1, count);
    if (guess < count) {
        const int32_t at = CodeAt(coder, bottom, start, step, guess);
        if (at != code) {
            other = guess;
            otherCode = at;
        } else {
            same = guess;
        }
    }
    // The estimate is usually right or one off: look next to it before searching.
    if (other == guess && other - 1 > same) {
        if (CodeAt(coder, bottom, start, step, other - 1) == code)
            return {other, otherCode};
    } else if (same == guess && same + 1 < other) {
        const int32_t after = CodeAt(coder, bottom, start, step, same + 1);
        if (after != code)
            return {same + 1, after};
        same += 1;
    }
    while (other - same > 1) {
        const int64_t middle = same + (other - same) / 2;
        const int32_t at = CodeAt(coder, bottom, start, step, middle);
        if (at == code) {
            same = middle;
        } else {
            other = middle;
            otherCode = at;
        }
    }
    return {other, otherCode};
}

} // namespace

void Fill(int16_t* out, int64_t count, int16_t code, bool bypassCaches) {
#if defined(__SSE2__)
    // A fill far larger than the caches is written around them: the stores need
    // not read each line first, and the caches keep what the program works on.
    if (bypassCaches || count >= StreamFill) {
        int64_t i = 0;
        for (; i < count && reinterpret_cast<uintptr_t>(out + i) % 16 != 0; ++i)
            out[i] = code;
        const __m128i eight = _mm_set1_epi16(code);
        for (; i + 8 <= count; i += 8)
            _mm_stream_si128(reinterpret_cast<__m128i*>(out + i), eight);
        _mm_sfence();
        for (; i < count; ++i)
            out[i] = code;
        return;
    }
#endif
    int64_t i = 0;
#if defined(__SSE2__)
    const __m128i eight = _mm_set1_epi16(code);
    for (; i + 8 <= count; i += 8)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), eight);
#endif
    for (; i < count; ++i)
        out[i] = code;
}

void ConvertProgression(const LevelCoder& coder, double bottom, double start, double step,
                        int64_t count, int16_t* out, Extremes& extremes) {
    if (count < 1)
        return;
    extremes.Add(CodeAt(coder, bottom, start, step, 0));
    extremes.Add(CodeAt(coder, bottom, start, step, count - 1));
    // A level that moves by a good part of a code per point changes its code often:
    // convert every point.
    if (std::fabs(step) * ShortRun > 1) {
        ConvertEach(coder, bottom, start, step, count, out);
        return;
    }
    const bool rising = step > 0;
    const double perLevel = 1 / step; // points per unit of level, for the estimates
    int64_t k = 0;
    int32_t code = CodeAt(coder, bottom, start, step, 0);
    while (k < count) {
        RunEnd run{count, code};
        const bool pinned =
            step == 0 || (rising && code >= coder.Highest()) || (!rising && code <= coder.Lowest());
        if (!pinned) {
            // The level leaves `code` half a code beyond it.
            const double edge = (code - coder.Base()) + (rising ? 0.5 : -0.5);
            const double at = (edge - bottom - start) * perLevel;
            const int64_t guess =
                at < static_cast<double>(count) ? static_cast<int64_t>(std::max(at, 0.0)) : count;
            run = FindRunEnd(coder, bottom, start, step, count, k, code, guess);
        }
        Fill(out + k, run.end - k, static_cast<int16_t>(code));
        k = run.end;
        code = run.next;
    }
}

void ClampShifted(const int16_t* data, int64_t count, int32_t base, int32_t lowest, int32_t highest,
                  int16_t* out, Extremes& extremes) {
    int64_t i = 0;
#if defined(__SSE2__)
    // With a base in the 16-bit range a saturating 16-bit sum clamps like the
    // exact one, since both bounds lie in that range too.
    if (base >= -32768 && base <= 32767 && count >= 8) {
        const __m128i bases = _mm_set1_epi16(static_cast<int16_t>(base));
        const __m128i low = _mm_set1_epi16(static_cast<int16_t>(lowest));
        const __m128i high = _mm_set1_epi16(static_cast<int16_t>(highest));
        __m128i least = high;
        __m128i most = low;
        for (; i + 8 <= count; i += 8) {
            const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
            __m128i sums = _mm_adds_epi16(values, bases);
            sums = _mm_min_epi16(_mm_max_epi16(sums, low), high);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), sums);
            least = _mm_min_epi16(least, sums);
            most = _mm_max_epi16(most, sums);
        }
        alignas(16) int16_t lanes[16];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), least);
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes + 8), most);
        for (int lane = 0; lane < 8; ++lane) {
            extremes.Add(lanes[lane]);
            extremes.Add(lanes[8 + lane]);
        }
    }
#endif
    for (; i < count; ++i) {
        const int64_t sum = int64_t{base} + data[i];
        const auto code = static_cast<int32_t>(std::clamp<int64_t>(sum, lowest, highest));
        out[i] = static_cast<int16_t>(code);
        extremes.Add(code);
    }
}

} // namespace codes
