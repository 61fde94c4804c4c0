// Which effect the window offers for a drag: from the keys held and the effects that the source allows.
#include "intake/drop_effect.h"

#include <initializer_list>

namespace quorvane {

std::uint32_t chooseDropEffect(bool accepting, std::uint32_t keyState, std::uint32_t allowedEffects)
{
    const auto allowed = [allowedEffects](std::uint32_t effect) { return (allowedEffects & effect) != 0; };
    const bool control = (keyState & dragKey::control) != 0;
    const bool shift = (keyState & dragKey::shift) != 0;

    if (!accepting || (control && shift)) return dropEffect::none;
    if (control) return allowed(dropEffect::copy) ? dropEffect::copy : dropEffect::none;
    if (shift) return allowed(dropEffect::move) ? dropEffect::move : dropEffect::none;
    for (const std::uint32_t effect : {dropEffect::copy, dropEffect::move, dropEffect::link}) {
        if (allowed(effect)) return effect;
    }
    return dropEffect::none;
}

} // namespace quorvane
