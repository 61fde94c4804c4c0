// The full path of the running program file, however long.
#include "platform/module_path.h"

#include <windows.h>

#include <vector>

namespace quorvane::platform {

std::string currentProgramPath()
{
    // A long-path-aware system can hand back more than MAX_PATH bytes; a cut path would name the wrong folder.
    constexpr std::size_t largestPath = 65536; // 32767 UTF-16 units, two ANSI bytes each at most
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::string(buffer.data(), length);
        if (buffer.size() >= largestPath) return {};
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace quorvane::platform
