// Case conversion of GBK text as an edit control with a case-conversion style applies it to what
// is put into it.
#pragma once

#include <cstddef>
#include <string>

#include "platform/window_system.h"

namespace marvane::os::headless {

// Converts the letters of text in place: ASCII letters, and double-byte letters whose capital (or
// small) form is a single GBK character too; every other letter stays. A double-byte character is
// always taken whole, so a trail byte such as 0x61 after a lead byte is never read as "a".
void ConvertCase(char* text, std::size_t size, CaseConversion mode);

inline void ConvertCase(std::string& text, CaseConversion mode) {
  ConvertCase(text.data(), text.size(), mode);
}

}  // namespace marvane::os::headless
