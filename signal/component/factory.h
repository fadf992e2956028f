#pragma once
// Factory: the library's one factory, exported as StaticFactory. It makes signal
// objects (`Undula`) for the interface "IUndula" and names the component for
// registration: key SOFTWARE\Quorvel LTD\Base library\1.0\UndulaN.

#include "signal/component/dll_factory.h"

class Factory final : public DllFactory {
public:
    constexpr Factory() = default;

    // A new Undula when `interfaceName` is "IUndula" without regard to case; null
    // for any other name, an empty or null one, or when memory runs out. The
    // argument is ignored.
    void* Create(const char* interfaceName, void* argument) override;
    const char* GetRegistryBase() override;
    const char* GetComponentName() override;
    const char* GetInterfaceName() override;
};
