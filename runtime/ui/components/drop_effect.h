// The effect a drop area answers for a drag: what the held keys ask for when the source allows it
// (a link asked for with Control+Shift is refused), else copy, move or link, the first the source
// allows. Header-only so that test programs standing in for the drop area answer exactly as the
// program does.
#pragma once

#include <cstdint>

#include "platform/window_system.h"

namespace marvane::ui {

inline std::uint32_t DropEffect(bool acceptable, std::uint32_t keys, std::uint32_t allowed) {
  using namespace os::drag;
  if (!acceptable) return kEffectNone;
  const bool control = keys & kControl, shift = keys & kShift;
  if (control || shift) {
    const std::uint32_t wanted = control ? (shift ? kEffectLink : kEffectCopy) : kEffectMove;
    if (wanted == kEffectLink || !(allowed & wanted)) return kEffectNone;
    return wanted;
  }
  // A source that offers only a link (a shortcut's target, say) can still drop its files.
  if (allowed & kEffectCopy) return kEffectCopy;
  if (allowed & kEffectMove) return kEffectMove;
  if (allowed & kEffectLink) return kEffectLink;
  return kEffectNone;
}

}  // namespace marvane::ui
