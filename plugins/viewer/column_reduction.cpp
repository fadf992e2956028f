#include "plugins/viewer/column_reduction.h"

#include <algorithm>
#include <cmath>

namespace lupex {

namespace {

// The first sample index whose x is at or after `x`, limited to [0, count].
std::size_t FirstIndexAtOrAfter(const SampleRow& row, double x) {
    const double index = std::ceil((x - row.firstX) / row.step);
    if (!(index > 0)) { // also for a value that is not a number
        return 0;
    }
    if (index >= static_cast<double>(row.count)) {
        return row.count;
    }
    return static_cast<std::size_t>(index);
}

// Lowest and highest of values [begin, end); a tight loop the compiler vectorises.
void LowHigh(const SampleRow& row, std::size_t begin, std::size_t end, int16_t& low,
             int16_t& high) {
    int16_t lo = low;
    int16_t hi = high;
    if (row.stride == 1) {
        const int16_t* v = row.values;
        for (std::size_t i = begin; i < end; ++i) {
            lo = std::min(lo, v[i]);
            hi = std::max(hi, v[i]);
        }
    } else {
        for (std::size_t i = begin; i < end; ++i) {
            lo = std::min(lo, row.At(i));
            hi = std::max(hi, row.At(i));
        }
    }
    low = lo;
    high = hi;
}

} // namespace

void ReduceColumns(const SampleRow& row, double viewFirst, double scale, int columns,
                   std::vector<ColumnRange>& out) {
    out.assign(static_cast<std::size_t>(std::max(columns, 0)), ColumnRange{0, 0, true});
    if (row.values == nullptr || row.count == 0 || !(row.step > 0) || !(scale > 0)) {
        return;
    }
    // Column c takes the samples whose x lies in [c - 0.5, c + 0.5) columns.
    std::size_t begin = FirstIndexAtOrAfter(row, viewFirst - 0.5 / scale);
    for (int c = 0; c < columns; ++c) {
        const std::size_t end = FirstIndexAtOrAfter(row, viewFirst + (c + 0.5) / scale);
        if (end > begin) {
            ColumnRange& range = out[static_cast<std::size_t>(c)];
            // Starting from the sample before joins this column to the last one.
            const std::size_t from = begin > 0 ? begin - 1 : begin;
            range.low = row.At(from);
            range.high = row.At(from);
            LowHigh(row, from, end, range.low, range.high);
            range.empty = false;
        }
        begin = std::max(begin, end);
    }
}

IndexRange VisibleSamples(const SampleRow& row, double first, double last) {
    if (row.values == nullptr || row.count == 0 || !(row.step > 0)) {
        return {};
    }
    const std::size_t begin = FirstIndexAtOrAfter(row, first);
    // The first sample after `last` is the one beyond the right edge.
    const double after = std::floor((last - row.firstX) / row.step) + 1;
    std::size_t end = row.count;
    if (!(after >= 0)) {
        end = 0;
    } else if (after < static_cast<double>(row.count)) {
        end = static_cast<std::size_t>(after) + 1;
    }
    return {begin > 0 ? begin - 1 : 0, std::max(end, std::min(begin, row.count))};
}

} // namespace lupex
