#pragma once
// The interface of the stand-in component the component tests build twice (as
// FAKEA and FAKEB) with quorvel::ComponentFactory and QUORVEL_COMPONENT.

#include <atomic>
#include <cstdint>

class IFake {
public:
    virtual int32_t Answer() = 0;
    // The argument Create was called with.
    virtual void* Argument() = 0;

protected:
    ~IFake() = default;
};

// When Create's argument is a FakeProbe, each object counts itself in it while it
// lives, so a test can see that unloading released every object.
struct FakeProbe {
    std::atomic<int> alive{0};
};
