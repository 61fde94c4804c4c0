// Starting one copy of the program: one process start with the launcher's environment and current directory.
#pragma once

#include <string>

#include "launch/show_mode.h"

namespace quorvane {

// Starts commandLine, exactly as given, as a new process whose first window is shown as showMode says
// (settled by settleShowMode). Waits until the copy ends when waitForExit is set, otherwise at most 1000 ms
// for it to become ready for input. Both handles of the copy are closed before it returns.
// True when the copy was started, false when the platform refused to start it (an empty command line too).
bool startProgram(const std::string& commandLine, bool waitForExit = false,
                  int showMode = static_cast<int>(ShowMode::NormalActive));

} // namespace quorvane
