#pragma once
// The completion function handed to IUndula::Start, and the copy of the samples it
// keeps. The signal library calls the function on its worker thread after it copied
// the computed samples into the client's buffer; the function replaces its previous
// copy by a copy of those samples. Nothing reads the copy: it is freed by the next
// computation, by the transfer thread and by the owner. A lock guards it, since the
// worker thread writes it while the transfer thread may free it.

#include "signal/iundula.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

class CompletionCopy {
public:
    // UndulaCompletion with `context` = the CompletionCopy. Returns 1, also when the
    // copy could not be allocated (the copy is then empty).
    static int32_t Completion(void* context, int16_t* samples, int32_t count,
                              const std::atomic<uint8_t>* cancel);

    void Clear();
    // Samples in the copy, and how many completions ran.
    std::size_t Size() const;
    int Completions() const;

private:
    mutable std::mutex mutex_;
    std::vector<int16_t> samples_;
    int completions_ = 0;
};
