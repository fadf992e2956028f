// Start-up: the time from spawning a process to its main window's first paint, for
// the program (startup_probe_generator: the program's start-up on the simulated PCI
// board, offscreen) and for a bare Qt Widgets program with one window
// (startup_probe_bare), spawned in turn in every iteration.
//
// Counters (medians over the iterations):
//   generator_ms   process start to the main window shown
//   bare_ms        the same for the bare Qt program
//   x_bare         generator time / bare time of the same iteration (target: at most 2)

#include "bench/summary_reporter.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// A folder of the run's own: the registry of the built components, the settings
// (the PCI board) and the simulator's output.
class StartupFolder {
public:
    StartupFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "startup-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        folder_ = pattern;
        std::filesystem::create_directories(folder_ / "sim");
        struct Component {
            const char* category;
            const char* name;
            const char* library;
        };
        const Component components[] = {
            {"Base library", "UndulaN", UNDULAN_LIBRARY},
            {"Base library", "NIVELL", NIVELL_LIBRARY},
            {"Base library", "LUPEX", LUPEX_LIBRARY},
            {"Drivers", "KORD77PCI", KORD77PCI_LIBRARY},
            {"Drivers", "KORD77USB", KORD77USB_LIBRARY},
            {"Drivers", "KORD77ISA", KORD77ISA_LIBRARY},
        };
        std::ofstream registry(folder_ / "registry.reg");
        for (const Component& c : components) {
            registry << "[SOFTWARE\\Quorvel LTD\\" << c.category << "\\1.0\\" << c.name << "]\n"
                     << "\"path\"=\"" << c.library << "\"\n\n";
        }
        std::ofstream(folder_ / "generator.cfg") << "DeviceName = \"KORD77PCI\"\n";
        ::setenv("QUORVEL_REGISTRY", (folder_ / "registry.reg").c_str(), 1);
        ::setenv("KORD77_SIM_OUT", (folder_ / "sim").c_str(), 1);
        ::unsetenv("KORD77_SIM_CONFIG");
        ::unsetenv("KORD77_SIM_STATE");
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    ~StartupFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    StartupFolder(const StartupFolder&) = delete;
    StartupFolder& operator=(const StartupFolder&) = delete;

    std::string ProgramPath() const { return (folder_ / "generator").string(); }

private:
    std::filesystem::path folder_;
};

// Spawns the program and returns the seconds until it wrote "shown", or a negative
// number when it ended without it. Waits for the program to end.
double SecondsToShown(const std::vector<std::string>& arguments) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const auto start = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    double seconds = -1;
    if (spawned == 0) {
        std::string output;
        char chunk[256];
        ssize_t got = 0;
        while (output.find("shown\n") == std::string::npos &&
               (got = ::read(pipeEnds[0], chunk, sizeof chunk)) > 0) {
            output.append(chunk, static_cast<size_t>(got));
        }
        if (output.find("shown\n") != std::string::npos)
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            seconds = -1;
    }
    ::close(pipeEnds[0]);
    return seconds;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

void Startup(benchmark::State& state) {
    StartupFolder folder;
    const std::vector<std::string> generator{PROBE_GENERATOR, folder.ProgramPath()};
    const std::vector<std::string> bare{PROBE_BARE};
    // One start of each first, so that no iteration pays for a cold disk cache.
    if (SecondsToShown(bare) < 0 || SecondsToShown(generator) < 0) {
        state.SkipWithError("a probe program did not show its window");
        return;
    }
    std::vector<double> generatorTimes;
    std::vector<double> bareTimes;
    std::vector<double> ratios;
    for (auto _ : state) {
        const double bareTime = SecondsToShown(bare);
        const double generatorTime = SecondsToShown(generator);
        if (bareTime <= 0 || generatorTime <= 0) {
            state.SkipWithError("a probe program did not show its window");
            return;
        }
        bareTimes.push_back(bareTime);
        generatorTimes.push_back(generatorTime);
        ratios.push_back(generatorTime / bareTime);
        state.SetIterationTime(generatorTime);
    }
    state.counters["generator_ms"] = Median(generatorTimes) * 1e3;
    state.counters["bare_ms"] = Median(bareTimes) * 1e3;
    state.counters["x_bare"] = Median(ratios);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("startup/generator_vs_bare_qt", Startup)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(15);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bench::SummaryReporter reporter(
        "Start-up to the main window shown (offscreen, simulated PCI board) against a bare "
        "Qt Widgets window",
        {{"generator_ms", "program ms", 1}, {"bare_ms", "bare Qt ms", 1}, {"x_bare", "x bare", 2}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
