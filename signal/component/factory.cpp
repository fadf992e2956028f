#include "signal/component/factory.h"

#include "component/interface_name.h"
#include "signal/undula.h"

#include <memory>
#include <new>
#include <system_error>

void* Factory::Create(const char* interfaceName, void* /*argument*/) {
    if (!quorvel::SameInterfaceName(interfaceName, GetInterfaceName()))
        return nullptr;
    try {
        return Adopt(std::make_unique<Undula>());
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::system_error&) {
        return nullptr;
    }
}

const char* Factory::GetRegistryBase() {
    return "Quorvel LTD\\Base library\\1.0";
}

const char* Factory::GetComponentName() {
    return "UndulaN";
}

const char* Factory::GetInterfaceName() {
    return "IUndula";
}
