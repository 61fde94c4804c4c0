// Name handling of the settings reads, kept apart from the INI calls.
#include "settings/profile_names.h"

namespace quorvane {

std::string_view skipLeadingBlanks(std::string_view name)
{
    std::size_t i = 0;
    while (i < name.size() && static_cast<unsigned char>(name[i]) >= 1 && static_cast<unsigned char>(name[i]) <= 32)
        ++i;
    return name.substr(i);
}

} // namespace quorvane
