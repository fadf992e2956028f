#include "app/params/version_text.h"

#include <array>
#include <charconv>

#ifndef PROJECT_VERSION
#error "PROJECT_VERSION must be defined by the build"
#endif

namespace params {

std::string MakeVersionText(std::string_view version) {
    std::array<unsigned, 4> numbers{};
    for (unsigned& number : numbers) {
        const auto dot = version.find('.');
        const std::string_view part = version.substr(0, dot);
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), number);
        if (ec != std::errc() || end != part.data() + part.size()) {
            number = 0;
        }
        if (dot == std::string_view::npos) {
            break;
        }
        version.remove_prefix(dot + 1);
    }
    std::string text;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i != 0) {
            text.push_back('.');
        }
        text.append(std::to_string(numbers[i]));
    }
    return text;
}

std::string ProgramVersionText() {
    return MakeVersionText(PROJECT_VERSION);
}

} // namespace params
