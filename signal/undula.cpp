#include "signal/undula.h"

#include "signal/module_info.h"
#include "signal/waveforms.h"

#include <algorithm>
#include <cstring>
#include <new>

Undula::Undula() {
    for (int32_t kind = 0; kind < WaveformKindCount; ++kind)
        waves_[kind] = MakeWaveform(kind);
}

Undula::~Undula() {
    Forget();
    JoinAll();
}

int32_t Undula::Prepare(UndulaRequest* request, float minClock, float maxClock,
                        const double* clocks, int32_t clockCount, int32_t capacity,
                        uint8_t evenFlag, int32_t* pointCount, uint8_t singlePlay) {
    {
        std::lock_guard lock(lock_);
        request_ = request;
    }
    if (request == nullptr || request->kind < 0 || request->kind >= WaveformKindCount)
        return -1;
    __MSignal* wave = waves_[request->kind].get();
    if (wave == nullptr)
        return -1;

    int32_t local = 0;
    int32_t* count = pointCount != nullptr ? pointCount : &local;
    std::lock_guard waveLock(waveLock_);
    const int32_t result = wave->Prepare(request, minClock, maxClock, clocks, clockCount, capacity,
                                         evenFlag, count, singlePlay);
    if (result < 1)
        return -1;
    // Room for the plan and for the two lead points of a single play.
    const size_t needed = static_cast<size_t>(std::max(capacity, *count)) + 2;
    if (work_.size() < needed) {
        try {
            work_.assign(needed, 0);
        } catch (const std::bad_alloc&) {
            work_.clear();
            work_.shrink_to_fit();
            points_ = 0;
            return -1;
        }
    }
    points_ = *count;
    return result;
}

int32_t Undula::Start(UndulaRequest* request, int32_t base, int32_t bits, double phase,
                      UndulaCompletion completion, void* context, int32_t /*reserved*/) {
    done_.Reset();
    if (request == nullptr || request->samples == nullptr)
        return -1;
    if (request->sampleCount > points_)
        return -2;
    if (request->sampleCount < 0 || bits < 1 || bits > 16 || request->kind < 0 ||
        request->kind >= WaveformKindCount || waves_[request->kind] == nullptr)
        return -1;

    // No two computations ever share the work buffer: stop and join every earlier
    // one, cancelled ones included, before this one begins.
    Forget();
    JoinAll();
    // An earlier computation may have set the event between the reset above and
    // its cancellation.
    done_.Reset();

    {
        std::lock_guard lock(lock_);
        request_ = request;
        base_ = base;
        bits_ = bits;
        phase_ = phase;
        completion_ = completion;
        context_ = context;
    }
    auto job = std::make_unique<Computation>();
    job->wave = waves_[request->kind].get();
    job->destination = request->samples;
    job->count = request->sampleCount;
    job->base = base;
    job->bits = bits;
    job->phase = phase;
    job->completion = completion;
    job->context = context;
    // These kinds write exactly the planned points, the lead points included.
    const bool fillKind =
        request->kind == KindMeander || request->kind == KindPulse || request->kind == KindConstant;
    job->direct = fillKind && request->sampleCount == job->wave->Points();
    job->wave->ClearStop();
    Computation& running = *job;
    current_ = std::move(job);
    running.thread = std::thread([this, &running] { Run(running); });
    return 1;
}

void Undula::Run(Computation& job) {
    bool copied = false;
    int32_t result = 0;
    if (job.direct) {
        std::lock_guard waveLock(waveLock_);
        std::lock_guard lock(lock_);
        if (job.cancel.load() == 0) {
            result = job.wave->Generate(job.destination, job.base, job.bits, job.phase);
            result_ = result;
            copied = result == 1;
        }
    } else {
        std::lock_guard waveLock(waveLock_);
        result = job.wave->Generate(work_.data(), job.base, job.bits, job.phase);
        std::lock_guard lock(lock_);
        if (job.cancel.load() == 0) {
            result_ = result;
            if (result == 1) {
                std::copy_n(work_.data(), job.count, job.destination);
                copied = true;
            }
        }
    }
    if (copied && job.completion != nullptr)
        job.completion(job.context, job.destination, job.count, &job.cancel);
    if (job.cancel.load() == 0)
        done_.Set();
    job.finished = true;
}

int32_t Undula::Cancel() {
    Forget();
    done_.Set();
    return 1;
}

void Undula::Forget() {
    // Finished threads end at once; joining them here keeps the list short.
    std::erase_if(forgotten_, [](std::unique_ptr<Computation>& job) {
        if (!job->finished.load())
            return false;
        job->thread.join();
        return true;
    });
    if (!current_)
        return;
    {
        std::lock_guard lock(lock_);
        current_->cancel = 1;
    }
    current_->wave->RequestStop();
    forgotten_.push_back(std::move(current_));
}

void Undula::JoinAll() {
    for (auto& job : forgotten_)
        job->thread.join();
    forgotten_.clear();
}

__MSignal* Undula::CurrentWave() {
    std::lock_guard lock(lock_);
    if (request_ == nullptr || request_->kind < 0 || request_->kind >= WaveformKindCount)
        return nullptr;
    return waves_[request_->kind].get();
}

int32_t Undula::Query(int32_t code, void* data) {
    const undulan::ModuleInfo& module = undulan::Module();
    switch (code) {
    case QueryMajor:
    case QueryMinor:
    case QueryBuild:
    case QueryRevision: {
        if (data == nullptr)
            return -1;
        const uint16_t values[] = {module.major, module.minor, module.build, module.revision};
        *static_cast<int32_t*>(data) = values[code - QueryMajor];
        return 1;
    }
    case QueryPath:
    case QueryFileName:
        if (data == nullptr)
            return -1;
        *static_cast<const char**>(data) = code == QueryPath ? module.path : module.fileName;
        return 1;
    case QuerySetRequest: {
        if (data == nullptr)
            return -1;
        std::lock_guard lock(lock_);
        request_ = static_cast<UndulaRequest*>(data);
        return 1;
    }
    default:
        break;
    }

    {
        std::lock_guard lock(lock_);
        if (request_ == nullptr)
            return -1;
    }
    switch (code) {
    case QueryWait:
        done_.Wait();
        return 1;
    case QueryAccepted:
        return 1;
    case QueryResult:
        if (data == nullptr)
            return -1;
        *static_cast<int32_t*>(data) = result_.load();
        return 1;
    default:
        break;
    }

    __MSignal* wave = CurrentWave();
    if (wave == nullptr || data == nullptr)
        return -1;
    std::lock_guard waveLock(waveLock_);
    switch (code) {
    case QueryPrepared:
        *static_cast<int32_t*>(data) = wave->IsPrepared() ? 1 : 0;
        return 1;
    case QuerySampleClock:
        *static_cast<double*>(data) = wave->SampleClock();
        return 1;
    case QueryLowestAllowed:
        *static_cast<int32_t*>(data) = wave->LowestAllowed();
        return 1;
    case QueryHighestAllowed:
        *static_cast<int32_t*>(data) = wave->HighestAllowed();
        return 1;
    case QueryLowestWritten:
        *static_cast<int32_t*>(data) = wave->LowestWritten();
        return 1;
    case QueryHighestWritten:
        *static_cast<int32_t*>(data) = wave->HighestWritten();
        return 1;
    case QueryPeriods:
        *static_cast<int32_t*>(data) = wave->Periods();
        return 1;
    case QueryPointsPerPeriod:
        *static_cast<double*>(data) = wave->PointsPerPeriod();
        return 1;
    case QuerySetMode:
        wave->SetMode(*static_cast<const int32_t*>(data));
        return 1;
    case QuerySetPulseOption:
        wave->SetPulseOption(*static_cast<const int32_t*>(data));
        return 1;
    default:
        return -1;
    }
}
