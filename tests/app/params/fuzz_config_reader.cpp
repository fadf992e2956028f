// Fuzz target of the configuration reader: any bytes as a configuration file must
// load without a crash and without a read outside the text, and every lookup and
// the settings loader must cope with what the normalisation made of them.
//
// Built two ways: with clang as a libFuzzer program (fuzz_config_reader), and with
// any compiler as a replay program (FUZZ_REPLAY) that runs the files named on its
// command line, or else fixed seeds and a fixed set of their mutations, so that the
// test run (and its sanitizer builds) exercise the same code.

#include "app/params/config_number.h"
#include "app/params/config_reader.h"
#include "app/params/settings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    params::ConfigReader reader;
    reader.OpenBytes(bytes);

    // Lookups with fixed keys and with keys taken from the input itself.
    std::string text;
    int i = 0;
    double d = 0;
    std::array<double, 16> list{};
    for (const std::string_view key : {"Language", "Frequency", "RezistList", " ", ""}) {
        reader.GetString(key, text, 30, "x");
        reader.GetInt(key, i, 1);
        reader.GetDouble(key, d, 1.0);
        reader.GetDoubleList(key, list);
    }
    const std::string_view ownKey = bytes.substr(0, 24);
    reader.GetString(ownKey, text, 8);
    reader.GetDoubleList(ownKey, list);

    // Every token of every line.
    while (const auto line = reader.NextLine()) {
        std::size_t position = 0;
        while (position < line->size()) {
            const auto number = params::ParseNumber(*line, position);
            position = number.end > position ? number.end : position + 1;
        }
    }

    params::Settings settings = params::DefaultSettings({0, 0, 348, 265});
    params::LoadSettings(settings, reader, {0, 0, 348, 265});
    return 0;
}

#ifdef FUZZ_REPLAY
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

namespace {

void Run(std::string_view bytes) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        for (int a = 1; a < argc; ++a) {
            std::ifstream in(argv[a], std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            Run(bytes);
        }
        return 0;
    }
    const std::vector<std::string> seeds{
        "Language          = \"English\"        //\r\n"
        "DeviceName        = \"KORD77USB\"      //\r\n"
        "Amplitude         = 5.000000         //\r\n"
        "RezistCount       = 5                //\r\n"
        "RezistList        = 50.0 75.0 100.0 150.0 \\\r\n"
        "                    600.0            //\r\n",
        "frequency=25\nA = 3 ; old 4\nT = 10:20\nX = 0x10 2K -1.5E-1 1.2.3\n",
        "\"unterminated \\\n/ / \\ \"q\" ;\"\n:::\n\\",
        std::string("K\0=\0\"\0\xff\x80\n", 9),
        "RezistCount = 2000000000\nRezistList = 1E39 -1E-400 9999999999999999999999 "
        "0XFFFFFFFFFFFFFFFFF",
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
        Run(seed);
        ++runs;
        for (int round = 0; round < 3000; ++round) {
            std::string bytes = seed;
            const uint32_t edits = 1 + next() % 8;
            for (uint32_t e = 0; e < edits; ++e) {
                const uint32_t r = next();
                const std::size_t at = bytes.empty() ? 0 : r % bytes.size();
                switch ((r >> 24) % 4) {
                case 0:
                    if (!bytes.empty()) {
                        bytes[at] = static_cast<char>(next());
                    }
                    break;
                case 1:
                    bytes.insert(at, 1, "\\/\"\n;:0xXEDKM.+- "[next() % 18]);
                    break;
                case 2:
                    if (!bytes.empty()) {
                        bytes.erase(at, 1 + next() % 4);
                    }
                    break;
                default:
                    bytes.resize(at); // truncated
                    break;
                }
            }
            Run(bytes);
            ++runs;
        }
    }
    std::cout << runs << " inputs read\n";
    return 0;
}
#endif
