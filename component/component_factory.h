#pragma once
// A ready factory for stand-in components (simulated drivers, viewer, tuner), and
// QUORVEL_COMPONENT, which defines a component's three exports in one line.
//
// Use, in ONE source file of the component's shared library:
//
//   #include "component/component_factory.h"
//
//   class Kord77Pci final : public IADCDevice { ... };   // default-constructible
//   using Kord77PciFactory = quorvel::ComponentFactory<Kord77Pci, IADCDevice>;
//   QUORVEL_COMPONENT(Kord77PciFactory, quorvel::DriversBase, "KORD77PCI", "IADCDevice")
//
// and in its CMakeLists.txt:
//
//   add_library(kord77pci SHARED kord77pci.cpp)
//   target_link_libraries(kord77pci PRIVATE component)
//   register_component(kord77pci)   # exports only the three symbols, registers
//                                   # the library in the build tree's registry
//
// The viewer: QUORVEL_COMPONENT(LupexFactory, quorvel::BaseLibraryBase, "LUPEX",
// "ILUPEX"); the tuner: ..., "NIVELL", "SETUP"). An object class whose constructor
// takes a `void*` receives Create's argument in it (the tuner gets the driver
// object that way); otherwise it must be default-constructible. A constructor that
// throws makes Create return null.
//
// What the factory does:
// - Create(name, argument): a new Object when `name` equals the interface name
//   without regard to case, else null. The result points to the Interface part.
// - Release / ReleaseAll / GetInfo: as the library's own factory (same error words;
//   GetInfo answers the version compiled in from the project version, the library's
//   path and its file name).
// - At unload (dlclose or process exit) every object still alive is released.
// The Object's destructor must stop and join anything the object started.

#include "component/interface_name.h"
#include "component/module_path.h"
#include "component/object_array.h"
#include "component/registration.h"
#include "signal/component/ifactory.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <type_traits>

#define QUORVEL_EXPORT __attribute__((visibility("default")))

namespace quorvel {

inline constexpr const char* BaseLibraryBase = "Quorvel LTD\\Base library\\1.0";
inline constexpr const char* DriversBase = "Quorvel LTD\\Drivers\\1.0";

struct ComponentVersion {
    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t build = 0;
    uint16_t revision = 0;
};

// The project version, compiled into every target that links `component`.
inline constexpr ComponentVersion BuildVersion{QUORVEL_VERSION_MAJOR, QUORVEL_VERSION_MINOR,
                                               QUORVEL_VERSION_PATCH, QUORVEL_VERSION_TWEAK};

template <class Object, class Interface = Object> class ComponentFactory : public IFactory {
    static_assert(std::is_base_of_v<Interface, Object>);

public:
    constexpr ComponentFactory(const char* registryBase, const char* componentName,
                               const char* interfaceName, ComponentVersion version = BuildVersion)
        : registryBase_(registryBase), componentName_(componentName), interfaceName_(interfaceName),
          version_(version) {}
    ~ComponentFactory() { ReleaseAll(); }
    ComponentFactory(const ComponentFactory&) = delete;
    ComponentFactory& operator=(const ComponentFactory&) = delete;

    void* Create(const char* name, void* argument) override {
        if (!SameInterfaceName(name, interfaceName_))
            return nullptr;
        Object* object = nullptr;
        try {
            if constexpr (std::is_constructible_v<Object, void*>)
                object = new Object(argument);
            else
                object = new Object();
            std::lock_guard lock(mutex_);
            objects_.Append(object);
        } catch (...) {
            delete object;
            return nullptr;
        }
        return static_cast<Interface*>(object);
    }

    int32_t Release(void** object) override {
        if (object == nullptr || *object == nullptr)
            return FactoryNullArgument;
        Object* found = nullptr;
        {
            std::lock_guard lock(mutex_);
            found = objects_.Find([&](Object* o) { return Address(o) == *object; });
            if (found == nullptr)
                return FactoryNotOurs;
            objects_.Remove(found);
        }
        delete found;
        *object = nullptr;
        return 0;
    }

    int32_t ReleaseAll() override {
        while (true) {
            void* first = nullptr;
            {
                std::lock_guard lock(mutex_);
                if (objects_.Empty())
                    return 0;
                first = Address(objects_.First());
            }
            Release(&first);
        }
    }

    int32_t GetInfo(int32_t code, void* out) override {
        if (out == nullptr)
            return FactoryNullArgument;
        switch (code) {
        case InfoMajor:
            *static_cast<int32_t*>(out) = version_.major;
            return 0;
        case InfoMinor:
            *static_cast<int32_t*>(out) = version_.minor;
            return 0;
        case InfoBuild:
            *static_cast<int32_t*>(out) = version_.build;
            return 0;
        case InfoRevision:
            *static_cast<int32_t*>(out) = version_.revision;
            return 0;
        case InfoPath:
            *static_cast<const char**>(out) = module_ ? module_->path.c_str() : "";
            return 0;
        case InfoFileName:
            *static_cast<const char**>(out) = module_ ? module_->fileName.c_str() : "";
            return 1;
        default:
            return FactoryUnknownCode;
        }
    }

    bool Init(void* module) override {
        moduleBase_ = module;
        return true;
    }
    bool Shutdown() override {
        ReleaseAll();
        return true;
    }
    const char* GetRegistryBase() override { return registryBase_; }
    const char* GetComponentName() override { return componentName_; }
    const char* GetInterfaceName() override { return interfaceName_; }

    // Called once when the library is loaded (see ComponentLifetime).
    void Load() {
        auto names = std::make_unique<ModuleNames>();
        names->path = ModulePathOf(this);
        names->fileName = std::string(FileNameOf(names->path));
        module_ = std::move(names);
        Init(ModuleBaseOf(this));
    }

    size_t ObjectCount() {
        std::lock_guard lock(mutex_);
        return objects_.Size();
    }

private:
    // Where the library lives, known once it is loaded. Held apart so that the
    // factory itself stays constant-initialised: a std::string member has no
    // constant constructor with every compiler and standard library pair.
    struct ModuleNames {
        std::string path;
        std::string fileName;
    };

    static void* Address(Object* object) { return static_cast<Interface*>(object); }

    const char* registryBase_;
    const char* componentName_;
    const char* interfaceName_;
    ComponentVersion version_;
    void* moduleBase_ = nullptr;
    std::unique_ptr<ModuleNames> module_;
    std::mutex mutex_;
    ObjectArray<Object> objects_;
};

// Loads and unloads a component's factory together with its library: a static
// object beside StaticFactory (defined after it, so destroyed before it).
template <class Factory> class ComponentLifetime {
public:
    explicit ComponentLifetime(Factory& factory) : factory_(factory) { factory_.Load(); }
    ~ComponentLifetime() { factory_.Shutdown(); }
    ComponentLifetime(const ComponentLifetime&) = delete;
    ComponentLifetime& operator=(const ComponentLifetime&) = delete;

private:
    Factory& factory_;
};

} // namespace quorvel

// Defines StaticFactory (a FactoryType constructed from the remaining arguments),
// its load and unload hook, DllRegisterServer and DllUnregisterServer.
#define QUORVEL_COMPONENT(FactoryType, ...)                                                        \
    extern "C" {                                                                                   \
    QUORVEL_EXPORT constinit FactoryType StaticFactory{__VA_ARGS__};                               \
    }                                                                                              \
    namespace {                                                                                    \
    const quorvel::ComponentLifetime<FactoryType> quorvelComponentLifetime{StaticFactory};         \
    }                                                                                              \
    extern "C" QUORVEL_EXPORT int32_t DllRegisterServer() {                                        \
        return quorvel::RegisterFactory(StaticFactory);                                            \
    }                                                                                              \
    extern "C" QUORVEL_EXPORT int32_t DllUnregisterServer() {                                      \
        return quorvel::UnregisterFactory(StaticFactory);                                          \
    }
