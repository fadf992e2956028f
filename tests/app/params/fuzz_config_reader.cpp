// Fuzz target of the configuration reader: any bytes as a configuration file must
// load without a crash and without a read outside the text, and every lookup and
// the settings loader must cope with what the normalisation made of them.
//
// Built two ways (tests/CMakeLists.txt, add_fuzz_target): as a libFuzzer program in
// a fuzzing tree, and with any compiler as a replay program that runs the seed
// corpus in tests/fuzz/fuzz_config_reader/ and fixed mutations of it as a test.

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
