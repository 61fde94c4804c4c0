// Choosing the program by dropping it on the main window: registration, the drop handler and the store.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "intake/file_drop_target.h"
#include "platform/com.h"
#include "settings/settings_file.h"

namespace quorvane {

class DropIntake {
public:
    // showProgramPath replaces the path box's text; settings receives the new target.
    DropIntake(const SettingsFile& settings, std::function<void(const std::string&)> showProgramPath);
    ~DropIntake();
    DropIntake(const DropIntake&) = delete;
    DropIntake& operator=(const DropIntake&) = delete;

    // Registers the window once; false when RegisterDragDrop fails or a window was registered before.
    bool registerWindow(HWND window);
    // Revokes the registration and lets the drop target go; called as the window's controls are torn down.
    void unregisterWindow();
    // The filesDropped handler: makes the dropped program the target, shown and stored; a drop that
    // yields no program leaves the current target as it is.
    void onFilesDropped(const std::string& paths);

private:
    const SettingsFile& settings_;
    std::function<void(const std::string&)> showProgramPath_;
    std::optional<HWND> registeredWindow_; // set at the first registerWindow, also when it fails
    bool registered_ = false;              // RegisterDragDrop succeeded and has not been revoked
    ComPtr<FileDropTarget> dropTarget_;    // owned; the window's registration holds a reference too
};

} // namespace quorvane
