#pragma once
// Straightforward generation of each waveform kind, one sample at a time: the
// baseline the synthesis benchmarks compare the library against. Levels are
// rounded with std::lround and clamped into the 14-bit code range; the sine is a
// single rotation recurrence chain over the whole buffer.

#include <cstdint>
#include <span>

namespace bench {

inline constexpr int32_t Bits = 14;
inline constexpr int32_t LowestCode = -8192;
inline constexpr int32_t HighestCode = 8191;

// A plan as the library reports it: what the reference needs to lay out a buffer.
struct ReferencePlan {
    int64_t points = 0;     // codes in the buffer
    int64_t periods = 1;    // whole periods in the buffer (sine)
    int64_t highPoints = 0; // meander and pulse: points at the high level per period
    int32_t amplitude = 0;  // half the peak-to-peak swing, in codes
    int32_t base = 0;
    bool falling = false; // saw direction
};

// Bipolar levels (-A to +A) around the base code.
void ReferenceSine(const ReferencePlan& plan, std::span<int16_t> out);
void ReferenceSaw(const ReferencePlan& plan, std::span<int16_t> out);
void ReferenceTriangle(const ReferencePlan& plan, std::span<int16_t> out);
void ReferenceTwoLevel(const ReferencePlan& plan, std::span<int16_t> out); // meander, pulse
void ReferenceConstant(const ReferencePlan& plan, std::span<int16_t> out);
void ReferenceSequenceNoise(const ReferencePlan& plan, std::span<int16_t> out);
void ReferenceUniformNoise(const ReferencePlan& plan, uint32_t seed, std::span<int16_t> out);
void ReferenceGaussianNoise(const ReferencePlan& plan, uint32_t seed, std::span<int16_t> out);
void ReferenceSampleBlock(const ReferencePlan& plan, std::span<const int16_t> data,
                          std::span<int16_t> out);

} // namespace bench
