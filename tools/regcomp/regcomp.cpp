// regcomp LIB...      registers each component library
// regcomp -u LIB...   unregisters them
//
// Each library is loaded and its DllRegisterServer (or DllUnregisterServer) is
// called; the library writes the registry file itself. The exit status is 0 when
// every library succeeded, 1 when any failed, 2 for a usage error.

#include "component/registry_file.h"
#include "signal/component/ifactory.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <vector>

namespace {

void Usage(std::FILE* to) {
    std::fputs("usage: regcomp [-u] LIBRARY...\n"
               "  Registers each component library in the component registry, or\n"
               "  unregisters it with -u. The registry file is $QUORVEL_REGISTRY when set.\n",
               to);
}

// Adds what the registry file itself may tell about a failure.
void ExplainRegistry(const std::string& file) {
    const quorvel::RegistryLoad load = quorvel::LoadRegistry(file);
    if (load.status == quorvel::RegistryStatus::Damaged ||
        load.status == quorvel::RegistryStatus::Unreadable)
        std::fprintf(stderr, "regcomp: %s\n", load.message.c_str());
}

bool Process(const char* argument, bool unregister, const std::string& registry) {
    const char* action = unregister ? "unregister" : "register";
    char resolved[PATH_MAX];
    if (::realpath(argument, resolved) == nullptr) {
        std::fprintf(stderr, "regcomp: cannot %s %s: %s\n", action, argument, std::strerror(errno));
        return false;
    }
    ::dlerror();
    void* library = ::dlopen(resolved, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = ::dlerror();
        std::fprintf(stderr, "regcomp: cannot load %s: %s\n", resolved,
                     why != nullptr ? why : "unknown error");
        return false;
    }
    const char* symbol = unregister ? UnregisterServerSymbol : RegisterServerSymbol;
    auto entry = reinterpret_cast<RegisterServerFunction>(::dlsym(library, symbol));
    if (entry == nullptr) {
        std::fprintf(stderr, "regcomp: %s is not a component: it exports no %s\n", resolved,
                     symbol);
        ::dlclose(library);
        return false;
    }
    const int32_t result = entry();
    ::dlclose(library);
    if (result != S_OK) {
        std::fprintf(stderr, "regcomp: %s of %s failed (0x%08X) in registry file %s\n",
                     unregister ? "unregistration" : "registration", resolved,
                     static_cast<unsigned>(result), registry.c_str());
        ExplainRegistry(registry);
        return false;
    }
    std::printf("regcomp: %s %s in %s\n", unregister ? "unregistered" : "registered", resolved,
                registry.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    bool unregister = false;
    std::vector<const char*> libraries;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (options && argument == "--") {
            options = false;
        } else if (options && argument == "-u") {
            unregister = true;
        } else if (options && (argument == "-h" || argument == "--help")) {
            Usage(stdout);
            return 0;
        } else if (options && argument.size() > 1 && argument.front() == '-') {
            std::fprintf(stderr, "regcomp: unknown option %s\n", argument.c_str());
            Usage(stderr);
            return 2;
        } else {
            libraries.push_back(argv[i]);
        }
    }
    if (libraries.empty()) {
        Usage(stderr);
        return 2;
    }
    const std::string registry = quorvel::RegistryPath();
    bool ok = true;
    for (const char* library : libraries)
        ok = Process(library, unregister, registry) && ok;
    return ok ? 0 : 1;
}
