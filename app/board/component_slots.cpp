#include "app/board/component_slots.h"

namespace board {

bool SignalLibrarySlot::Load() {
    Unload();
    library_ = quorvel::OpenComponent(quorvel::CategoryBaseLibrary, kSignalLibraryName);
    object_ = static_cast<IUndula*>(library_.Create(kSignalInterface));
    reason_ = library_.Reason();
    return object_ != nullptr;
}

void SignalLibrarySlot::Unload() {
    object_ = nullptr;
    library_.Unload();
}

bool DriverSlot::Load(std::string_view deviceName) {
    Unload();
    library_ = quorvel::OpenComponent(quorvel::CategoryDrivers, deviceName);
    object_ = static_cast<IADCDevice*>(library_.Create(kDriverInterface));
    reason_ = library_.Reason();
    if (object_ == nullptr) {
        library_.Unload();
    }
    return object_ != nullptr;
}

void DriverSlot::Unload() {
    if (object_ != nullptr) {
        object_->Release();
        object_ = nullptr;
    }
    library_.Unload();
}

ViewerSlot::LoadResult ViewerSlot::Load() {
    Unload();
    library_ = quorvel::OpenComponent(quorvel::CategoryBaseLibrary, kViewerName);
    if (!library_.IsLoaded()) {
        reason_ = library_.Reason();
        return LoadResult::NoFactory;
    }
    object_ = static_cast<ILUPEX*>(library_.Create(kViewerInterface));
    reason_ = library_.Reason();
    return object_ != nullptr ? LoadResult::Loaded : LoadResult::NoObject;
}

void ViewerSlot::Unload() {
    if (object_ != nullptr) {
        object_->Release();
        object_ = nullptr;
    }
    library_.Unload();
}

bool TunerSlot::Load() {
    library_ = quorvel::OpenComponent(quorvel::CategoryBaseLibrary, kTunerName);
    return library_.IsLoaded();
}

void TunerSlot::Setup(IADCDevice* driver) {
    if (library_.IsLoaded()) {
        library_.Factory()->Create(kTunerSetup, driver);
    }
}

} // namespace board
