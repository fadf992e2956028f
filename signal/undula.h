#pragma once
// Undula: the library's working object. It owns one waveform object per kind and a
// work buffer, plans a request (Prepare) and computes it on a worker thread (Start),
// copying the result into the client's buffer.
//
// Threads and ownership:
// - Every Start makes a Computation with its own cancel flag and its own copy of
//   the destination and count. Cancel sets that flag (under `lock_`, so no copy can
//   begin afterwards), stops the waveform's generation loop and sets the done
//   event; the thread is kept in `forgotten_`. Start and the destructor join every
//   thread they know of before anything else touches the work buffer, so two
//   computations never write the same buffer and no worker outlives the object.
// - `waveLock_` is held by a worker while it generates and copies. Prepare and the
//   queries of waveform results take it too, so they wait for a generation in
//   progress instead of racing it.
// - Lock order: waveLock_ before lock_.
// - The kinds whose generation is a fill (meander, pulse, constant level) cost no
//   more to generate than to copy: when the client takes every planned point they
//   are generated straight into its buffer, under `lock_` like the copy they
//   replace, so Cancel still waits for at most one pass over the buffer and nothing
//   is written after it returns.
//
// Prepare returns what the waveform returned (1, or 2 when the request was moved),
// not always 1: callers test for less than 1, and 2 tells them the realised values
// were written back.

#include "signal/iundula.h"
#include "signal/manual_reset_event.h"
#include "signal/msignal.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class Undula final : public IUndula {
public:
    Undula();
    ~Undula();
    Undula(const Undula&) = delete;
    Undula& operator=(const Undula&) = delete;

    int32_t Prepare(UndulaRequest* request, float minClock, float maxClock, const double* clocks,
                    int32_t clockCount, int32_t capacity, uint8_t evenFlag, int32_t* pointCount,
                    uint8_t singlePlay) override;
    int32_t Start(UndulaRequest* request, int32_t base, int32_t bits, double phase,
                  UndulaCompletion completion, void* context, int32_t reserved) override;
    int32_t Query(int32_t code, void* data) override;
    int32_t Cancel() override;

    // Codes the work buffer can hold (points + 2 of the largest plan so far at least).
    size_t WorkCapacity() const { return work_.size(); }

private:
    struct Computation {
        std::thread thread;
        std::atomic<uint8_t> cancel{0};
        std::atomic<bool> finished{false};
        __MSignal* wave = nullptr;
        int16_t* destination = nullptr;
        int32_t count = 0;
        int32_t base = 0;
        int32_t bits = 14;
        double phase = 0;
        UndulaCompletion completion = nullptr;
        void* context = nullptr;
        // The kind is generated straight into the client's buffer (see Run).
        bool direct = false;
    };

    void Run(Computation& job);
    // Cancels the current computation (if any) and moves it to `forgotten_`.
    void Forget();
    // Joins every computation this object started.
    void JoinAll();
    // The waveform of the remembered request's kind, or null.
    __MSignal* CurrentWave();

    std::array<std::unique_ptr<__MSignal>, WaveformKindCount> waves_;
    std::vector<int16_t> work_;
    int32_t points_ = 0;

    // Guarded by lock_ (the critical section): the request address, the Start
    // arguments and the copy into the client's buffer.
    std::mutex lock_;
    UndulaRequest* request_ = nullptr;
    int32_t base_ = 0;
    int32_t bits_ = 12;
    double phase_ = 0;
    UndulaCompletion completion_ = nullptr;
    void* context_ = nullptr;

    std::mutex waveLock_;
    std::atomic<int32_t> result_{0};
    ManualResetEvent done_;
    // Prepare, Start, Cancel and destruction come from one client thread at a time;
    // only they touch these. Queries may come from any thread.
    std::unique_ptr<Computation> current_;
    std::vector<std::unique_ptr<Computation>> forgotten_;
};
