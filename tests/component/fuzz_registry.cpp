// Fuzz target of the registry text parser: any bytes as a registry file must parse
// or be reported as damaged (with a line and a reason) without a crash, and a text
// that parses must come back unchanged from writing it out and reading it again,
// so a writer never turns an accepted file into a different or damaged one.
//
// Built two ways (tests/CMakeLists.txt, add_fuzz_target): as a libFuzzer program in
// a fuzzing tree, and with any compiler as a replay program that runs the seed
// corpus in tests/fuzz/fuzz_registry/ and fixed mutations of it as a test.

#include "component/registry_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "registry fuzz: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const quorvel::RegistryParse parse = quorvel::ParseRegistry(bytes);
    if (!parse.ok) {
        Require(parse.line >= 1, "damage without a line");
        Require(!parse.reason.empty(), "damage without a reason");
        Require(parse.document.keys.empty(), "damage with keys");
        return 0;
    }
    const std::string written = quorvel::SerializeRegistry(parse.document);
    const quorvel::RegistryParse again = quorvel::ParseRegistry(written);
    Require(again.ok, "a written document does not parse");
    Require(quorvel::SerializeRegistry(again.document) == written,
            "writing a read document changes it");

    // A writer's edit on top of whatever was read stays readable.
    quorvel::RegistryDocument edited = parse.document;
    quorvel::SetString(edited, "SOFTWARE\\Quorvel LTD\\Base library\\1.0\\UndulaN", "path",
                       "/a \"b\"\\c.so");
    if (!edited.keys.empty())
        quorvel::DeleteKey(edited, edited.keys.front().name);
    Require(quorvel::ParseRegistry(quorvel::SerializeRegistry(edited)).ok,
            "an edited document does not parse");
    return 0;
}
