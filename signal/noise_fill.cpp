#include "signal/noise_fill.h"

#include "signal/waveform_math.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace noisefill {
namespace {

// Register steps taken at once: the bits 24 steps bring in depend only on bits
// already in the register (bit 27 is the newest one read).
constexpr int Batch = 24;

uint32_t Step(uint32_t reg) {
    return (reg << 1) | (((reg >> 30) ^ (reg >> 27)) & 1u);
}

int32_t ClampCode(int64_t code, int32_t lowest, int32_t highest) {
    return static_cast<int32_t>(std::clamp<int64_t>(code, lowest, highest));
}

// r mod d for 32-bit r and d >= 1 by multiplication (Lemire's remainder): exact
// for every such r and d.
class Remainder {
public:
    explicit Remainder(uint32_t divisor)
        : divisor_(divisor), inverse_(UINT64_C(0xFFFFFFFFFFFFFFFF) / divisor + 1) {}
    uint32_t Of(uint32_t value) const {
        __extension__ using Wide = unsigned __int128;
        const uint64_t fraction = inverse_ * value;
        return static_cast<uint32_t>((static_cast<Wide>(fraction) * divisor_) >> 64);
    }

private:
    uint64_t divisor_;
    uint64_t inverse_;
};

} // namespace

void Sequence(uint32_t& reg, int16_t* out, int64_t count, int32_t below, int32_t above,
              codes::Extremes& extremes) {
    // Eight points per byte of register bits, the first point in the top bit.
    int16_t table[256][8];
    for (int byte = 0; byte < 256; ++byte) {
        for (int bit = 0; bit < 8; ++bit)
            table[byte][bit] = static_cast<int16_t>((byte >> (7 - bit)) & 1 ? below : above);
    }
    uint32_t seenSet = 0;
    uint32_t seenClear = 0;
    int64_t i = 0;
    for (; i + Batch <= count; i += Batch) {
        // The next 24 points are the register's bits 30 down to 7 (the top bit after
        // each of the 24 shifts); the 24 new bits are bit 30 xor bit 27 of the
        // register as it stood 24 steps back.
        const uint32_t bits = (reg >> 7) & 0xFFFFFFu;
        std::memcpy(out + i, table[(bits >> 16) & 0xFF], sizeof table[0]);
        std::memcpy(out + i + 8, table[(bits >> 8) & 0xFF], sizeof table[0]);
        std::memcpy(out + i + 16, table[bits & 0xFF], sizeof table[0]);
        seenSet |= bits;
        seenClear |= ~bits & 0xFFFFFFu;
        reg = (reg << Batch) | (((reg >> 7) ^ (reg >> 4)) & 0xFFFFFFu);
    }
    if (seenSet != 0)
        extremes.Add(below);
    if (seenClear != 0)
        extremes.Add(above);
    for (; i < count; ++i) {
        reg = Step(reg);
        const int32_t code = (reg & 0x80000000u) != 0 ? below : above;
        out[i] = static_cast<int16_t>(code);
        extremes.Add(code);
    }
}

void Uniform(NoiseRandom& random, int16_t* out, int64_t count, int32_t base, int64_t a, bool wide,
             int32_t lowest, int32_t highest, codes::Extremes& extremes) {
    const Remainder remainder(static_cast<uint32_t>(2 * a));
    const int64_t shifted = int64_t{base} - a;
    int32_t least = extremes.lowest;
    int32_t most = extremes.highest;
    for (int64_t i = 0; i < count; ++i) {
        uint32_t r = static_cast<uint32_t>(random.Next());
        if (wide)
            r = r * (NoiseRandom::Max + 1) + static_cast<uint32_t>(random.Next());
        const int32_t code = ClampCode(shifted + remainder.Of(r), lowest, highest);
        out[i] = static_cast<int16_t>(code);
        least = std::min(least, code);
        most = std::max(most, code);
    }
    extremes = {least, most};
}

void Gaussian(NoiseRandom& random, uint8_t& selector, int16_t* out, int64_t count, int32_t base,
              double amplitude, int32_t lowest, int32_t highest, codes::Extremes& extremes) {
    int32_t least = extremes.lowest;
    int32_t most = extremes.highest;
    for (int64_t i = 0; i < count; ++i) {
        int32_t r1 = random.Next();
        while (r1 == 0)
            r1 = random.Next();
        const int32_t r2 = random.Next();
        const double u1 = r1 / static_cast<double>(NoiseRandom::Max);
        const double u2 = r2 / static_cast<double>(NoiseRandom::Max);
        const double turn = wavemath::TwoPi * u2;
        const double g =
            std::sqrt(-2 * std::log(u1)) * (selector ? std::sin(turn) : std::cos(turn));
        selector ^= 1u;
        // |amplitude x g| stays far below 2^62: u1 is at least 1 / 32767.
        const auto level = static_cast<int64_t>(amplitude * g);
        const int32_t code = ClampCode(base + level, lowest, highest);
        out[i] = static_cast<int16_t>(code);
        least = std::min(least, code);
        most = std::max(most, code);
    }
    extremes = {least, most};
}

} // namespace noisefill
