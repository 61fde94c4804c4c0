// Behaviours added to the window's edit boxes: text centred in a tall box, and the count box's typing filter.
#pragma once

#include <windows.h>

namespace quorvane {

// Centres the single line of text vertically by giving the box's spare height to its non-client area.
bool centreTextVertically(HWND edit);

// Drops typed characters that are not digits or '-'; control characters and pasted text pass.
bool filterCountCharacters(HWND edit);

} // namespace quorvane
