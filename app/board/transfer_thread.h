#pragma once
// The transfer thread: sends a converted file block to the board in chunks of 1024
// samples (SendSamples) and then starts the output. It shares with the main thread
// an abort byte (the main thread writes it), a progress counter and two completion
// bytes (the thread writes them); each is an atomic with one writer. The thread
// calls only the driver (LoadSamples, StartOutput) and never a window: what it did
// comes back as a TransferOutcome when the main thread joins it, and the main thread
// shows any message.
//
// At most one thread at a time; Join waits without time limit. The destructor
// aborts and joins, so the thread never outlives its owner.

#include "app/board/completion_copy.h"
#include "app/board/iadc_device.h"

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

inline constexpr int32_t kTransferChunk = 1024;

// Sends `count` samples in consecutive LoadSamples calls of at most 1024 samples.
// Stops after a call that fails (result below 1), when `abort` is set, or after the
// last chunk. `progress` gets 0 first and then, after each full chunk, the samples
// sent before it. Returns the last LoadSamples result; -1 for a null address or a
// count below 1, and -1 with `exceptionRaised` set when a call threw.
int32_t SendSamples(IADCDevice& device, int32_t format, const int16_t* samples, int32_t count,
                    const std::atomic<uint8_t>& abort, std::atomic<int32_t>& progress,
                    bool& exceptionRaised);

// What a transfer did, read after the thread has ended.
struct TransferOutcome {
    bool aborted = false;        // the abort byte was set after sending: not started
    int32_t sendResult = 0;      // SendSamples
    bool sendException = false;  // a LoadSamples call threw
    bool startAttempted = false; // StartOutput was called
    int32_t startResult = 0;     // its result
};

class TransferThread {
public:
    TransferThread() = default;
    ~TransferThread();
    TransferThread(const TransferThread&) = delete;
    TransferThread& operator=(const TransferThread&) = delete;

    // Starts a thread that sends `block` in `format` and starts the output unless
    // aborted; `copy`, when given, is freed after sending. A thread still recorded
    // is aborted and joined first.
    void Begin(IADCDevice& device, int32_t format, std::vector<int16_t> block,
               CompletionCopy* copy);

    // A thread was started and not yet joined.
    bool Exists() const { return thread_.joinable(); }
    void Abort() { abort_.store(1); }
    // Waits for the thread without time limit and forgets it. A default outcome
    // when there is none.
    TransferOutcome Join();

    int32_t Progress() const { return progress_.load(); }
    // The thread has done its work (set as its last step).
    bool Done() const { return done_.load() != 0; }
    // No transfer runs (the board poll may talk to the board); set before any
    // transfer and at the end of each.
    bool Finished() const { return finished_.load() != 0; }

private:
    void Run(IADCDevice& device, int32_t format, CompletionCopy* copy);

    std::thread thread_;
    std::vector<int16_t> block_; // owned by the running thread until it is joined
    TransferOutcome outcome_;    // written by the thread, read after the join
    std::atomic<uint8_t> abort_{0};
    std::atomic<int32_t> progress_{0};
    std::atomic<uint8_t> done_{0};
    std::atomic<uint8_t> finished_{1};
};
