#pragma once
// Clock tables and limits of a typical board, for the signal tests.

#include <array>
#include <cmath>

// 1e8 / 2^k Hz for k = 0..14, highest first.
inline std::array<double, 15> StandardClocks() {
    std::array<double, 15> clocks{};
    for (int k = 0; k < 15; ++k)
        clocks[k] = 1e8 / std::pow(2.0, k);
    return clocks;
}
inline constexpr float StandardMinClock = 6103.515625f;
inline constexpr float StandardMaxClock = 1e8f;
