// The library's exports and its load and unload path.
//
// Load: record the module (path from dladdr, file name, version), check that our
// own StaticFactory is really exported, and initialise the factory.
// Unload (dlclose, or process exit): release every object still alive; each
// object's destructor cancels its computation and waits for the worker thread, so
// no thread runs in this library once it is unmapped.

#include "component/module_path.h"
#include "component/registration.h"
#include "signal/component/factory.h"
#include "signal/component/module_load.h"

#include <cstdio>
#include <dlfcn.h>

#define UNDULAN_EXPORT __attribute__((visibility("default")))

// Defined (not only declared) here, before `lifetime` below: static objects are
// destroyed in the reverse order of their definitions in a file.
extern "C" {
UNDULAN_EXPORT constinit Factory StaticFactory;
}

namespace {

// Written once while the library loads, before any client can call in.
bool factoryFound = false;

// True when the dynamic symbol "StaticFactory" of this very library is our object.
bool OwnFactoryExported() {
    Dl_info info{};
    if (::dladdr(&StaticFactory, &info) == 0 || info.dli_fname == nullptr)
        return false;
    void* self = ::dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (self == nullptr)
        return false;
    const bool found = ::dlsym(self, StaticFactorySymbol) == static_cast<void*>(&StaticFactory);
    ::dlclose(self);
    return found;
}

class LibraryLifetime {
public:
    LibraryLifetime() {
        factoryFound = OwnFactoryExported();
        undulan::FillModuleInfo(quorvel::ModulePathOf(&StaticFactory), undulan::Module());
        StaticFactory.Init(quorvel::ModuleBaseOf(&StaticFactory));
    }
    // Releases every object whether or not the export was found: a worker thread
    // must never outlive the code it runs.
    ~LibraryLifetime() { StaticFactory.Shutdown(); }
    LibraryLifetime(const LibraryLifetime&) = delete;
    LibraryLifetime& operator=(const LibraryLifetime&) = delete;
};

// Defined after StaticFactory: constructed after it and destroyed before it.
const LibraryLifetime lifetime;

} // namespace

extern "C" UNDULAN_EXPORT int32_t DllRegisterServer() {
    if (!factoryFound) {
        std::fprintf(stderr, "UndulaN: registration failed: StaticFactory is not exported\n");
        return E_FAIL;
    }
    return quorvel::RegisterServer(StaticFactory.GetRegistryBase(),
                                   StaticFactory.GetComponentName(),
                                   StaticFactory.GetInterfaceName(), undulan::Module().path);
}

extern "C" UNDULAN_EXPORT int32_t DllUnregisterServer() {
    if (!factoryFound) {
        std::fprintf(stderr, "UndulaN: unregistration failed: StaticFactory is not exported\n");
        return E_FAIL;
    }
    return quorvel::UnregisterServer(StaticFactory.GetRegistryBase(),
                                     StaticFactory.GetComponentName());
}
