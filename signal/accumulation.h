#pragma once
// A value advanced by repeated addition, v(i+1) = v(i) + step in double precision,
// split into runs in which it is an exact arithmetic progression.
//
// Within one binade [2^e, 2^(e+1)) every double is a multiple of the same spacing
// u, so adding `step` to any of them rounds to the same increment d (a multiple of
// u) as long as the exact sums stay inside the binade and `step` is not exactly
// half way between two multiples of u. In such a run the i-th value is
// start + i x d exactly, and can be computed out of order. Where the conditions do
// not hold (near zero, at binade edges, on ties) a run holds a single value that
// was reached by the plain addition. So the runs reproduce the sequential sums bit
// for bit, with a handful of runs per binade crossed.

#include <cstdint>
#include <vector>

struct Progression {
    int64_t first = 0; // index of the run's first value
    int64_t count = 0; // values in the run
    double start = 0;  // the first value
    double step = 0;   // exact increment within the run

    double Last() const { return start + static_cast<double>(count - 1) * step; }
};

// Appends the runs of v(0) = start, v(i+1) = v(i) + step for `count` values whose
// indices begin at `first`. Returns the value after the last one (v(count)).
double AppendAccumulation(std::vector<Progression>& runs, int64_t first, double start, double step,
                          int64_t count);
