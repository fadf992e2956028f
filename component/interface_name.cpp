#include "component/interface_name.h"

#include "component/registry_text.h"

#include <string_view>

namespace quorvel {

bool SameInterfaceName(const char* name, const char* expected) {
    if (name == nullptr || name[0] == '\0' || expected == nullptr)
        return false;
    return SameRegistryName(name, expected);
}

} // namespace quorvel
