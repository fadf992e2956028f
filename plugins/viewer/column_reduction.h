#pragma once
// The min/max reduction that lets the viewer draw half a million samples in about a
// millisecond: every pixel column of the plot gets the lowest and highest value of
// the samples that fall into it, widened by the last sample of the column before so
// that the trace stays connected. Drawing is then one vertical line per column.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lupex {

struct ColumnRange {
    int16_t low;
    int16_t high;
    bool empty; // no sample falls into this column
};

// The samples, spread evenly over x: sample i lies at firstX + i * step.
struct SampleRow {
    const int16_t* values = nullptr;
    std::size_t count = 0;
    std::size_t stride = 1; // distance between samples in `values`
    double firstX = 0;
    double step = 1;
    int16_t At(std::size_t i) const { return values[i * stride]; }
};

// Reduces the samples into `columns` pixel columns; column c holds the samples
// whose x maps to c (the nearest column), where x maps to column
// (x - viewFirst) * scale. `out` is resized to `columns`.
void ReduceColumns(const SampleRow& row, double viewFirst, double scale, int columns,
                   std::vector<ColumnRange>& out);

// The index range of the samples whose x lies within [first, last], widened by
// one sample at each end (so lines to just outside the view are drawn); `end` is
// one past the last. Empty (begin == end) when none.
struct IndexRange {
    std::size_t begin = 0;
    std::size_t end = 0;
};
IndexRange VisibleSamples(const SampleRow& row, double first, double last);

} // namespace lupex
