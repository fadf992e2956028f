#include "app/board/transfer_thread.h"

#include <algorithm>
#include <utility>

int32_t SendSamples(IADCDevice& device, int32_t format, const int16_t* samples, int32_t count,
                    const std::atomic<uint8_t>& abort, std::atomic<int32_t>& progress,
                    bool& exceptionRaised) {
    exceptionRaised = false;
    if (samples == nullptr || count < 1) {
        return -1;
    }
    try {
        progress.store(0);
        int32_t remaining = count;
        const int16_t* at = samples;
        int32_t result = 0;
        while (remaining > 0) {
            result = device.LoadSamples(format, at, std::min(kTransferChunk, remaining), 0);
            if (result < 1 || abort.load() != 0 || remaining < kTransferChunk) {
                break;
            }
            progress.store(count - remaining);
            remaining -= kTransferChunk;
            at += kTransferChunk;
        }
        return result;
    } catch (...) {
        exceptionRaised = true;
        return -1;
    }
}

TransferThread::~TransferThread() {
    Abort();
    Join();
}

void TransferThread::Begin(IADCDevice& device, int32_t format, std::vector<int16_t> block,
                           CompletionCopy* copy) {
    if (Exists()) {
        Abort();
        Join();
    }
    block_ = std::move(block);
    outcome_ = TransferOutcome{};
    abort_.store(0);
    done_.store(0);
    progress_.store(0);
    finished_.store(0);
    thread_ = std::thread([this, &device, format, copy] { Run(device, format, copy); });
}

void TransferThread::Run(IADCDevice& device, int32_t format, CompletionCopy* copy) {
    TransferOutcome outcome;
    outcome.sendResult =
        SendSamples(device, format, block_.data(), static_cast<int32_t>(block_.size()), abort_,
                    progress_, outcome.sendException);
    if (copy != nullptr) {
        copy->Clear();
    }
    if (abort_.load() != 0) {
        outcome.aborted = true;
    } else if (outcome.sendResult >= 1) {
        // A block that did not reach the board whole is not played.
        outcome.startAttempted = true;
        try {
            outcome.startResult = device.StartOutput();
        } catch (...) {
            outcome.startResult = -1;
        }
    }
    block_.clear();
    block_.shrink_to_fit();
    outcome_ = outcome;
    done_.store(1);
    finished_.store(1);
}

TransferOutcome TransferThread::Join() {
    if (!thread_.joinable()) {
        return TransferOutcome{};
    }
    thread_.join();
    finished_.store(1);
    return outcome_;
}
