#include "component/registration.h"

#include "component/module_path.h"
#include "component/registry_file.h"

#include <cstdio>

namespace quorvel {

namespace {

int32_t Complain(const char* componentName, const std::string& why) {
    std::fprintf(stderr, "%s: %s\n",
                 componentName != nullptr && componentName[0] != '\0' ? componentName : "component",
                 why.c_str());
    return E_FAIL;
}

bool Named(const char* text) {
    return text != nullptr && text[0] != '\0';
}

std::string KeyOf(const char* registryBase, const char* componentName) {
    return std::string("SOFTWARE\\") + registryBase + "\\" + componentName;
}

} // namespace

int32_t RegisterServer(const char* registryBase, const char* componentName,
                       const char* interfaceName, const std::string& modulePath) {
    if (!Named(registryBase) || !Named(componentName) || !Named(interfaceName))
        return Complain(componentName, "registration failed: the component has no name");
    if (modulePath.empty() || modulePath.front() != '/')
        return Complain(componentName,
                        "registration failed: the path of the library file is unknown");
    const std::string file = RegistryPath();
    const RegistryWrite write =
        SetRegistryStrings(file, KeyOf(registryBase, componentName),
                           {{"path", modulePath}, {"UIName", interfaceName}});
    if (!write.ok)
        return Complain(componentName, "registration failed: " + write.message);
    return S_OK;
}

int32_t UnregisterServer(const char* registryBase, const char* componentName) {
    if (!Named(registryBase) || !Named(componentName))
        return Complain(componentName, "unregistration failed: the component has no name");
    const std::string file = RegistryPath();
    const std::string key = KeyOf(registryBase, componentName);
    bool hadPath = false;
    bool hadName = false;
    const RegistryWrite write = UpdateRegistry(file, [&](RegistryDocument& document) {
        RegistryKey* k = FindKey(document, key);
        if (k == nullptr)
            return "it is not registered (no key " + key + " in " + file + ")";
        hadPath = DeleteValue(*k, "path");
        hadName = DeleteValue(*k, "UIName");
        DeleteKey(document, key);
        return std::string();
    });
    if (!write.ok)
        return Complain(componentName, "unregistration failed: " + write.message);
    if (!hadPath || !hadName)
        return Complain(componentName, "key " + key + " lacked \"path\" or \"UIName\"; " +
                                           "the key was removed all the same");
    return S_OK;
}

int32_t RegisterFactory(IFactory& factory) {
    return RegisterServer(factory.GetRegistryBase(), factory.GetComponentName(),
                          factory.GetInterfaceName(), ModulePathOf(&factory));
}

int32_t UnregisterFactory(IFactory& factory) {
    return UnregisterServer(factory.GetRegistryBase(), factory.GetComponentName());
}

} // namespace quorvel
