// The full path of the running program file, however long.
#pragma once

#include <string>

namespace quorvane::platform {

// GetModuleFileNameA with a buffer grown until the whole path fits; empty text when the call fails.
std::string currentProgramPath();

} // namespace quorvane::platform
