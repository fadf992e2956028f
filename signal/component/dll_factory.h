#pragma once
// DllFactory: the general part of the library's factory. It keeps the signal
// objects the factory made (insertion order), releases them, answers the
// information codes from the module record and releases everything at shutdown.
// Factory (factory.h) adds Create and the component's names.
//
// The object list is guarded by a mutex; an object is destroyed outside it, since
// its destructor waits for the object's computation.

#include "component/object_array.h"
#include "signal/component/ifactory.h"

#include <cstddef>
#include <memory>
#include <mutex>

class Undula;

class DllFactory : public IFactory {
public:
    constexpr DllFactory() = default;
    ~DllFactory();
    DllFactory(const DllFactory&) = delete;
    DllFactory& operator=(const DllFactory&) = delete;

    int32_t Release(void** object) override;
    int32_t ReleaseAll() override;
    int32_t GetInfo(int32_t code, void* out) override;
    bool Init(void* module) override;
    bool Shutdown() override;

    size_t ObjectCount();
    size_t ObjectCapacity();
    void* Module() const { return module_; }

protected:
    // Lists a new object and hands it out; null (the object destroyed) when the
    // list cannot grow.
    void* Adopt(std::unique_ptr<Undula> object);

private:
    void* module_ = nullptr;
    std::mutex mutex_;
    quorvel::ObjectArray<Undula> objects_;
};
