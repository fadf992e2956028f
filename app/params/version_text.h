#pragma once
// The program's version text for the About page: four decimal numbers joined by
// "." (major, minor, patch, build), taken from the project version.

#include <string>
#include <string_view>

namespace params {

// "1.2" -> "1.2.0.0", "1.2.3.4" -> "1.2.3.4"; parts that are not numbers read as 0.
std::string MakeVersionText(std::string_view version);

// The version text of this build.
std::string ProgramVersionText();

} // namespace params
