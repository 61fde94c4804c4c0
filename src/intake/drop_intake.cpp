// Choosing the program by dropping it on the main window: registration, the drop handler and the store.
#include "intake/drop_intake.h"

#include <utility>

#include "intake/shortcut.h"
#include "intake/target_text.h"

namespace quorvane {

DropIntake::DropIntake(const SettingsFile& settings, std::function<void(const std::string&)> showProgramPath)
    : settings_(settings),
      showProgramPath_(std::move(showProgramPath)),
      dropTarget_(FileDropTarget::create([this](const std::string& paths) { onFilesDropped(paths); }))
{
}

DropIntake::~DropIntake()
{
    unregisterWindow();
}

bool DropIntake::registerWindow(HWND window)
{
    if (registeredWindow_) return false;
    // Set before the call: a failed registration is not tried again.
    registeredWindow_ = window;
    if (!dropTarget_) return false;
    registered_ = ::RegisterDragDrop(window, dropTarget_.get()) == S_OK;
    return registered_;
}

void DropIntake::unregisterWindow()
{
    if (registered_) {
        ::RevokeDragDrop(*registeredWindow_);
        registered_ = false;
    }
    if (dropTarget_) {
        dropTarget_->disconnect();
        dropTarget_.reset();
    }
}

void DropIntake::onFilesDropped(const std::string& paths)
{
    // A drop that yields no program leaves the current target as it is, in the box and in the file.
    const std::string target = targetTextForDrop(paths, resolveShortcut);
    if (target.empty()) return;
    if (showProgramPath_) showProgramPath_(target);
    settings_.storeProgramPath(target);
}

} // namespace quorvane
