#include "signal/component/dll_factory.h"

#include "signal/module_info.h"
#include "signal/undula.h"

#include <new>

namespace {

// The address a client holds: the IUndula part of the object.
void* Handed(Undula* object) {
    return static_cast<IUndula*>(object);
}

} // namespace

DllFactory::~DllFactory() {
    ReleaseAll();
}

void* DllFactory::Adopt(std::unique_ptr<Undula> object) {
    std::lock_guard lock(mutex_);
    try {
        objects_.Append(object.get());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return Handed(object.release());
}

int32_t DllFactory::Release(void** object) {
    if (object == nullptr || *object == nullptr)
        return FactoryNullArgument;
    Undula* found = nullptr;
    {
        std::lock_guard lock(mutex_);
        found = objects_.Find([&](Undula* u) { return Handed(u) == *object; });
        if (found == nullptr)
            return FactoryNotOurs;
        objects_.Remove(found);
    }
    // Cancels and waits for a running computation.
    delete found;
    *object = nullptr;
    return 0;
}

int32_t DllFactory::ReleaseAll() {
    while (true) {
        void* first = nullptr;
        {
            std::lock_guard lock(mutex_);
            if (objects_.Empty())
                return 0;
            first = Handed(objects_.First());
        }
        Release(&first);
    }
}

int32_t DllFactory::GetInfo(int32_t code, void* out) {
    if (out == nullptr)
        return FactoryNullArgument;
    const undulan::ModuleInfo& module = undulan::Module();
    switch (code) {
    case InfoMajor:
        *static_cast<int32_t*>(out) = module.major;
        return 0;
    case InfoMinor:
        *static_cast<int32_t*>(out) = module.minor;
        return 0;
    case InfoBuild:
        *static_cast<int32_t*>(out) = module.build;
        return 0;
    case InfoRevision:
        *static_cast<int32_t*>(out) = module.revision;
        return 0;
    case InfoPath:
        *static_cast<const char**>(out) = module.path;
        return 0;
    case InfoFileName:
        // 1, not 0: what callers of this code have always received.
        *static_cast<const char**>(out) = module.fileName;
        return 1;
    default:
        return FactoryUnknownCode;
    }
}

bool DllFactory::Init(void* module) {
    module_ = module;
    return true;
}

bool DllFactory::Shutdown() {
    ReleaseAll();
    return true;
}

size_t DllFactory::ObjectCount() {
    std::lock_guard lock(mutex_);
    return objects_.Size();
}

size_t DllFactory::ObjectCapacity() {
    std::lock_guard lock(mutex_);
    return objects_.Capacity();
}
