#pragma once

#include "platform/win32/window_system.h"

namespace marvane::os::win32 {

// Gives a control's record its text colour and background brush, each unless it is the
// system's default.
inline void SetColors(Win32Window* record, std::uint32_t text, std::uint32_t background) {
  if (!IsDefaultColor(text)) {
    record->has_text_color = true;
    record->text_color = text & 0xFFFFFF;
  }
  if (!IsDefaultColor(background)) {
    record->background = background & 0xFFFFFF;
    record->brush = CreateSolidBrush(record->background);
  }
}

}  // namespace marvane::os::win32
