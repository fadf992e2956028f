#include "plugins/board-sim/clock_rules.h"

#include <algorithm>
#include <cmath>

namespace boardsim {
namespace {

bool Usable(double wanted) {
    return std::isfinite(wanted) && wanted > 0.0;
}

} // namespace

std::optional<double> NearestTableClock(const std::vector<double>& table, double wanted) {
    if (table.empty() || !Usable(wanted))
        return std::nullopt;
    double best = table.front();
    for (const double clock : table)
        if (std::abs(clock - wanted) < std::abs(best - wanted))
            best = clock;
    return best;
}

std::optional<double> TableClockAtOrBelow(const std::vector<double>& table, double wanted) {
    if (table.empty() || !Usable(wanted))
        return std::nullopt;
    std::optional<double> best;
    double lowest = table.front();
    for (const double clock : table) {
        if (clock <= wanted && (!best || clock > *best))
            best = clock;
        if (clock < lowest)
            lowest = clock;
    }
    return best ? best : lowest;
}

std::optional<double> NearestSynthesiserClock(const SynthesiserRange& range, double wanted) {
    if (!Usable(wanted) || range.step <= 0.0 || range.high < range.low)
        return std::nullopt;
    const auto steps = static_cast<int64_t>(std::floor((range.high - range.low) / range.step));
    std::optional<double> best;
    for (int32_t k = 0; k <= range.maxShift; ++k) {
        const double divider = std::ldexp(1.0, k);
        // Only the grid points next to wanted x 2^k can be nearest for this k.
        const double ideal = (wanted * divider - range.low) / range.step;
        const auto below =
            static_cast<int64_t>(std::clamp(std::floor(ideal), 0.0, static_cast<double>(steps)));
        for (int64_t i = below; i <= std::min(below + 1, steps); ++i) {
            const double clock = (range.low + static_cast<double>(i) * range.step) / divider;
            if (!best || std::abs(clock - wanted) < std::abs(*best - wanted))
                best = clock;
        }
    }
    return best;
}

} // namespace boardsim
