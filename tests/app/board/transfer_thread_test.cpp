// SendSamples and the transfer thread against a recording driver: the chunks, the
// progress counter as the driver sees it during each call, abort, failures and
// exceptions, and the main thread reading the shared bytes while the thread runs
// (run under the thread sanitizer in a -DSANITIZE=thread build).

#include "app/board/completion_copy.h"
#include "app/board/transfer_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// A driver that records every LoadSamples and StartOutput, and what the progress
// counter read during each LoadSamples. Any thread may call it.
class RecordingDevice final : public IADCDevice {
public:
    int32_t Reserved0() override { return 0; }
    int32_t Release() override { return 0; }
    int32_t OpenBoard(int32_t, int32_t, int32_t, int32_t) override { return 1; }
    int32_t Reserved3() override { return 0; }
    int32_t ApplySettings(int32_t, BoardSettings*, float*) override { return 1; }
    int32_t StartOutput() override {
        std::lock_guard lock(mutex);
        ++starts;
        return startResult;
    }
    int32_t StopOutput() override { return 1; }
    int32_t LoadSamples(int32_t format, const int16_t* samples, int32_t count, int32_t) override {
        std::lock_guard lock(mutex);
        formats.push_back(format);
        counts.push_back(count);
        received.insert(received.end(), samples, samples + count);
        if (progress != nullptr) {
            progressSeen.push_back(progress->load());
        }
        if (onLoad) {
            onLoad(static_cast<int>(counts.size()));
        }
        if (throwAt == static_cast<int>(counts.size())) {
            throw std::runtime_error("driver failure");
        }
        return failAt == static_cast<int>(counts.size()) ? 0 : 1;
    }
    int32_t Reserved8() override { return 0; }
    int32_t Control(int32_t, void* data) override {
        if (data != nullptr) {
            *static_cast<int32_t*>(data) = 0;
        }
        return 1;
    }

    std::mutex mutex;
    std::vector<int32_t> formats;
    std::vector<int32_t> counts;
    std::vector<int16_t> received;
    std::vector<int32_t> progressSeen;
    const std::atomic<int32_t>* progress = nullptr;
    std::function<void(int)> onLoad;
    int failAt = 0;  // the call (from 1) that fails
    int throwAt = 0; // the call (from 1) that throws
    int starts = 0;
    int32_t startResult = 1;
};

std::vector<int16_t> Block(size_t count) {
    std::vector<int16_t> block(count);
    for (size_t i = 0; i < count; ++i) {
        block[i] = static_cast<int16_t>(i * 7);
    }
    return block;
}

struct ChunkCase {
    int32_t count;
    std::vector<int32_t> chunks;
    std::vector<int32_t> progress; // as read during each call
};

class SendSamplesChunks : public testing::TestWithParam<ChunkCase> {};

TEST_P(SendSamplesChunks, ChunksAndProgress) {
    const ChunkCase& c = GetParam();
    RecordingDevice device;
    std::atomic<uint8_t> abort{0};
    std::atomic<int32_t> progress{-5};
    device.progress = &progress;
    const auto block = Block(static_cast<size_t>(c.count));
    bool raised = true;
    EXPECT_EQ(SendSamples(device, 2, block.data(), c.count, abort, progress, raised), 1);
    EXPECT_FALSE(raised);
    EXPECT_EQ(device.counts, c.chunks);
    EXPECT_EQ(device.progressSeen, c.progress);
    EXPECT_EQ(device.received, block);
    EXPECT_EQ(device.formats, std::vector<int32_t>(c.chunks.size(), 2));
}

INSTANTIATE_TEST_SUITE_P(
    Counts, SendSamplesChunks,
    testing::Values(ChunkCase{2500, {1024, 1024, 452}, {0, 0, 1024}}, ChunkCase{1024, {1024}, {0}},
                    ChunkCase{1025, {1024, 1}, {0, 0}},
                    ChunkCase{4096, {1024, 1024, 1024, 1024}, {0, 0, 1024, 2048}},
                    ChunkCase{1, {1}, {0}}));

TEST(SendSamples, RefusesNoBlock) {
    RecordingDevice device;
    std::atomic<uint8_t> abort{0};
    std::atomic<int32_t> progress{0};
    bool raised = false;
    const auto block = Block(10);
    EXPECT_EQ(SendSamples(device, 1, nullptr, 10, abort, progress, raised), -1);
    EXPECT_EQ(SendSamples(device, 1, block.data(), 0, abort, progress, raised), -1);
    EXPECT_EQ(SendSamples(device, 1, block.data(), -3, abort, progress, raised), -1);
    EXPECT_TRUE(device.counts.empty());
}

TEST(SendSamples, StopsAtAFailedChunkAndAtTheAbortByte) {
    RecordingDevice device;
    std::atomic<uint8_t> abort{0};
    std::atomic<int32_t> progress{0};
    bool raised = false;
    const auto block = Block(5000);
    device.failAt = 2;
    EXPECT_EQ(SendSamples(device, 1, block.data(), 5000, abort, progress, raised), 0);
    EXPECT_EQ(device.counts, (std::vector<int32_t>{1024, 1024}));

    RecordingDevice aborted;
    aborted.onLoad = [&abort](int call) {
        if (call == 2) {
            abort.store(1);
        }
    };
    EXPECT_EQ(SendSamples(aborted, 1, block.data(), 5000, abort, progress, raised), 1);
    EXPECT_EQ(aborted.counts, (std::vector<int32_t>{1024, 1024}));
}

TEST(SendSamples, ExceptionIsReportedAsFailure) {
    RecordingDevice device;
    device.throwAt = 2;
    std::atomic<uint8_t> abort{0};
    std::atomic<int32_t> progress{0};
    bool raised = false;
    const auto block = Block(3000);
    EXPECT_EQ(SendSamples(device, 1, block.data(), 3000, abort, progress, raised), -1);
    EXPECT_TRUE(raised);
}

TEST(TransferThread, SendsStartsAndReports) {
    RecordingDevice device;
    CompletionCopy copy;
    int16_t computed[3] = {1, 2, 3};
    CompletionCopy::Completion(&copy, computed, 3, nullptr);
    ASSERT_EQ(copy.Size(), 3u);

    TransferThread transfer;
    EXPECT_TRUE(transfer.Finished());
    EXPECT_FALSE(transfer.Exists());
    transfer.Begin(device, 4, Block(2500), &copy);
    EXPECT_TRUE(transfer.Exists());
    const TransferOutcome outcome = transfer.Join();
    EXPECT_FALSE(transfer.Exists());
    EXPECT_TRUE(transfer.Done());
    EXPECT_TRUE(transfer.Finished());
    EXPECT_FALSE(outcome.aborted);
    EXPECT_EQ(outcome.sendResult, 1);
    EXPECT_TRUE(outcome.startAttempted);
    EXPECT_EQ(outcome.startResult, 1);
    EXPECT_EQ(device.starts, 1);
    EXPECT_EQ(device.counts, (std::vector<int32_t>{1024, 1024, 452}));
    EXPECT_EQ(device.formats, std::vector<int32_t>(3, 4));
    EXPECT_EQ(copy.Size(), 0u); // freed by the thread
}

TEST(TransferThread, FailedTransferDoesNotStart) {
    RecordingDevice device;
    device.failAt = 1;
    TransferThread transfer;
    transfer.Begin(device, 1, Block(2000), nullptr);
    const TransferOutcome outcome = transfer.Join();
    EXPECT_EQ(outcome.sendResult, 0);
    EXPECT_FALSE(outcome.startAttempted);
    EXPECT_EQ(device.starts, 0);

    RecordingDevice throwing;
    throwing.throwAt = 1;
    transfer.Begin(throwing, 1, Block(2000), nullptr);
    const TransferOutcome thrown = transfer.Join();
    EXPECT_TRUE(thrown.sendException);
    EXPECT_FALSE(thrown.startAttempted);

    RecordingDevice refusing;
    refusing.startResult = -3;
    transfer.Begin(refusing, 1, Block(100), nullptr);
    const TransferOutcome refused = transfer.Join();
    EXPECT_TRUE(refused.startAttempted);
    EXPECT_EQ(refused.startResult, -3);
}

// The main thread aborts while the thread sends: it stops after the chunk in hand,
// does not start the board, and Join returns once it has ended.
TEST(TransferThread, AbortWhileSending) {
    RecordingDevice device;
    std::atomic<bool> inSecond{false};
    std::atomic<bool> release{false};
    device.onLoad = [&](int call) {
        if (call == 2) {
            inSecond = true;
            while (!release.load()) {
                std::this_thread::yield();
            }
        }
    };
    TransferThread transfer;
    transfer.Begin(device, 1, Block(10000), nullptr);
    while (!inSecond.load()) {
        std::this_thread::yield();
    }
    EXPECT_FALSE(transfer.Done());
    EXPECT_FALSE(transfer.Finished());
    transfer.Abort();
    release = true;
    const TransferOutcome outcome = transfer.Join();
    EXPECT_TRUE(outcome.aborted);
    EXPECT_FALSE(outcome.startAttempted);
    EXPECT_EQ(device.starts, 0);
    EXPECT_EQ(device.counts.size(), 2u);
}

// The destructor aborts and joins a running thread.
TEST(TransferThread, DestructorEndsTheThread) {
    RecordingDevice device;
    {
        TransferThread transfer;
        transfer.Begin(device, 1, Block(200000), nullptr);
    }
    // Ended: nothing calls the driver any more, and only a whole block was started.
    const size_t calls = device.counts.size();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(device.counts.size(), calls);
    EXPECT_LE(device.starts, 1);
    if (device.starts == 1) {
        EXPECT_EQ(calls, 196u);
    }
}

// The main thread reads the progress and completion bytes, polls the board and
// restarts transfers while threads send; the signal library's worker writes the
// completion copy that the thread frees. Meant for the thread sanitizer.
TEST(TransferThread, MainThreadReadsWhileTheThreadSends) {
    RecordingDevice device;
    CompletionCopy copy;
    TransferThread transfer;
    std::vector<int16_t> computed(4096, 5);
    for (int round = 0; round < 20; ++round) {
        std::thread worker(
            [&] { CompletionCopy::Completion(&copy, computed.data(), 4096, nullptr); });
        transfer.Begin(device, 1, Block(20000), &copy);
        int32_t last = 0;
        while (!transfer.Done()) {
            const int32_t progress = transfer.Progress();
            EXPECT_GE(progress, 0);
            EXPECT_LE(progress, 20000);
            last = progress;
            int32_t playing = 0;
            device.Control(ctl::Playing, &playing);
            if (round % 5 == 4 && last > 4096) {
                transfer.Abort();
            }
        }
        worker.join();
        const TransferOutcome outcome = transfer.Join();
        EXPECT_TRUE(transfer.Finished());
        EXPECT_TRUE(outcome.aborted || outcome.startAttempted);
        (void)copy.Size();
    }
}

} // namespace
