#pragma once
// The noise's generation loops, one per variant, over a stretch of the buffer.
// Each carries its generator state in and out, so that a buffer filled in several
// stretches (the stop flag is checked between them) is the one filled in one go.

#include "signal/code_kernels.h"
#include "signal/noise_random.h"

#include <cstdint>

namespace noisefill {

// The two-level sequence: before each point the register shifts left by one and
// takes bit 30 xor bit 27 as its new lowest bit; the point is `below` when the top
// bit is then set, else `above`.
void Sequence(uint32_t& reg, int16_t* out, int64_t count, int32_t below, int32_t above,
              codes::Extremes& extremes);

// Uniform: clamp(base + (r mod 2a) - a) with r one draw (two draws making a 30-bit
// integer when `wide`). a is at least 1 and 2a fits 32 bits.
void Uniform(NoiseRandom& random, int16_t* out, int64_t count, int32_t base, int64_t a, bool wide,
             int32_t lowest, int32_t highest, codes::Extremes& extremes);

// Gaussian: clamp(base + trunc(amplitude x g)), g = sqrt(-2 ln u1) x (sin or cos of
// 2 pi u2, as the selector says, flipped every point); a zero first draw is drawn
// again.
void Gaussian(NoiseRandom& random, uint8_t& selector, int16_t* out, int64_t count, int32_t base,
              double amplitude, int32_t lowest, int32_t highest, codes::Extremes& extremes);

} // namespace noisefill
