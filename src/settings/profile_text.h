// Text rules of the INI calls, kept apart from the calls: names as they are looked up, values as they are written.
#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// The name without its leading control characters and spaces (bytes 1 to 32); nothing is cut at the end.
std::string_view skipLeadingBlanks(std::string_view name);

// The text to write so that the INI reader gives the value back unchanged. The reader drops one pair of
// quotes around a whole value and the blanks at either end, so such a value is written inside one more
// pair of double quotes; any other value is written as it is.
std::string protectedForReading(const std::string& value);

} // namespace quorvane
