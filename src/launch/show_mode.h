// How the main window of a started copy is first shown: the show-mode values and their window show commands.
#pragma once

namespace quorvane {

enum class ShowMode {
    Hidden = 1,
    NormalActive = 2,
    MinimizedActive = 3,
    MaximizedActive = 4,
    NormalInactive = 5,
    MinimizedInactive = 6,
};

// A requested show mode as the launcher uses it: above 6 counts as 6, below 1 as 1.
ShowMode settleShowMode(int requested) noexcept;

// The window show command (SW_ value) that a copy started in this mode receives.
int showWindowCommand(ShowMode mode) noexcept;

} // namespace quorvane
