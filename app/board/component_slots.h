#pragma once
// The four components the main window holds for its whole life, each in a slot
// that owns the library handle and the object made by its factory:
//   signal library "UndulaN" (IUndula): required; the object is never released,
//     only forgotten; unloading the library releases it;
//   board driver <DeviceName> (IADCDevice): optional; released, then unloaded;
//   viewer "LUPEX" (ILUPEX): optional; its object is released through its slot 1;
//   tuner "NIVELL": optional; only the factory is kept, its objects are not.
// A failed lookup of any kind (no key, no "path", library not loadable, no
// StaticFactory, no object) leaves the slot empty with the loader's reason.
//
// Main thread only.

#include "app/board/iadc_device.h"
#include "app/params/ilupex.h"
#include "component/component_loader.h"
#include "signal/iundula.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace board {

inline constexpr const char* kSignalLibraryName = "UndulaN";
inline constexpr const char* kSignalInterface = "IUndula";
inline constexpr const char* kDriverInterface = "IADCDevice";
inline constexpr const char* kViewerName = kLupexComponentName;
inline constexpr const char* kViewerInterface = kLupexInterfaceName;
inline constexpr const char* kTunerName = "NIVELL";
inline constexpr const char* kTunerSetup = "SETUP";

class SignalLibrarySlot {
public:
    // Looks up "UndulaN" under "Base library" and creates its IUndula; true when an
    // object came back.
    bool Load();
    IUndula* Object() const { return object_; }
    // Forgets the object without releasing it (the library's unload does that).
    void Forget() { object_ = nullptr; }
    void Unload();
    const std::string& Reason() const { return reason_; }

private:
    quorvel::ComponentLibrary library_;
    IUndula* object_ = nullptr;
    std::string reason_;
};

class DriverSlot {
public:
    DriverSlot() = default;
    ~DriverSlot() { Unload(); }
    DriverSlot(const DriverSlot&) = delete;
    DriverSlot& operator=(const DriverSlot&) = delete;

    // Looks up `deviceName` under "Drivers" and creates its IADCDevice; true when an
    // object came back. A driver loaded before is released and unloaded first.
    bool Load(std::string_view deviceName);
    IADCDevice* Object() const { return object_; }
    // Release, then unload the library.
    void Unload();
    const std::string& Reason() const { return reason_; }

private:
    quorvel::ComponentLibrary library_;
    IADCDevice* object_ = nullptr;
    std::string reason_;
};

class ViewerSlot {
public:
    enum class LoadResult {
        NoFactory, // the component could not be found or loaded
        NoObject,  // its factory made no object
        Loaded,
    };

    ViewerSlot() = default;
    ~ViewerSlot() { Unload(); }
    ViewerSlot(const ViewerSlot&) = delete;
    ViewerSlot& operator=(const ViewerSlot&) = delete;

    LoadResult Load();
    // Viewing is available while an object exists.
    bool Available() const { return object_ != nullptr; }
    ILUPEX* Object() const { return object_; }
    // Releases the object (its slot 1), then unloads the library.
    void Unload();
    const std::string& Reason() const { return reason_; }

private:
    quorvel::ComponentLibrary library_;
    ILUPEX* object_ = nullptr;
    std::string reason_;
};

class TunerSlot {
public:
    // Looks up "NIVELL" and keeps its factory; true when there is one.
    bool Load();
    bool Present() const { return library_.IsLoaded(); }
    // The factory's Create("SETUP", driver); the result is not kept. Nothing
    // without a factory.
    void Setup(IADCDevice* driver);
    void Unload() { library_.Unload(); }
    const std::string& Reason() const { return library_.Reason(); }

private:
    quorvel::ComponentLibrary library_;
};

} // namespace board
