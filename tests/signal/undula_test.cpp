// The signal object: planning through it, the worker thread, the copy into the
// client's buffer, queries, cancellation and destruction during a computation.

#include "signal/sine.h"
#include "signal/undula.h"
#include "signal/waveforms.h"
#include "tests/signal/board_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr int16_t Untouched = 0x5A5A;

struct Board {
    std::array<double, 15> clocks = StandardClocks();
    int32_t capacity = 1 << 20;
};

UndulaRequest Sine(double frequency, int32_t amplitude, std::vector<int16_t>& buffer) {
    UndulaRequest r{};
    r.kind = KindSine;
    r.amplitude = amplitude;
    r.frequency = frequency;
    r.polarity = PolarityBipolar;
    r.samples = buffer.data();
    return r;
}

int32_t Prepare(IUndula& u, UndulaRequest& r, const Board& b, uint8_t single = 0) {
    int32_t points = 0;
    const int32_t result = u.Prepare(&r, StandardMinClock, StandardMaxClock, b.clocks.data(), 15,
                                     b.capacity, 0, &points, single);
    r.sampleCount = points;
    return result;
}

TEST(Undula, ComputesTheSameCodesAsTheWaveformAndAnswersQueries) {
    Board board;
    Undula u;
    std::vector<int16_t> buffer(static_cast<size_t>(board.capacity) + 2, Untouched);
    UndulaRequest r = Sine(1000, 4000, buffer);
    int32_t mode = ModeWholeMemory;
    ASSERT_EQ(u.Query(QuerySetRequest, &r), 1);
    ASSERT_EQ(u.Query(QuerySetMode, &mode), 1);
    ASSERT_EQ(Prepare(u, r, board), 1);
    ASSERT_EQ(u.Start(&r, 7, 14, 0.0, nullptr, nullptr, 0), 1);
    ASSERT_EQ(u.Query(QueryWait, nullptr), 1);

    // The same plan and codes from a waveform object of our own.
    __MSine2 reference;
    reference.SetMode(ModeWholeMemory);
    UndulaRequest r2 = r;
    r2.frequency = 1000;
    int32_t points = 0;
    ASSERT_EQ(reference.Prepare(&r2, StandardMinClock, StandardMaxClock, board.clocks.data(), 15,
                                board.capacity, 0, &points, 0),
              1);
    ASSERT_EQ(points, r.sampleCount);
    std::vector<int16_t> expected(static_cast<size_t>(points));
    ASSERT_EQ(reference.Generate(expected.data(), 7, 14, 0.0), 1);
    ASSERT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin()));
    EXPECT_EQ(buffer[points], Untouched);

    int32_t value = 0;
    double real = 0;
    EXPECT_EQ(u.Query(QueryPrepared, &value), 1);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(u.Query(QueryResult, &value), 1);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(u.Query(QuerySampleClock, &real), 1);
    EXPECT_DOUBLE_EQ(real, reference.SampleClock());
    EXPECT_EQ(u.Query(QueryPointsPerPeriod, &real), 1);
    EXPECT_DOUBLE_EQ(real, reference.PointsPerPeriod());
    EXPECT_EQ(u.Query(QueryPeriods, &value), 1);
    EXPECT_EQ(value, reference.Periods());
    EXPECT_GT(value, 1);
    EXPECT_EQ(u.Query(QueryLowestAllowed, &value), 1);
    EXPECT_EQ(value, -8192);
    EXPECT_EQ(u.Query(QueryHighestAllowed, &value), 1);
    EXPECT_EQ(value, 8191);
    EXPECT_EQ(u.Query(QueryLowestWritten, &value), 1);
    EXPECT_EQ(value, 7 - 4000);
    EXPECT_EQ(u.Query(QueryHighestWritten, &value), 1);
    EXPECT_EQ(value, 7 + 4000);
}

TEST(Undula, PrepareReportsAMovedRequest) {
    Board board;
    Undula u;
    std::vector<int16_t> buffer(16);
    UndulaRequest r = Sine(9e7, 100, buffer);
    EXPECT_EQ(Prepare(u, r, board), 2);
    EXPECT_DOUBLE_EQ(r.frequency, 5e7);
    EXPECT_DOUBLE_EQ(r.realisedFrequency, 5e7);
    r.frequency = -1;
    EXPECT_EQ(Prepare(u, r, board), -1);
}

TEST(Undula, QueriesNeedARequest) {
    Undula u;
    int32_t value = 0;
    for (int32_t code : {5, 6, 10, 20, 21, 22, 23, 24, 30, 75, 100, 101, 102})
        EXPECT_EQ(u.Query(code, &value), -1) << code;
    EXPECT_EQ(u.Query(QuerySetRequest, nullptr), -1);
    // Module information needs no request.
    EXPECT_EQ(u.Query(QueryMajor, &value), 1);
    const char* text = nullptr;
    EXPECT_EQ(u.Query(QueryFileName, &text), 1);
    EXPECT_NE(text, nullptr);

    UndulaRequest r{};
    ASSERT_EQ(u.Query(QuerySetRequest, &r), 1);
    EXPECT_EQ(u.Query(QueryPrepared, &value), 1);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(u.Query(QueryAccepted, nullptr), 1);
    EXPECT_EQ(u.Query(7, &value), -1);
    EXPECT_EQ(u.Query(QuerySampleClock, nullptr), -1);
    r.kind = 99;
    EXPECT_EQ(u.Query(QueryPrepared, &value), -1);
}

TEST(Undula, StartChecksItsArguments) {
    Board board;
    board.capacity = 1000;
    Undula u;
    std::vector<int16_t> buffer(1002, Untouched);
    UndulaRequest r = Sine(1000, 100, buffer);
    ASSERT_GE(Prepare(u, r, board), 1);
    const int32_t points = r.sampleCount;

    r.sampleCount = points + 1;
    EXPECT_EQ(u.Start(&r, 0, 14, 0, nullptr, nullptr, 0), -2);
    r.sampleCount = -1;
    EXPECT_EQ(u.Start(&r, 0, 14, 0, nullptr, nullptr, 0), -1);
    r.sampleCount = points;
    EXPECT_EQ(u.Start(&r, 0, 0, 0, nullptr, nullptr, 0), -1);
    EXPECT_EQ(u.Start(&r, 0, 17, 0, nullptr, nullptr, 0), -1);
    r.samples = nullptr;
    EXPECT_EQ(u.Start(&r, 0, 14, 0, nullptr, nullptr, 0), -1);
    EXPECT_EQ(u.Start(nullptr, 0, 14, 0, nullptr, nullptr, 0), -1);
    EXPECT_TRUE(
        std::all_of(buffer.begin(), buffer.end(), [](int16_t c) { return c == Untouched; }));

    // Fewer samples than planned is allowed: only that many are copied.
    r.samples = buffer.data();
    r.sampleCount = 10;
    ASSERT_EQ(u.Start(&r, 0, 14, 0, nullptr, nullptr, 0), 1);
    u.Query(QueryWait, nullptr);
    EXPECT_EQ(buffer[10], Untouched);
    EXPECT_NE(std::count(buffer.begin(), buffer.begin() + 10, Untouched), 10);
}

TEST(Undula, WorkBufferGrowsAndNeverShrinks) {
    Board board;
    Undula u;
    std::vector<int16_t> buffer(16);
    UndulaRequest r = Sine(1000, 100, buffer);
    board.capacity = 5000;
    ASSERT_GE(Prepare(u, r, board), 1);
    const size_t first = u.WorkCapacity();
    EXPECT_GE(first, 5002u);
    board.capacity = 20000;
    ASSERT_GE(Prepare(u, r, board), 1);
    EXPECT_GE(u.WorkCapacity(), 20002u);
    const size_t second = u.WorkCapacity();
    board.capacity = 3000;
    ASSERT_GE(Prepare(u, r, board), 1);
    EXPECT_EQ(u.WorkCapacity(), second);
}

struct CompletionLog {
    std::atomic<int> calls{0};
    std::atomic<int32_t> count{0};
    std::atomic<int16_t*> samples{nullptr};
    std::atomic<std::thread::id> thread{};
};

int32_t OnDone(void* context, int16_t* samples, int32_t count, const std::atomic<uint8_t>* cancel) {
    auto* log = static_cast<CompletionLog*>(context);
    EXPECT_EQ(cancel->load(), 0);
    log->samples = samples;
    log->count = count;
    log->thread = std::this_thread::get_id();
    ++log->calls;
    return 0;
}

TEST(Undula, CompletionRunsOnTheWorkerWithTheCopiedSamples) {
    Board board;
    Undula u;
    std::vector<int16_t> buffer(static_cast<size_t>(board.capacity) + 2);
    UndulaRequest r = Sine(1000, 100, buffer);
    ASSERT_GE(Prepare(u, r, board), 1);
    CompletionLog log;
    ASSERT_EQ(u.Start(&r, 0, 14, 0, OnDone, &log, 0), 1);
    u.Query(QueryWait, nullptr);
    EXPECT_EQ(log.calls.load(), 1);
    EXPECT_EQ(log.samples.load(), buffer.data());
    EXPECT_EQ(log.count.load(), r.sampleCount);
    EXPECT_NE(log.thread.load(), std::this_thread::get_id());
}

// Once Cancel returns, the cancelled computation never writes the client's buffer,
// even when a new computation starts on the same object right away.
TEST(Undula, CancelledComputationNeverWritesAfterCancel) {
    Board board;
    board.capacity = 1 << 20;
    Undula u;
    int32_t mode = ModeWholeMemory;
    for (int round = 0; round < 12; ++round) {
        std::vector<int16_t> first(static_cast<size_t>(board.capacity) + 2, Untouched);
        std::vector<int16_t> second(static_cast<size_t>(board.capacity) + 2, Untouched);
        UndulaRequest a = Sine(1000 + round, 8000, first);
        u.Query(QuerySetRequest, &a);
        u.Query(QuerySetMode, &mode);
        ASSERT_GE(Prepare(u, a, board), 1);
        ASSERT_EQ(u.Start(&a, 0, 14, 0, nullptr, nullptr, 0), 1);
        if (round % 2 != 0)
            std::this_thread::yield();
        u.Cancel();
        const std::vector<int16_t> atCancel = first;

        UndulaRequest b = Sine(3000, 50, second);
        ASSERT_GE(Prepare(u, b, board), 1);
        b.sampleCount = 1000;
        ASSERT_EQ(u.Start(&b, 0, 14, 0, nullptr, nullptr, 0), 1);
        ASSERT_EQ(u.Query(QueryWait, nullptr), 1);
        EXPECT_EQ(first, atCancel) << "round " << round;
        EXPECT_NE(second[5], Untouched);
        EXPECT_EQ(second[1000], Untouched);
        int32_t result = 0;
        u.Query(QueryResult, &result);
        EXPECT_EQ(result, 1);
    }
}

// Many Start / Cancel / Start sequences from one client thread while another thread
// polls queries; the last computation's samples are the ones that arrive.
TEST(Undula, StartCancelStress) {
    Board board;
    board.capacity = 1 << 16;
    Undula u;
    std::vector<int16_t> expected(static_cast<size_t>(board.capacity) + 2);
    {
        __MSine2 reference;
        UndulaRequest r{};
        r.kind = KindSine;
        r.amplitude = 1234;
        r.frequency = 777;
        r.polarity = PolarityBipolar;
        int32_t points = 0;
        reference.Prepare(&r, StandardMinClock, StandardMaxClock, board.clocks.data(), 15,
                          board.capacity, 0, &points, 0);
        reference.Generate(expected.data(), 0, 14, 0);
        expected.resize(static_cast<size_t>(points));
    }
    std::atomic<bool> stop{false};
    UndulaRequest polled{};
    polled.kind = KindSine;
    u.Query(QuerySetRequest, &polled);
    std::thread poller([&] {
        double value = 0;
        while (!stop)
            u.Query(QueryPointsPerPeriod, &value);
    });
    std::vector<int16_t> buffer(static_cast<size_t>(board.capacity) + 2);
    // One record whose kind stays put: the poller reads the kind of the remembered
    // request, the client changes only the other fields.
    UndulaRequest r = Sine(500, 1000, buffer);
    for (int i = 0; i < 200; ++i) {
        r.frequency = 500 + i;
        r.amplitude = 1000 + i;
        ASSERT_GE(Prepare(u, r, board), 1);
        ASSERT_EQ(u.Start(&r, 0, 14, 0, nullptr, nullptr, 0), 1);
        if (i % 3 == 0)
            u.Cancel();
        if (i % 5 == 0)
            u.Query(QueryWait, nullptr);
    }
    r.frequency = 777;
    r.amplitude = 1234;
    ASSERT_GE(Prepare(u, r, board), 1);
    ASSERT_EQ(u.Start(&r, 0, 14, 0, nullptr, nullptr, 0), 1);
    u.Query(QueryWait, nullptr);
    stop = true;
    poller.join();
    ASSERT_EQ(static_cast<size_t>(r.sampleCount), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin()));
}

// Destroying the object while it computes, with and without a Cancel first, waits
// for every worker it started: nothing runs on freed memory afterwards.
TEST(Undula, DestructionDuringComputationWaitsForWorkers) {
    Board board;
    board.capacity = 1 << 22;
    int32_t mode = ModeWholeMemory;
    for (int round = 0; round < 6; ++round) {
        std::vector<int16_t> buffer(static_cast<size_t>(board.capacity) + 2);
        auto u = std::make_unique<Undula>();
        UndulaRequest r = Sine(1000, 8000, buffer);
        u->Query(QuerySetRequest, &r);
        u->Query(QuerySetMode, &mode);
        ASSERT_GE(Prepare(*u, r, board), 1);
        ASSERT_EQ(u->Start(&r, 0, 14, 0, nullptr, nullptr, 0), 1);
        if (round % 2 == 0) {
            u->Cancel();
            ASSERT_EQ(u->Start(&r, 0, 14, 0, nullptr, nullptr, 0), 1);
            u->Cancel();
        }
        u.reset();
    }
}

// The fill kinds are written straight into the client's buffer when it takes every
// planned point; with fewer codes asked they go through the work buffer. Either way
// the client gets the waveform's first codes and nothing past them, and a cancelled
// computation writes nothing after Cancel returns.
TEST(Undula, FillKindsWriteTheCodesAskedAndNothingAfterCancel) {
    Board board;
    board.capacity = 1 << 20;
    for (const int32_t kind : {KindMeander, KindPulse, KindConstant}) {
        for (const bool fewer : {false, true}) {
            Undula u;
            std::vector<int16_t> buffer(static_cast<size_t>(board.capacity) + 2, Untouched);
            UndulaRequest r{};
            r.kind = kind;
            r.amplitude = 3000;
            r.frequency = 1000;
            r.polarity = PolarityBipolar;
            r.duration = 2e-4;
            r.samples = buffer.data();
            int32_t mode = ModeWholeMemory;
            ASSERT_EQ(u.Query(QuerySetRequest, &r), 1);
            ASSERT_EQ(u.Query(QuerySetMode, &mode), 1);
            ASSERT_GE(Prepare(u, r, board), 1);
            const int32_t points = r.sampleCount;
            ASSERT_GE(points, 3); // the constant level's plan holds 4 points
            auto reference = MakeWaveform(kind);
            reference->SetMode(mode);
            UndulaRequest again = r;
            int32_t referencePoints = 0;
            ASSERT_GE(reference->Prepare(&again, StandardMinClock, StandardMaxClock,
                                         board.clocks.data(), 15, board.capacity, 0,
                                         &referencePoints, 0),
                      1);
            ASSERT_EQ(referencePoints, points);
            std::vector<int16_t> expected(static_cast<size_t>(points) + 2, Untouched);
            ASSERT_EQ(reference->Generate(expected.data(), 9, 14, 0.0), 1);

            if (fewer)
                r.sampleCount = points / 3;
            ASSERT_EQ(u.Start(&r, 9, 14, 0.0, nullptr, nullptr, 0), 1);
            ASSERT_EQ(u.Query(QueryWait, nullptr), 1);
            const auto count = static_cast<size_t>(r.sampleCount);
            EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + static_cast<long>(count),
                                   expected.begin()))
                << "kind " << kind << " fewer " << fewer;
            EXPECT_TRUE(std::all_of(buffer.begin() + static_cast<long>(count), buffer.end(),
                                    [](int16_t code) { return code == Untouched; }))
                << "kind " << kind << " fewer " << fewer;

            // Started again into a fresh buffer and cancelled at once.
            std::vector<int16_t> cancelled(buffer.size(), Untouched);
            r.samples = cancelled.data();
            ASSERT_EQ(u.Start(&r, 9, 14, 0.0, nullptr, nullptr, 0), 1);
            u.Cancel();
            const std::vector<int16_t> atCancel = cancelled;
            // The next Start joins the cancelled worker.
            std::vector<int16_t> last(16, Untouched);
            r.samples = last.data();
            r.sampleCount = std::min(points, 8);
            ASSERT_EQ(u.Start(&r, 9, 14, 0.0, nullptr, nullptr, 0), 1);
            ASSERT_EQ(u.Query(QueryWait, nullptr), 1);
            EXPECT_EQ(cancelled, atCancel) << "kind " << kind;
        }
    }
}

} // namespace
