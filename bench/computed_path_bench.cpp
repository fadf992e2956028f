// The computed path of a full-memory sine on the simulated PCI board with 16,777,216
// samples of memory: from the Start action (GenerationControl::StartButtonClick) to
// StartOutput, all on the calling (main) thread, as the window runs it. The signal
// object and the driver are wrapped to time their calls; the generation of the
// same plan by a waveform object of its own, in the same iteration, splits the
// worker's time into generation and copies.
//
// Counters (milliseconds, medians over the iterations):
//   blocked_ms     the whole Start action: the time the main thread is blocked
//   plan_ms        from the action to the signal object's Start: amplitude, plan
//                  (Prepare), board settings
//   generation_ms  the waveform's Generate of the same plan alone
//   copies_ms      the rest of the wait for the worker: the signal object's copy
//                  into the program's buffer, the completion's copy, thread start
//   completion_ms  of which the completion's copy
//   load_ms        LoadSamples of the buffer into the board
//   start_ms       StartOutput
//   rest_ms        everything else (cancelling, settings applied again, results)

#include "bench/summary_reporter.h"
#include "signal/sine.h"
#include "tests/app/board/generation_rig.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The signal object with its Start and completion timed.
class TimedSignal final : public IUndula {
public:
    explicit TimedSignal(IUndula* inner) : inner_(inner) {}

    int32_t Prepare(UndulaRequest* request, float minClock, float maxClock, const double* clocks,
                    int32_t clockCount, int32_t capacity, uint8_t evenFlag, int32_t* pointCount,
                    uint8_t singlePlay) override {
        return inner_->Prepare(request, minClock, maxClock, clocks, clockCount, capacity, evenFlag,
                               pointCount, singlePlay);
    }
    int32_t Start(UndulaRequest* request, int32_t base, int32_t bits, double phase,
                  UndulaCompletion completion, void* context, int32_t reserved) override {
        started = Clock::now();
        completion_ = completion;
        context_ = context;
        return inner_->Start(request, base, bits, phase, &Completion, this, reserved);
    }
    int32_t Query(int32_t code, void* data) override {
        const int32_t result = inner_->Query(code, data);
        if (code == QueryWait)
            waited = Clock::now();
        return result;
    }
    int32_t Cancel() override { return inner_->Cancel(); }

    Clock::time_point started;
    Clock::time_point completionBegun;
    Clock::time_point completionEnded;
    Clock::time_point waited;

private:
    static int32_t Completion(void* context, int16_t* samples, int32_t count,
                              const std::atomic<uint8_t>* cancel) {
        auto* self = static_cast<TimedSignal*>(context);
        self->completionBegun = Clock::now();
        int32_t result = 1;
        if (self->completion_ != nullptr)
            result = self->completion_(self->context_, samples, count, cancel);
        self->completionEnded = Clock::now();
        return result;
    }

    IUndula* inner_;
    UndulaCompletion completion_ = nullptr;
    void* context_ = nullptr;
};

// The driver with LoadSamples and StartOutput timed.
class TimedDevice final : public IADCDevice {
public:
    explicit TimedDevice(IADCDevice* inner) : inner_(inner) {}

    int32_t Reserved0() override { return inner_->Reserved0(); }
    int32_t Release() override { return 0; } // the rig releases the real one
    int32_t OpenBoard(int32_t id, int32_t a, int32_t b, int32_t c) override {
        return inner_->OpenBoard(id, a, b, c);
    }
    int32_t Reserved3() override { return inner_->Reserved3(); }
    int32_t ApplySettings(int32_t what, BoardSettings* settings, float* clock) override {
        return inner_->ApplySettings(what, settings, clock);
    }
    int32_t StartOutput() override {
        startBegun = Clock::now();
        const int32_t result = inner_->StartOutput();
        startEnded = Clock::now();
        return result;
    }
    int32_t StopOutput() override { return inner_->StopOutput(); }
    int32_t LoadSamples(int32_t format, const int16_t* samples, int32_t count,
                        int32_t reserved) override {
        loadBegun = Clock::now();
        const int32_t result = inner_->LoadSamples(format, samples, count, reserved);
        loadEnded = Clock::now();
        loadedCount = count;
        return result;
    }
    int32_t Reserved8() override { return inner_->Reserved8(); }
    int32_t Control(int32_t code, void* data) override { return inner_->Control(code, data); }

    Clock::time_point loadBegun;
    Clock::time_point loadEnded;
    Clock::time_point startBegun;
    Clock::time_point startEnded;
    int32_t loadedCount = 0;

private:
    IADCDevice* inner_;
};

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

void ComputedPath(benchmark::State& state) {
    using gentest::Rig;
    Rig rig(gentest::Driver("KORD77PCI", "memory = 16777216\n"));
    if (rig.board.limits.memory != 16777216) {
        state.SkipWithError("the simulated board did not take 16M samples of memory");
        return;
    }
    TimedDevice device(rig.board.device);
    rig.board.device = &device;
    TimedSignal signal(rig.signal.get());
    GenerationContext context = rig.Context();
    context.signal = &signal;
    auto control = std::make_unique<GenerationControl>(context);
    control->AllocateBuffer(rig.board.limits.memory);
    rig.model.Params().quality = QualityWholeMemory;
    rig.Synthesised(signal_type::Sine, 1000, 4.0, 0.0, polarity::Bipolar);

    std::vector<double> blocked, plan, generation, copies, completion, load, start, rest;
    std::vector<int16_t> generated;
    int32_t loaded = 0;
    for (auto _ : state) {
        rig.model.Params().recomputeNeeded = true;
        device.loadedCount = 0;
        const auto begin = Clock::now();
        control->StartButtonClick();
        const auto end = Clock::now();
        // The whole-memory plan holds whole periods: nearly all of the memory.
        if (control->BoardStopped() || device.loadedCount < rig.board.limits.memory / 2) {
            std::fprintf(stderr, "running %d, loaded %d samples, boxes shown: %zu\n",
                         control->BoardStopped() ? 0 : 1, device.loadedCount, rig.Shown().size());
            for (const std::string& text : rig.Shown())
                std::fprintf(stderr, "  %s\n", text.c_str());
            state.SkipWithError("the start did not load the memory and start the output");
            break;
        }
        loaded = device.loadedCount;

        // The same plan generated alone.
        __MSine2 sine;
        sine.SetMode(QualityWholeMemory);
        UndulaRequest request = control->Request();
        const auto tables = rig.board.Tables();
        int32_t points = 0;
        sine.Prepare(&request, tables.minClock, tables.maxClock, tables.clocks,
                     tables.clockCount - 1, tables.memory, tables.evenLength ? 1 : 0, &points,
                     request.singlePlay);
        generated.resize(static_cast<size_t>(points) + 2);
        const auto generateBegin = Clock::now();
        sine.Generate(generated.data(), control->OffsetCode(), rig.model.Scale().codeBits, 0.0);
        const double generateMs = Ms(Clock::now() - generateBegin);

        blocked.push_back(Ms(end - begin));
        plan.push_back(Ms(signal.started - begin));
        generation.push_back(generateMs);
        copies.push_back(Ms(signal.waited - signal.started) - generateMs);
        completion.push_back(Ms(signal.completionEnded - signal.completionBegun));
        load.push_back(Ms(device.loadEnded - device.loadBegun));
        start.push_back(Ms(device.startEnded - device.startBegun));
        rest.push_back(Ms(end - begin) - Ms(signal.waited - begin) -
                       Ms(device.loadEnded - device.loadBegun) -
                       Ms(device.startEnded - device.startBegun));
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
        control->StartButtonClick(); // Stop
    }
    control->Shutdown();
    state.counters["points"] = loaded;
    state.counters["blocked_ms"] = Median(blocked);
    state.counters["plan_ms"] = Median(plan);
    state.counters["generation_ms"] = Median(generation);
    state.counters["copies_ms"] = Median(copies);
    state.counters["completion_ms"] = Median(completion);
    state.counters["load_ms"] = Median(load);
    state.counters["start_ms"] = Median(start);
    state.counters["rest_ms"] = Median(rest);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("computed_path/sine_16M", ComputedPath)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bench::SummaryReporter reporter(
        "Computed path, Start to StartOutput, full-memory sine on a 16M-sample simulated board: "
        "main thread blocked (target 50 ms)",
        {{"points", "points", 0},
         {"blocked_ms", "blocked ms", 1},
         {"plan_ms", "plan", 1},
         {"generation_ms", "generation", 1},
         {"copies_ms", "copies", 1},
         {"completion_ms", "of which completion", 1},
         {"load_ms", "load", 1},
         {"start_ms", "StartOutput", 1},
         {"rest_ms", "rest", 1}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
