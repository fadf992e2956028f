#include "signal/accumulation.h"

#include <cmath>

namespace {

// Values a run may cover at most before the count estimate below loses its
// accuracy (its error stays under one step below this).
constexpr double EstimateLimit = 0x1p50;

// How many values v, v + d, v + 2d, ... (d = (v + step) - v) equal the plain sums,
// at most `remaining`; at least 1. `v` is positive and normal.
int64_t PositiveRun(double v, double step, int64_t remaining) {
    const int e = std::ilogb(v);
    const double u = std::ldexp(1.0, e - 52); // spacing of the doubles in v's binade
    const double low = std::ldexp(1.0, e);
    const double high = std::ldexp(1.0, e + 1);
    // A step half way between two multiples of u rounds to even: the increment
    // would alternate.
    const double q = step / u;
    if (!std::isfinite(q) || std::fabs(q - std::trunc(q)) == 0.5)
        return 1;
    const double next = v + step;
    if (next < low || next > high)
        return 1;
    const double d = next - v; // exact: both are multiples of u inside the binade
    // The exact sums v + k d + step must stay inside [low, high].
    double allowed = 0; // k d may reach this much
    if (d > 0)
        allowed = (high - v) - step; // high - v is exact
    else
        allowed = (v - low) + step; // v - low is exact; step < 0
    if (!(allowed >= 0))
        return 1;
    const double k = std::floor(allowed / std::fabs(d));
    if (!(k >= 2))
        return 1;
    // k values are safe with a margin of one for the rounding of the estimate: the
    // transitions k' = 0 .. k - 2 keep the sum inside the binade.
    const double values = k < EstimateLimit ? k : EstimateLimit;
    return values < static_cast<double>(remaining) ? static_cast<int64_t>(values) : remaining;
}

// As PositiveRun for any finite v; 1 where the run cannot be proved.
int64_t RunLength(double v, double step, int64_t remaining) {
    if (remaining <= 1 || !std::isfinite(v) || !std::isfinite(step))
        return 1;
    // A sum that does not move never moves: the same addition gives the same result.
    if (v + step == v)
        return remaining;
    if (std::fabs(v) < 0x1p-1000) // zero and tiny values: step by step
        return 1;
    // Rounding to nearest is symmetric: -v - step runs as v + step does.
    return v > 0 ? PositiveRun(v, step, remaining) : PositiveRun(-v, -step, remaining);
}

} // namespace

double AppendAccumulation(std::vector<Progression>& runs, int64_t first, double start, double step,
                          int64_t count) {
    double v = start;
    int64_t i = 0;
    while (i < count) {
        const int64_t n = RunLength(v, step, count - i);
        Progression run;
        run.first = first + i;
        run.count = n;
        run.start = v;
        run.step = n > 1 ? (v + step) - v : 0;
        runs.push_back(run);
        v = run.Last() + step; // the plain addition after the run's last value
        i += n;
    }
    return v;
}
