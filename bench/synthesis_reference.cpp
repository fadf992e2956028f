#include "bench/synthesis_reference.h"

#include "signal/noise_random.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bench {
namespace {

constexpr double TwoPi = 2 * std::numbers::pi;

int16_t ToCode(int32_t base, double level) {
    const long code = base + std::lround(level);
    return static_cast<int16_t>(std::clamp<long>(code, LowestCode, HighestCode));
}

int16_t ClampCode(int64_t code) {
    return static_cast<int16_t>(std::clamp<int64_t>(code, LowestCode, HighestCode));
}

} // namespace

void ReferenceSine(const ReferencePlan& plan, std::span<int16_t> out) {
    const double scale = plan.amplitude;
    const double step =
        static_cast<double>(plan.periods) * TwoPi / static_cast<double>(plan.points);
    const double cs = std::cos(step);
    const double ss = std::sin(step);
    double s = 0;
    double k = 1;
    for (int64_t i = 0; i < plan.points; ++i) {
        out[static_cast<size_t>(i)] = ToCode(plan.base, scale * s);
        const double nextS = s * cs + k * ss;
        k = k * cs - s * ss;
        s = nextS;
    }
}

void ReferenceSaw(const ReferencePlan& plan, std::span<int16_t> out) {
    const double bottom = -plan.amplitude;
    const double height = 2.0 * plan.amplitude;
    const double step = height / static_cast<double>(plan.points - 1);
    double v = plan.falling ? height : 0;
    for (int64_t i = 0; i < plan.points; ++i) {
        out[static_cast<size_t>(i)] = ToCode(plan.base, bottom + v);
        v += plan.falling ? -step : step;
    }
}

void ReferenceTriangle(const ReferencePlan& plan, std::span<int16_t> out) {
    // One period of an even number of points: 0, s, ..., H (at the middle), ..., s.
    const double bottom = -plan.amplitude;
    const double height = 2.0 * plan.amplitude;
    const int64_t half = plan.points / 2;
    double s = height / static_cast<double>(half);
    double v = 0;
    for (int64_t i = 0; i < plan.points; ++i) {
        out[static_cast<size_t>(i)] = ToCode(plan.base, bottom + v);
        v += s;
        if (i == half) {
            v -= 2 * s;
            s = -s;
        }
    }
}

void ReferenceTwoLevel(const ReferencePlan& plan, std::span<int16_t> out) {
    const int16_t low = ClampCode(int64_t{plan.base} - plan.amplitude);
    const int16_t high = ClampCode(int64_t{plan.base} + plan.amplitude);
    for (int64_t i = 0; i < plan.points; ++i)
        out[static_cast<size_t>(i)] = i < plan.highPoints ? high : low;
}

void ReferenceConstant(const ReferencePlan& plan, std::span<int16_t> out) {
    const int16_t level = ClampCode(int64_t{plan.base} + plan.amplitude);
    for (int64_t i = 0; i < plan.points; ++i)
        out[static_cast<size_t>(i)] = level;
}

void ReferenceSequenceNoise(const ReferencePlan& plan, std::span<int16_t> out) {
    const int16_t below = ClampCode(int64_t{plan.base} - plan.amplitude);
    const int16_t above = ClampCode(int64_t{plan.base} + plan.amplitude);
    uint32_t reg = 0x1FE05827u;
    for (int64_t i = 0; i < plan.points; ++i) {
        reg = (reg << 1) | (((reg >> 30) ^ (reg >> 27)) & 1u);
        out[static_cast<size_t>(i)] = (reg & 0x80000000u) != 0 ? below : above;
    }
}

void ReferenceUniformNoise(const ReferencePlan& plan, uint32_t seed, std::span<int16_t> out) {
    NoiseRandom random;
    random.Seed(seed);
    const int64_t a = plan.amplitude;
    for (int64_t i = 0; i < plan.points; ++i)
        out[static_cast<size_t>(i)] = ClampCode(plan.base + random.Next() % (2 * a) - a);
}

void ReferenceGaussianNoise(const ReferencePlan& plan, uint32_t seed, std::span<int16_t> out) {
    NoiseRandom random;
    random.Seed(seed);
    bool sine = (seed & 1u) != 0;
    const double a = plan.amplitude;
    for (int64_t i = 0; i < plan.points; ++i) {
        int32_t r1 = random.Next();
        while (r1 == 0)
            r1 = random.Next();
        const double u1 = r1 / 32767.0;
        const double u2 = random.Next() / 32767.0;
        const double g =
            std::sqrt(-2 * std::log(u1)) * (sine ? std::sin(TwoPi * u2) : std::cos(TwoPi * u2));
        sine = !sine;
        out[static_cast<size_t>(i)] = ClampCode(plan.base + static_cast<int64_t>(a * g));
    }
}

void ReferenceSampleBlock(const ReferencePlan& plan, std::span<const int16_t> data,
                          std::span<int16_t> out) {
    for (int64_t i = 0; i < plan.points; ++i)
        out[static_cast<size_t>(i)] = ClampCode(int64_t{plan.base} + data[static_cast<size_t>(i)]);
}

} // namespace bench
