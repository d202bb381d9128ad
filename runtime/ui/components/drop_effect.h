// The effect a drop area answers for a drag: what the held keys ask for when the source allows
// it, else copy or move as allowed; never a link. Header-only so that test programs standing in
// for the drop area answer exactly as the program does.
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
    // A link is never given.
    if (wanted == kEffectLink || !(allowed & wanted)) return kEffectNone;
    return wanted;
  }
  if (allowed & kEffectCopy) return kEffectCopy;
  if (allowed & kEffectMove) return kEffectMove;
  return kEffectNone;
}

}  // namespace marvane::ui
