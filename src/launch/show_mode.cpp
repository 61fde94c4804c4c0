// How the main window of a started copy is first shown: the show-mode values and their window show commands.
#include "launch/show_mode.h"

namespace quorvane {

ShowMode settleShowMode(int requested) noexcept
{
    if (requested < static_cast<int>(ShowMode::Hidden)) return ShowMode::Hidden;
    if (requested > static_cast<int>(ShowMode::MinimizedInactive)) return ShowMode::MinimizedInactive;
    return static_cast<ShowMode>(requested);
}

int showWindowCommand(ShowMode mode) noexcept
{
    // SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED, SW_SHOWNOACTIVATE, SW_MINIMIZE;
    // start_program.cpp checks these numbers against <windows.h>.
    switch (mode) {
    case ShowMode::Hidden: return 0;
    case ShowMode::NormalActive: return 1;
    case ShowMode::MinimizedActive: return 2;
    case ShowMode::MaximizedActive: return 3;
    case ShowMode::NormalInactive: return 4;
    case ShowMode::MinimizedInactive: return 6;
    }
    return 1;
}

} // namespace quorvane
