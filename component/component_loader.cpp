#include "component/component_loader.h"

#include "component/registry_file.h"

#include <dlfcn.h>
#include <utility>

namespace quorvel {

namespace {

constexpr const char* Maker = "Quorvel LTD";
constexpr const char* Version = "1.0";

std::string DlError() {
    const char* text = ::dlerror();
    return text != nullptr ? text : "unknown error";
}

} // namespace

std::string ComponentKey(std::string_view category, std::string_view name) {
    return "SOFTWARE\\" + RegistryBase(category) + "\\" + std::string(name);
}

std::string RegistryBase(std::string_view category) {
    return std::string(Maker) + "\\" + std::string(category) + "\\" + Version;
}

ComponentLibrary::ComponentLibrary(ComponentLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      factory_(std::exchange(other.factory_, nullptr)), path_(std::move(other.path_)),
      error_(other.error_), reason_(std::move(other.reason_)) {}

ComponentLibrary& ComponentLibrary::operator=(ComponentLibrary&& other) noexcept {
    if (this != &other) {
        Unload();
        handle_ = std::exchange(other.handle_, nullptr);
        factory_ = std::exchange(other.factory_, nullptr);
        path_ = std::move(other.path_);
        error_ = other.error_;
        reason_ = std::move(other.reason_);
    }
    return *this;
}

ComponentLibrary ComponentLibrary::Failed(ComponentError error, std::string reason) {
    ComponentLibrary library;
    library.error_ = error;
    library.reason_ = std::move(reason);
    return library;
}

void* ComponentLibrary::Create(const char* interfaceName, void* argument) {
    if (factory_ == nullptr) {
        if (error_ == ComponentError::None) {
            error_ = ComponentError::NotLoadable;
            reason_ = "no component library is loaded";
        }
        return nullptr;
    }
    void* object = factory_->Create(interfaceName, argument);
    if (object == nullptr) {
        error_ = ComponentError::NoObject;
        reason_ = "the factory of " + path_ + " made no " +
                  (interfaceName != nullptr ? std::string(interfaceName) : "(null)") + " object";
        return nullptr;
    }
    error_ = ComponentError::None;
    reason_.clear();
    return object;
}

void ComponentLibrary::Unload() {
    factory_ = nullptr;
    if (handle_ != nullptr)
        ::dlclose(std::exchange(handle_, nullptr));
}

ComponentLibrary OpenComponentLibrary(const std::string& path) {
    if (path.empty())
        return ComponentLibrary::Failed(ComponentError::NotLoadable, "the library path is empty");
    // A relative path would depend on the current folder; registration writes
    // absolute ones.
    if (path.front() != '/')
        return ComponentLibrary::Failed(ComponentError::NotLoadable,
                                        "library path " + path + " is not absolute");
    ::dlerror();
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        return ComponentLibrary::Failed(ComponentError::NotLoadable,
                                        "cannot load " + path + ": " + DlError());
    ::dlerror();
    void* symbol = ::dlsym(handle, StaticFactorySymbol);
    if (symbol == nullptr) {
        ::dlclose(handle);
        return ComponentLibrary::Failed(ComponentError::NoFactory,
                                        path + " exports no " + StaticFactorySymbol);
    }
    ComponentLibrary library;
    library.handle_ = handle;
    library.factory_ = static_cast<IFactory*>(symbol);
    library.path_ = path;
    return library;
}

ComponentLibrary OpenComponent(const std::string& registryFile, std::string_view category,
                               std::string_view name) {
    const std::string key = ComponentKey(category, name);
    RegistryString path = ReadRegistryString(registryFile, key, "path");
    switch (path.status) {
    case RegistryStatus::Ok:
        break;
    case RegistryStatus::NoFile:
    case RegistryStatus::Unreadable:
    case RegistryStatus::Damaged:
        return ComponentLibrary::Failed(ComponentError::RegistryUnavailable, path.message);
    case RegistryStatus::NoKey:
        return ComponentLibrary::Failed(ComponentError::NoKey, path.message);
    case RegistryStatus::NoValue:
        return ComponentLibrary::Failed(ComponentError::NoPath, path.message);
    case RegistryStatus::NotString:
        return ComponentLibrary::Failed(ComponentError::PathNotString, path.message);
    }
    return OpenComponentLibrary(path.value);
}

ComponentLibrary OpenComponent(std::string_view category, std::string_view name) {
    return OpenComponent(RegistryPath(), category, name);
}

} // namespace quorvel
