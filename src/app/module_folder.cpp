// The folder part of a program path, found without mistaking a double-byte character's second byte for a backslash.
#include "app/module_folder.h"

namespace quorvane {

std::string folderOfPath(std::string_view path)
{
    std::size_t lastBackslash = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (byte >= 0x80) {
            ++i; // the second byte belongs to this character
        } else if (byte == '\\') {
            lastBackslash = i;
        }
    }
    if (lastBackslash == std::string_view::npos) return {};
    return std::string(path.substr(0, lastBackslash));
}

} // namespace quorvane
