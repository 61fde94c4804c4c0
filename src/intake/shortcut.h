// Reading a Windows shortcut file as the command line that it stands for.
#pragma once

#include <string>

namespace quorvane {

// The shortcut's target path (quoted when it holds a blank), then one space and its arguments when it has
// any. Empty text when the shortcut cannot be read or names no file-system target. A path that does not hold
// ".lnk" (in any letter case) is opened with ".lnk" appended. The stored target is used as it is, also when
// it has moved. Needs COM initialised on the calling thread.
std::string resolveShortcut(const std::string& path);

} // namespace quorvane
