#pragma once
// Laying out the periods of the saw, triangle, meander and pulse quickly. A
// buffer of `part` points holds `periods` periods of whole lengths that differ by
// at most one point (wavemath::PeriodStart); the content of a period depends only
// on its length, so each length is generated once and later periods of the same
// length are copies. Within a period the i-th value of the generation order lands
// at (i + shift) % length. The stop flag is checked after every chunk of at most
// StopChunk points.

#include "signal/accumulation.h"
#include "signal/code_kernels.h"
#include "signal/waveform_math.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace layout {

inline constexpr int64_t StopChunk = 65536;

// Calls layOne(length, periodStart) for the first period of each length and copies
// it to the later ones. layOne and stopped return true to go on; false when stopped.
template <class LayOne, class Stopped>
bool LayPeriods(int64_t part, int64_t periods, int16_t* out, LayOne layOne, Stopped stopped) {
    std::vector<std::pair<int64_t, int64_t>> laid; // (length, start) of the first of each length
    for (int64_t j = 0; j < periods; ++j) {
        const int64_t start = wavemath::PeriodStart(j, part, periods);
        const int64_t length = wavemath::PeriodStart(j + 1, part, periods) - start;
        if (length < 1)
            continue;
        const auto same = std::find_if(laid.begin(), laid.end(), [length](const auto& entry) {
            return entry.first == length;
        });
        if (same == laid.end()) {
            if (!layOne(length, out + start))
                return false;
            laid.emplace_back(length, start);
        } else {
            std::memcpy(out + start, out + same->second,
                        static_cast<size_t>(length) * sizeof(int16_t));
            if (stopped())
                return false;
        }
    }
    return true;
}

// Codes of the levels bottom + v(i), v given as runs in generation order, into a
// period of `length` points shifted by `shift`.
template <class Stopped>
bool WriteRuns(const std::vector<Progression>& runs, int64_t length, int64_t shift,
               const codes::LevelCoder& coder, double bottom, int16_t* period,
               codes::Extremes& extremes, Stopped stopped) {
    for (const Progression& run : runs) {
        for (int64_t k = 0; k < run.count;) {
            const int64_t at = (run.first + k + shift) % length;
            const int64_t take = std::min({run.count - k, length - at, StopChunk});
            codes::ConvertProgression(coder, bottom, run.start + static_cast<double>(k) * run.step,
                                      run.step, take, period + at, extremes);
            if (stopped())
                return false;
            k += take;
        }
    }
    return true;
}

// Writes `code` at the positions of generation order from .. from + count - 1 of a
// period of `length` points shifted by `shift`. A fill of codes::StreamFill codes
// or more is written around the caches, chunk by chunk.
template <class Stopped>
bool FillShifted(int64_t from, int64_t count, int64_t length, int64_t shift, int32_t code,
                 int16_t* period, codes::Extremes& extremes, Stopped stopped) {
    for (int64_t k = 0; k < count;) {
        const int64_t at = (from + k + shift) % length;
        const int64_t take = std::min({count - k, length - at, StopChunk});
        codes::FillNoted(period + at, take, code, extremes, count >= codes::StreamFill);
        if (stopped())
            return false;
        k += take;
    }
    return true;
}

} // namespace layout
