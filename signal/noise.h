#pragma once
// Kind 6 (__MNoise): fills the whole board memory with noise at a requested sample
// rate. Variants (first kind field): 1 Gaussian, 2 uniform, any other value a
// two-level pseudo-random sequence that is the same at every Generate. Second kind
// field: polarity, which sets the allowed range (SetPolarityRange).
//
// Decisions of this library:
// - Each object has its own generator of integers 0..32767 (NoiseRandom) and its
//   own sine/cosine selector for the Gaussian variant, both seeded from the
//   millisecond tick count at every Generate, so that two signal objects can
//   generate at once on different threads.
// - The noise fills the capacity; with the even flag an odd capacity gives one
//   point less, so that the count stays even.
// - A polarity other than 0, 1 and 2 takes the whole range of the bit count (as
//   bipolar), at every Generate, whatever came before.
// - Gaussian: a zero first draw would make ln(0) and a full-scale spike; it is
//   drawn again, so u1 lies in (0, 1].
// - Uniform: when 2A exceeds 32768 (an amplitude beyond 16384 codes) one draw
//   cannot cover base - A .. base + A - 1, so two draws make a 30-bit integer.
// - A stopped generation returns -1, as every other kind does.
// - Points per period (Query 30) is the point count, periods 1, so that the
//   realised frequency clock / points is the one reported.
// - Lowest and highest written are the extremes of the codes actually written.

#include "signal/msignal.h"
#include "signal/noise_random.h"

enum NoiseVariant : int32_t { NoiseGaussian = 1, NoiseUniform = 2 };

class __MNoise final : public __MSignal {
public:
    int32_t Prepare(UndulaRequest* request, float minClock, float maxClock, const double* clocks,
                    int32_t clockCount, int32_t capacity, uint8_t evenFlag, int32_t* pointCount,
                    uint8_t singlePlay) override;
    int32_t Generate(int16_t* buffer, int32_t base, int32_t bits, double phase) override;
    std::unique_ptr<__MSignal> Clone() const override;

    // Start value of the two-level sequence's register.
    static constexpr uint32_t SequenceStart = 0x1FE05827u;

private:
    NoiseRandom random_;
    uint8_t selector_ = 0; // Gaussian: sine when set, cosine when clear
};
