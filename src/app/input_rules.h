// Keyboard rules of the main window that do not depend on Windows: the count box's filter and the tab order.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace quorvane {

// Whether the count box takes a typed character: control characters always, otherwise digits and '-' only.
bool countBoxAcceptsCharacter(unsigned int code);

struct FocusCandidateState {
    bool shown = false;
    bool enabled = false;
    bool tabStop = false;
    int tabOrder = 0;
};

// Indices (layout order) of the controls that can take the focus, in tab order: the smallest tab-order
// number first, a tie going to the control later in layout order.
std::vector<std::size_t> tabSequence(const std::vector<FocusCandidateState>& controlsInLayoutOrder);

// The control that Tab (or Shift+Tab, backwards) moves to from `current`, wrapping at both ends.
// From a control outside the sequence, Tab goes to the first candidate and Shift+Tab to the last.
std::optional<std::size_t> nextInTabSequence(const std::vector<std::size_t>& sequence,
                                             std::optional<std::size_t> current, bool backwards);

} // namespace quorvane
