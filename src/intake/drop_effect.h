// Which effect the window offers for a drag: from the keys held and the effects that the source allows.
#pragma once

#include <cstdint>

namespace quorvane {

// The values of the OLE DROPEFFECT_* flags and the MK_* key-state bits, for code that does not see <windows.h>.
namespace dropEffect {
constexpr std::uint32_t none = 0;
constexpr std::uint32_t copy = 1;
constexpr std::uint32_t move = 2;
constexpr std::uint32_t link = 4;
} // namespace dropEffect

namespace dragKey {
constexpr std::uint32_t shift = 0x0004;
constexpr std::uint32_t control = 0x0008;
} // namespace dragKey

// The one effect offered: none while the drag carries no file list and for Ctrl+Shift (a link is never
// offered through the keys); Ctrl asks for copy, Shift for move; with neither, copy, else move, else link,
// whichever the source allows first. Alt and the mouse buttons are not looked at.
std::uint32_t chooseDropEffect(bool accepting, std::uint32_t keyState, std::uint32_t allowedEffects);

} // namespace quorvane
