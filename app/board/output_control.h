#pragma once
// What start-up, shut-down and the board display need of the output: whether it
// runs, the Start/Stop button action, stopping the board, ending a file transfer
// and the sample buffer. Generation control implements it; until it is attached,
// GeneratorCore uses IdleOutput, whose state tests set directly.

#include "app/board/iadc_device.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace board {

class OutputControl {
public:
    virtual bool Running() const = 0;          // `Running`: the Start/Stop toggle is on
    virtual bool BoardStopped() const = 0;     // StopOutput was issued after the last start
    virtual bool TransferFinished() const = 0; // no file transfer runs (the poll may run)
    // The Start/Stop button action (StartButtonClick).
    virtual void StartStop() = 0;
    // StopOutput unless the board is stopped already; marks it stopped.
    virtual void StopBoard() = 0;
    // Window destruction: abort a running transfer and wait for it.
    virtual void EndTransfer() = 0;
    // The sample buffer: `memory` + 1024 samples; false when it cannot be had.
    virtual bool AllocateBuffer(int32_t memory) = 0;

protected:
    OutputControl() = default;
    OutputControl(const OutputControl&) = default;
    OutputControl& operator=(const OutputControl&) = default;
    ~OutputControl() = default;
};

// The sample buffer holds the board memory and this many samples more.
inline constexpr int32_t kSampleBufferReserve = 1024;

// The output before generation control is attached: nothing plays unless a test
// says so; the Start/Stop action is a hook.
class IdleOutput final : public OutputControl {
public:
    bool running = false;
    bool boardStopped = true;
    bool transferFinished = true;
    std::function<void()> startStop;     // the Start/Stop action; nothing when empty
    std::function<IADCDevice*()> driver; // the driver StopBoard stops

    bool Running() const override { return running; }
    bool BoardStopped() const override { return boardStopped; }
    bool TransferFinished() const override { return transferFinished; }
    void StartStop() override;
    void StopBoard() override;
    void EndTransfer() override {}
    bool AllocateBuffer(int32_t memory) override;

    void FreeBuffer() { std::vector<int16_t>().swap(buffer_); }
    const std::vector<int16_t>& Buffer() const { return buffer_; }

private:
    std::vector<int16_t> buffer_;
};

} // namespace board
