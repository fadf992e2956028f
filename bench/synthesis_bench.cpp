// Synthesis of every waveform kind through Undula (Prepare, Start, wait for the
// worker, copy into the client's buffer), against memset of the same buffer and a
// straightforward one-sample-at-a-time reference of the same kind. Each iteration
// runs all of them in turn, so the ratios hold on a noisy machine. The generation
// alone (the kind's Generate into a buffer, no thread and no copy) is timed in the
// same iterations as well.
//
// Counters (ratios are speed-ups: above 1 means faster than the baseline; each is
// the median over the iterations of the times measured in that iteration, so that
// a burst of load from other programs moves it little):
//   Msamples_s     samples per second of the Undula path, in millions
//   x_memset       memset time / Undula time
//   x_reference    reference time / Undula time
//   gen_x_memset   memset time / Generate time
//   gen_x_reference reference time / Generate time
//   mismatches     codes of the Undula path that differ from the reference

#include "bench/summary_reporter.h"
#include "bench/synthesis_reference.h"
#include "signal/noise.h"
#include "signal/undula.h"
#include "signal/waveforms.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using bench::ReferencePlan;
using Clock = std::chrono::steady_clock;

constexpr int32_t Amplitude = 8191;
constexpr double TopClock = 1e8;
constexpr float MinClock = 6103.515625f;
constexpr float MaxClock = 1e8f;
constexpr int32_t SinePeriod = 4096; // points per sine period; divides every size

std::vector<double> BoardClocks() {
    std::vector<double> clocks;
    for (int k = 0; k < 15; ++k)
        clocks.push_back(TopClock / std::pow(2.0, k));
    return clocks;
}

struct KindCase {
    const char* name;
    int32_t kind;
    int32_t variant = 0; // noise variant
    bool falling = false;
};

const KindCase kCases[] = {
    {"sine", KindSine},
    {"triangle", KindTriangle},
    {"saw", KindSaw},
    {"saw_falling", KindSaw, 0, true},
    {"meander", KindMeander},
    {"pulse", KindPulse},
    {"constant", KindConstant},
    {"noise_sequence", KindNoise, 0},
    {"noise_uniform", KindNoise, NoiseUniform},
    {"noise_gaussian", KindNoise, NoiseGaussian},
    {"sample_block", KindSampleBlock},
};

// The request of a case at `size` points: one period of `size` points for the
// ramps and the two-level kinds, whole periods of SinePeriod points for the sine,
// the whole memory for the noise and the block.
UndulaRequest CaseRequest(const KindCase& c, int64_t size, int16_t* samples) {
    UndulaRequest request{};
    request.kind = c.kind;
    request.amplitude = Amplitude;
    request.polarity = PolarityBipolar;
    request.sawDirection = c.falling ? 1 : 0;
    request.noiseVariant = c.variant;
    request.frequency = TopClock / static_cast<double>(c.kind == KindSine ? SinePeriod : size);
    request.sampleRate = TopClock;
    request.duration = static_cast<double>(size / 4) / TopClock;
    request.samples = samples;
    request.sampleCount = static_cast<int32_t>(size);
    return request;
}

int32_t CaseMode(const KindCase& c) {
    return c.kind == KindSine ? ModeWholeMemoryAlways : ModeMostPoints;
}

// The reference of a case, writing `plan.points` codes.
std::function<void(std::span<int16_t>)> CaseReference(const KindCase& c, const ReferencePlan& plan,
                                                      const int16_t* data, uint32_t seed) {
    switch (c.kind) {
    case KindSine:
        return [plan](std::span<int16_t> out) { bench::ReferenceSine(plan, out); };
    case KindTriangle:
        return [plan](std::span<int16_t> out) { bench::ReferenceTriangle(plan, out); };
    case KindSaw:
        return [plan](std::span<int16_t> out) { bench::ReferenceSaw(plan, out); };
    case KindMeander:
    case KindPulse:
        return [plan](std::span<int16_t> out) { bench::ReferenceTwoLevel(plan, out); };
    case KindConstant:
        return [plan](std::span<int16_t> out) { bench::ReferenceConstant(plan, out); };
    case KindNoise:
        if (c.variant == NoiseUniform)
            return [plan, seed](std::span<int16_t> out) {
                bench::ReferenceUniformNoise(plan, seed, out);
            };
        if (c.variant == NoiseGaussian)
            return [plan, seed](std::span<int16_t> out) {
                bench::ReferenceGaussianNoise(plan, seed, out);
            };
        return [plan](std::span<int16_t> out) { bench::ReferenceSequenceNoise(plan, out); };
    default:
        return [plan, data](std::span<int16_t> out) {
            bench::ReferenceSampleBlock(
                plan, std::span<const int16_t>(data, static_cast<size_t>(plan.points)), out);
        };
    }
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

void Synthesis(benchmark::State& state, const KindCase& c, int64_t size) {
    const std::vector<double> clocks = BoardClocks();
    const auto clockCount = static_cast<int32_t>(clocks.size());
    const auto capacity = static_cast<int32_t>(size);

    // The client's buffer; the sample block plays it, so it holds a bipolar ramp
    // pattern inside the code range (copied back unchanged every time).
    std::vector<int16_t> client(static_cast<size_t>(size));
    for (size_t i = 0; i < client.size(); ++i)
        client[i] = static_cast<int16_t>(static_cast<int64_t>(i * 7919 % 16383) - 8191);
    const std::vector<int16_t> blockData = client;

    const UndulaRequest pattern = CaseRequest(c, size, client.data());
    int32_t mode = CaseMode(c);

    Undula undula;
    UndulaRequest request = pattern;
    undula.Query(QuerySetRequest, &request);
    undula.Query(QuerySetMode, &mode);
    auto runUndula = [&] {
        request = pattern;
        int32_t points = 0;
        if (undula.Prepare(&request, MinClock, MaxClock, clocks.data(), clockCount, capacity, 0,
                           &points, 0) < 1)
            return -1;
        request.sampleCount = points;
        if (undula.Start(&request, 0, bench::Bits, 0.0, nullptr, nullptr, 0) != 1)
            return -1;
        undula.Query(QueryWait, nullptr);
        int32_t result = 0;
        undula.Query(QueryResult, &result);
        return result == 1 ? points : -1;
    };

    const int32_t points = runUndula();
    if (points < 1) {
        state.SkipWithError("Undula did not generate the case");
        return;
    }
    double perPeriod = 0;
    int32_t periods = 0;
    undula.Query(QueryPointsPerPeriod, &perPeriod);
    undula.Query(QueryPeriods, &periods);

    // The same plan on a waveform object of its own, for the generation alone.
    std::unique_ptr<__MSignal> wave = MakeWaveform(c.kind);
    wave->SetMode(mode);
    UndulaRequest waveRequest = pattern;
    int32_t wavePoints = 0;
    wave->Prepare(&waveRequest, MinClock, MaxClock, clocks.data(), clockCount, capacity, 0,
                  &wavePoints, 0);
    std::vector<int16_t> generated(static_cast<size_t>(wavePoints) + 2);

    ReferencePlan plan;
    plan.points = points;
    plan.periods = periods;
    plan.highPoints =
        c.kind == KindMeander
            ? points / 2
            : static_cast<int64_t>(std::trunc(undula.Query(QuerySampleClock, &perPeriod) == 1
                                                  ? perPeriod * pattern.duration
                                                  : 0));
    plan.amplitude = Amplitude;
    plan.falling = c.falling;
    const uint32_t seed = 12345;
    const auto reference = CaseReference(c, plan, blockData.data(), seed);
    std::vector<int16_t> referenceOut(static_cast<size_t>(points));
    reference(referenceOut);

    // Random noise is seeded from the clock: only the deterministic kinds compare.
    const bool comparable = !(c.kind == KindNoise && c.variant != 0);
    int64_t mismatches = 0;
    for (size_t i = 0; i < referenceOut.size(); ++i)
        mismatches += client[i] != referenceOut[i] ? 1 : 0;

    const size_t bytes = static_cast<size_t>(points) * sizeof(int16_t);
    double undulaTime = 0;
    std::vector<double> xMemset;
    std::vector<double> xReference;
    std::vector<double> genXMemset;
    std::vector<double> genXReference;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        std::memset(client.data(), 0x11, bytes);
        benchmark::ClobberMemory();
        const auto t1 = Clock::now();
        reference(referenceOut);
        benchmark::ClobberMemory();
        const auto t2 = Clock::now();
        wave->Generate(generated.data(), 0, bench::Bits, 0.0);
        benchmark::ClobberMemory();
        const auto t3 = Clock::now();
        if (c.kind == KindSampleBlock)
            std::memcpy(client.data(), blockData.data(), bytes); // the block reads it
        const auto t4 = Clock::now();
        if (runUndula() != points) {
            state.SkipWithError("Undula failed during the run");
            return;
        }
        const auto t5 = Clock::now();
        const double memsetTime = Seconds(t0, t1);
        const double referenceTime = Seconds(t1, t2);
        const double generateTime = Seconds(t2, t3);
        undulaTime += Seconds(t4, t5);
        xMemset.push_back(memsetTime / Seconds(t4, t5));
        xReference.push_back(referenceTime / Seconds(t4, t5));
        genXMemset.push_back(memsetTime / generateTime);
        genXReference.push_back(referenceTime / generateTime);
        state.SetIterationTime(Seconds(t4, t5));
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * points);
    state.counters["points"] = points;
    state.counters["Msamples_s"] = iterations * points / undulaTime / 1e6;
    state.counters["x_memset"] = Median(xMemset);
    state.counters["x_reference"] = Median(xReference);
    state.counters["gen_x_memset"] = Median(genXMemset);
    state.counters["gen_x_reference"] = Median(genXReference);
    if (comparable)
        state.counters["mismatches"] = static_cast<double>(mismatches);
}

int64_t IterationsFor(int64_t size) {
    if (size <= 65536)
        return 200;
    if (size <= 1048576)
        return 20;
    return 3;
}

} // namespace

int main(int argc, char** argv) {
    for (const KindCase& c : kCases) {
        for (const int64_t size : {int64_t{65536}, int64_t{1048576}, int64_t{16777216}}) {
            const std::string name =
                std::string("synthesis/") + c.name + "/" + std::to_string(size);
            benchmark::RegisterBenchmark(
                name.c_str(), [&c, size](benchmark::State& state) { Synthesis(state, c, size); })
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->Iterations(IterationsFor(size));
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bench::SummaryReporter reporter(
        "Synthesis through Undula: speed-ups over memset and the plain reference",
        {{"points", "points", 0},
         {"Msamples_s", "Msamples/s", 1},
         {"x_memset", "x memset", 3},
         {"x_reference", "x reference", 2},
         {"gen_x_memset", "gen x memset", 3},
         {"gen_x_reference", "gen x ref", 2},
         {"mismatches", "mismatches", 0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
