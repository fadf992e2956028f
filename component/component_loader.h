#pragma once
// Finding, loading and using a component as a client does:
//   1. key SOFTWARE\Quorvel LTD\<category>\1.0\<name> in the registry file,
//      string value "path";
//   2. dlopen(path);
//   3. dlsym("StaticFactory"): the component's IFactory;
//   4. IFactory::Create(interface, argument).
// Every failure leaves the component unavailable with a reason; nothing throws.
//
//   quorvel::ComponentLibrary undulan =
//       quorvel::OpenComponent(quorvel::CategoryBaseLibrary, "UndulaN");
//   auto* signal = static_cast<IUndula*>(undulan.Create("IUndula"));
//   if (signal == nullptr)
//       log(undulan.Reason());      // why: no key, not a string, dlopen's text, ...
//   ...
//   undulan.Unload();               // or let it go out of scope
//
// Unloading runs the component's unload path, which releases every object it made:
// no object of a component may be used after its ComponentLibrary is unloaded.

#include "signal/component/ifactory.h"

#include <string>
#include <string_view>

namespace quorvel {

inline constexpr const char* CategoryBaseLibrary = "Base library";
inline constexpr const char* CategoryDrivers = "Drivers";

// "SOFTWARE\Quorvel LTD\<category>\1.0\<name>"
std::string ComponentKey(std::string_view category, std::string_view name);
// "Quorvel LTD\<category>\1.0": what a factory's GetRegistryBase answers.
std::string RegistryBase(std::string_view category);

enum class ComponentError {
    None,
    RegistryUnavailable, // the registry file is missing, unreadable or damaged
    NoKey,               // the component is not registered
    NoPath,              // the key has no value "path"
    PathNotString,       // "path" is of another type
    NotLoadable,         // dlopen failed, or the path is empty or not absolute
    NoFactory,           // the library exports no StaticFactory
    NoObject,            // Create returned null
};

// Owns one dlopen handle of a component library and closes it when destroyed.
class ComponentLibrary {
public:
    ComponentLibrary() = default;
    ~ComponentLibrary() { Unload(); }
    ComponentLibrary(ComponentLibrary&& other) noexcept;
    ComponentLibrary& operator=(ComponentLibrary&& other) noexcept;
    ComponentLibrary(const ComponentLibrary&) = delete;
    ComponentLibrary& operator=(const ComponentLibrary&) = delete;

    // A library with its factory (steps 1-3 succeeded).
    bool IsLoaded() const { return factory_ != nullptr; }
    explicit operator bool() const { return IsLoaded(); }
    IFactory* Factory() const { return factory_; }
    // The library file as the registry named it.
    const std::string& Path() const { return path_; }

    // Step 4: the factory's Create. Null when the library is not loaded or the
    // factory made no object; Error() and Reason() then say why.
    void* Create(const char* interfaceName, void* argument = nullptr);

    // Why the last step failed (None and empty after success).
    ComponentError Error() const { return error_; }
    const std::string& Reason() const { return reason_; }

    // dlclose. The component's unload path releases its objects.
    void Unload();

private:
    friend ComponentLibrary OpenComponentLibrary(const std::string& path);
    friend ComponentLibrary OpenComponent(const std::string& registryFile,
                                          std::string_view category, std::string_view name);
    static ComponentLibrary Failed(ComponentError error, std::string reason);

    void* handle_ = nullptr;
    IFactory* factory_ = nullptr;
    std::string path_;
    ComponentError error_ = ComponentError::None;
    std::string reason_;
};

// Steps 1-3 with the registry file at RegistryPath().
ComponentLibrary OpenComponent(std::string_view category, std::string_view name);
// Steps 1-3 with a given registry file.
ComponentLibrary OpenComponent(const std::string& registryFile, std::string_view category,
                               std::string_view name);
// Steps 2-3 for a library file (an absolute path).
ComponentLibrary OpenComponentLibrary(const std::string& path);

} // namespace quorvel
