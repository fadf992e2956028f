#pragma once
// How the simulated board realises a wanted sample clock. All clocks in Hz.

#include "plugins/board-sim/board_config.h"

#include <optional>
#include <vector>

namespace boardsim {

// The table clock nearest to `wanted`; on a tie the one that comes first in the
// table (the higher one, since the table runs highest first). Null for an empty
// table or a wanted clock that is not a positive finite number.
std::optional<double> NearestTableClock(const std::vector<double>& table, double wanted);

// The highest table clock at or below `wanted`; the lowest table clock when every
// one is above it.
std::optional<double> TableClockAtOrBelow(const std::vector<double>& table, double wanted);

// The synthesiser clock s / 2^k nearest to `wanted`, s running from range.low to
// range.high in range.step steps and k from 0 to range.maxShift. On a tie the
// smaller k and then the smaller s win. Synthesiser clocks are not held to the
// board's clock limits: the signal library's synthesiser search uses the whole
// range, down to range.low / 2^maxShift.
std::optional<double> NearestSynthesiserClock(const SynthesiserRange& range, double wanted);

} // namespace boardsim
