// Fuzz target of the registry text parser: any bytes as a registry file must parse
// or be reported as damaged (with a line and a reason) without a crash, and a text
// that parses must come back unchanged from writing it out and reading it again,
// so a writer never turns an accepted file into a different or damaged one.
//
// Built two ways: with clang as a libFuzzer program (fuzz_registry), and with any
// compiler as a replay program (FUZZ_REPLAY) that runs the files named on its
// command line, or else fixed seeds and a fixed set of their mutations.

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

#ifdef FUZZ_REPLAY
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

namespace {

void Replay(std::string_view bytes) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        for (int a = 1; a < argc; ++a) {
            std::ifstream in(argv[a], std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            Replay(bytes);
        }
        return 0;
    }
    const std::vector<std::string> seeds{
        "Windows Registry Editor Version 5.00\r\n\r\n; the library\r\n"
        "[SOFTWARE\\Quorvel LTD\\Base library\\1.0\\UndulaN]\r\n"
        "\"path\"=\"/home/op/build/signal/libundulan.so\"\r\n"
        "\"UIName\"=\"IUndula\"\r\n",
        "[SOFTWARE\\Quorvel LTD\\Drivers\\1.0\\KORD77PCI]\n\"path\"=\"/l/k\\\\x\\\".so\"\n"
        "\"n\"=dword:0000002a\n\"b\"=hex:01,02,\\\n  03\n@=\"d\"\n[software\\quorvel ltd\\"
        "drivers\\1.0\\kord77pci]\n\"PATH\"=\"/other\"\n# end\n",
        "REGEDIT4\n[A]\n\"x\"=hex(2):41,00,\\\n 42,00\n[-B]\n\"y\"=-\n",
        std::string("\xEF\xBB\xBF[K]\n\"a\"=\"\0\"\n", 15),
    };
    uint32_t state = 2463534242u;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    std::size_t runs = 0;
    for (const std::string& seed : seeds) {
        Replay(seed);
        ++runs;
        for (int round = 0; round < 4000; ++round) {
            std::string bytes = seed;
            const uint32_t edits = 1 + next() % 8;
            for (uint32_t e = 0; e < edits; ++e) {
                const uint32_t r = next();
                const std::size_t at = bytes.empty() ? 0 : r % bytes.size();
                switch ((r >> 24) % 4) {
                case 0:
                    if (!bytes.empty())
                        bytes[at] = static_cast<char>(next());
                    break;
                case 1:
                    bytes.insert(at, 1, "[]\"\\=@;#-:,\r\n x0"[next() % 17]);
                    break;
                case 2:
                    if (!bytes.empty())
                        bytes.erase(at, 1 + next() % 4);
                    break;
                default:
                    bytes.resize(at); // truncated
                    break;
                }
            }
            Replay(bytes);
            ++runs;
        }
    }
    std::cout << runs << " inputs read\n";
    return 0;
}
#endif
