// Keyboard rules of the main window that do not depend on Windows: the count box's filter and the tab order.
#include "app/input_rules.h"

#include <algorithm>

namespace quorvane {

bool countBoxAcceptsCharacter(unsigned int code)
{
    return code < 32 || (code >= '0' && code <= '9') || code == '-';
}

std::vector<std::size_t> tabSequence(const std::vector<FocusCandidateState>& controlsInLayoutOrder)
{
    std::vector<std::size_t> sequence;
    for (std::size_t i = 0; i < controlsInLayoutOrder.size(); ++i) {
        const auto& control = controlsInLayoutOrder[i];
        if (control.shown && control.enabled && control.tabStop) sequence.push_back(i);
    }
    std::stable_sort(sequence.begin(), sequence.end(), [&](std::size_t a, std::size_t b) {
        const int orderA = controlsInLayoutOrder[a].tabOrder;
        const int orderB = controlsInLayoutOrder[b].tabOrder;
        return orderA != orderB ? orderA < orderB : a > b;
    });
    return sequence;
}

std::optional<std::size_t> nextInTabSequence(const std::vector<std::size_t>& sequence,
                                             std::optional<std::size_t> current, bool backwards)
{
    if (sequence.empty()) return std::nullopt;
    const auto found = current ? std::find(sequence.begin(), sequence.end(), *current) : sequence.end();
    if (found == sequence.end()) return backwards ? sequence.back() : sequence.front();
    const std::size_t position = static_cast<std::size_t>(found - sequence.begin());
    const std::size_t size = sequence.size();
    return sequence[backwards ? (position + size - 1) % size : (position + 1) % size];
}

} // namespace quorvane
