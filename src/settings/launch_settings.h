// The two remembered values that travel between the settings file, the window and the launcher.
#pragma once

#include <string>

namespace quorvane {

struct LaunchSettings {
    std::string countText;   // the launch count exactly as typed or stored; it stays text
    std::string programPath; // the command line of the copies
};

} // namespace quorvane
