#pragma once
// The noise's own pseudo-random generator of integers 0..32767 (a PCG32 generator,
// its upper 15 bits). One per noise object, so that two signal objects generating
// on different threads never share a sequence.

#include <cstdint>

class NoiseRandom {
public:
    static constexpr int32_t Max = 32767;

    void Seed(uint32_t seed) {
        state_ = 0;
        Next32();
        state_ += seed;
        Next32();
    }
    // The next integer in 0..Max.
    int32_t Next() { return static_cast<int32_t>(Next32() >> 17); }

private:
    uint32_t Next32() {
        const uint64_t old = state_;
        state_ = old * 6364136223846793005ULL + Increment;
        const auto mixed = static_cast<uint32_t>(((old >> 18) ^ old) >> 27);
        const auto rotate = static_cast<uint32_t>(old >> 59);
        return (mixed >> rotate) | (mixed << ((32u - rotate) & 31u));
    }

    static constexpr uint64_t Increment = 1442695040888963407ULL; // odd
    uint64_t state_ = 0x853c49e6748fea9bULL;
};
