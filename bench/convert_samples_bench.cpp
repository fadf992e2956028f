// ConvertSamples of a 1 MiB data file (524,288 16-bit words) for every layout,
// offset and consumer, against memcpy of the same bytes in the same iterations.
//
// Counters:
//   MB_s       megabytes of file per second through ConvertSamples
//   x_memcpy   memcpy time / ConvertSamples time (above 1: faster than memcpy): the
//              median over the iterations of the two times measured back to back,
//              so that a burst of load from other programs moves it little

#include "app/params/convert_samples.h"
#include "bench/summary_reporter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kWords = 524288; // 1 MiB of file

struct ConversionCase {
    std::string name;
    FileSampleLayout layout;
    bool offsetZero;
    bool forDisplay;
    bool forFlash;
};

std::vector<ConversionCase> Cases() {
    std::vector<ConversionCase> cases;
    struct Layout {
        const char* name;
        FileSampleLayout layout;
    };
    const Layout layouts[] = {
        {"16bit_signed", {true, false, false}},     {"16bit_unsigned", {true, true, false}},
        {"16bit_signed_null", {true, false, true}}, {"16bit_unsigned_null", {true, true, true}},
        {"8bit_signed", {false, false, false}},     {"8bit_unsigned", {false, true, false}},
    };
    struct Consumer {
        const char* name;
        bool forDisplay;
        bool forFlash;
    };
    const Consumer consumers[] = {
        {"output", false, false}, {"flash", false, true}, {"display", true, false}};
    for (const Layout& layout : layouts) {
        for (const bool offsetZero : {true, false}) {
            for (const Consumer& consumer : consumers) {
                cases.push_back({std::string(layout.name) +
                                     (offsetZero ? "/offset0/" : "/offset/") + consumer.name,
                                 layout.layout, offsetZero, consumer.forDisplay,
                                 consumer.forFlash});
            }
        }
    }
    return cases;
}

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

void Convert(benchmark::State& state, const ConversionCase& c) {
    std::vector<uint8_t> file(2 * kWords);
    uint32_t noise = 12345;
    for (uint8_t& byte : file) {
        noise = noise * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(noise >> 24);
    }
    SampleConversion conversion;
    conversion.layout = c.layout;
    conversion.offsetZero = c.offsetZero;
    conversion.offsetCode = c.offsetZero ? 0 : OffsetCode(1.25, 10.0);
    std::vector<int16_t> converted(ConvertedWords(c.layout, kWords, c.forDisplay, c.forFlash));
    std::vector<uint8_t> copied(file.size());
    // Touch both destinations once, so that no iteration pays for first use.
    std::memcpy(copied.data(), file.data(), file.size());
    if (!ConvertSamples(file, converted, kWords, conversion, c.forDisplay, c.forFlash)) {
        state.SkipWithError("ConvertSamples refused the case");
        return;
    }
    double convertTime = 0;
    std::vector<double> ratios;
    ratios.reserve(static_cast<std::size_t>(state.max_iterations));
    for (auto _ : state) {
        const auto t0 = Clock::now();
        std::memcpy(copied.data(), file.data(), file.size());
        benchmark::ClobberMemory();
        const auto t1 = Clock::now();
        ConvertSamples(file, converted, kWords, conversion, c.forDisplay, c.forFlash);
        benchmark::ClobberMemory();
        const auto t2 = Clock::now();
        convertTime += Seconds(t1, t2);
        ratios.push_back(Seconds(t0, t1) / Seconds(t1, t2));
        state.SetIterationTime(Seconds(t1, t2));
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(file.size()));
    state.counters["MB_s"] = iterations * static_cast<double>(file.size()) / convertTime / 1e6;
    std::nth_element(ratios.begin(),
                     ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2), ratios.end());
    state.counters["x_memcpy"] = ratios[ratios.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    static const std::vector<ConversionCase> cases = Cases();
    for (const ConversionCase& c : cases) {
        benchmark::RegisterBenchmark(("convert/" + c.name).c_str(),
                                     [&c](benchmark::State& state) { Convert(state, c); })
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond)
            ->Iterations(200);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bench::SummaryReporter reporter(
        "ConvertSamples of 1 MiB: speed-up over memcpy of the same bytes",
        {{"MB_s", "MB/s", 0}, {"x_memcpy", "x memcpy", 3}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
