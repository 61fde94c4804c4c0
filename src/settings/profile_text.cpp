// Text rules of the INI calls, kept apart from the calls: names as they are looked up, values as they are written.
#include "settings/profile_text.h"

namespace quorvane {

std::string_view skipLeadingBlanks(std::string_view name)
{
    std::size_t i = 0;
    while (i < name.size() && static_cast<unsigned char>(name[i]) >= 1 && static_cast<unsigned char>(name[i]) <= 32)
        ++i;
    return name.substr(i);
}

std::string protectedForReading(const std::string& value)
{
    if (value.empty()) return value;
    const char first = value.front();
    const char last = value.back();
    const bool quoted = value.size() >= 2 && (first == '"' || first == '\'') && last == first;
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    if (!quoted && !isBlank(first) && !isBlank(last)) return value;
    return '"' + value + '"';
}

} // namespace quorvane
