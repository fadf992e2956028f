#include "app/board/completion_copy.h"

#include <new>

int32_t CompletionCopy::Completion(void* context, int16_t* samples, int32_t count,
                                   const std::atomic<uint8_t>* /*cancel*/) {
    auto* self = static_cast<CompletionCopy*>(context);
    if (self == nullptr) {
        return 1;
    }
    std::lock_guard lock(self->mutex_);
    ++self->completions_;
    self->samples_.clear();
    self->samples_.shrink_to_fit();
    if (samples == nullptr || count < 1) {
        return 1;
    }
    try {
        self->samples_.assign(samples, samples + count);
    } catch (const std::bad_alloc&) {
        self->samples_.clear();
    }
    return 1;
}

void CompletionCopy::Clear() {
    std::lock_guard lock(mutex_);
    samples_.clear();
    samples_.shrink_to_fit();
}

std::size_t CompletionCopy::Size() const {
    std::lock_guard lock(mutex_);
    return samples_.size();
}

int CompletionCopy::Completions() const {
    std::lock_guard lock(mutex_);
    return completions_;
}
