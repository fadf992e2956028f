#pragma once
// Self-registration of a component: what DllRegisterServer and
// DllUnregisterServer do, for any component.
//
// Registering writes, in one replacement of the registry file (RegistryPath()),
//   [SOFTWARE\<registry base>\<component name>]
//   "path"="<absolute path of the library file>"
//   "UIName"="<interface name>"
// and keeps every other key and value. Unregistering deletes "path", "UIName" and
// the key. Both return S_OK or E_FAIL; on failure they print one line saying why on
// stderr (the entry points have no other way to tell), and a registry file that
// does not parse is left untouched.
//
// Components built on quorvel::ComponentFactory (component_factory.h) get both
// entry points from QUORVEL_COMPONENT; a component with a hand-written factory
// calls RegisterFactory / UnregisterFactory from its own entry points.

#include "signal/component/ifactory.h"

#include <cstdint>
#include <string>

namespace quorvel {

// registryBase is e.g. "Quorvel LTD\Base library\1.0" (see RegistryBase()).
int32_t RegisterServer(const char* registryBase, const char* componentName,
                       const char* interfaceName, const std::string& modulePath);
int32_t UnregisterServer(const char* registryBase, const char* componentName);

// The same with the names the factory answers in slots 6-8 and the path of the
// library that holds the factory object.
int32_t RegisterFactory(IFactory& factory);
int32_t UnregisterFactory(IFactory& factory);

} // namespace quorvel
