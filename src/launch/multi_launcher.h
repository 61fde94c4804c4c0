// Starting the chosen number of copies of the program on worker threads.
#pragma once

#include <string>

#include "launch/start_program.h"
#include "settings/launch_settings.h"

namespace quorvane {

class MultiLauncher {
public:
    // How one copy is started; startProgram unless a test counts the starts instead.
    using StartFunction = bool (*)(const std::string& commandLine, bool waitForExit, int showMode);

    explicit MultiLauncher(StartFunction start = &startProgram) noexcept : start_(start) {}

    // One press of the start button: returns at once; the copies are started by worker threads.
    // Starts textToInteger(countText) copies of programPath, none for a count of 0 or below; the first
    // refused start ends the press. Reports nothing.
    void launch(const LaunchSettings& settings);

private:
    StartFunction start_;
};

} // namespace quorvane
