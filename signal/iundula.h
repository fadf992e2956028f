#pragma once
// IUndula: the signal object's interface as the program calls it. Only pure
// virtual functions in slot order and no data, so slot N is vtable entry N.

#include "signal/request.h"

#include <atomic>
#include <cstdint>

// Called on the worker thread after the samples were copied into the client's
// buffer. `cancel` is the computation's own cancel flag (non-zero once cancelled).
// Its result is ignored.
using UndulaCompletion = int32_t (*)(void* context, int16_t* samples, int32_t count,
                                     const std::atomic<uint8_t>* cancel);
static_assert(sizeof(std::atomic<uint8_t>) == 1 && std::atomic<uint8_t>::is_always_lock_free);

// Query codes.
enum UndulaQuery : int32_t {
    QueryPrepared = 5,         // int: 1 when the current kind is prepared
    QueryResult = 6,           // int: result of the last computation
    QuerySampleClock = 10,     // double: realised sample clock, Hz
    QueryLowestAllowed = 20,   // int
    QueryHighestAllowed = 21,  // int
    QueryLowestWritten = 22,   // int
    QueryHighestWritten = 23,  // int
    QueryPeriods = 24,         // int: whole periods in the buffer
    QueryPointsPerPeriod = 30, // double
    QueryWait = 75,            // waits until the computation is done
    QuerySetMode = 100,        // int in: generation mode of the current kind
    QueryAccepted = 101,       // accepted, no effect
    QuerySetPulseOption = 102, // int in: pulse option of the current kind
    QuerySetRequest = 103,     // data is a request record to remember
    QueryMajor = 2001,
    QueryMinor = 2002,
    QueryBuild = 2003,
    QueryRevision = 2004,
    QueryPath = 2100,     // data receives the address of the library's full path text
    QueryFileName = 2150, // data receives the address of its file name text
};

class IUndula {
public:
    // Plans the request. 1 or 2 (the request was moved into the realisable range
    // and the realised values written back) on success, -1 on failure.
    virtual int32_t Prepare(UndulaRequest* request, float minClock, float maxClock,
                            const double* clocks, int32_t clockCount, int32_t capacity,
                            uint8_t evenFlag, int32_t* pointCount, uint8_t singlePlay) = 0;
    // Starts the computation on a worker thread. 1 started, -1 no buffer (or an
    // invalid count or bit count), -2 more samples asked than prepared.
    virtual int32_t Start(UndulaRequest* request, int32_t base, int32_t bits, double phase,
                          UndulaCompletion completion, void* context, int32_t reserved) = 0;
    virtual int32_t Query(int32_t code, void* data) = 0;
    // Drops the running computation: once Cancel returns, its result is neither
    // copied nor reported. Returns 1.
    virtual int32_t Cancel() = 0;

protected:
    IUndula() = default;
    IUndula(const IUndula&) = default;
    IUndula& operator=(const IUndula&) = default;
    ~IUndula() = default;
};
