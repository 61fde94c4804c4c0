// Name handling of the settings reads, kept apart from the INI calls.
#pragma once

#include <string_view>

namespace quorvane {

// The name without its leading control characters and spaces (bytes 1 to 32); nothing is cut at the end.
std::string_view skipLeadingBlanks(std::string_view name);

} // namespace quorvane
