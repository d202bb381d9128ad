// How the text commands step over double-byte characters: byte-marker stepping (gbk::IsHighByte)
// here, code-page stepping (gbk::IsLeadByte) where a search compares characters.
#pragma once

#include <cstddef>

#include "platform/gbk_bytes.h"

namespace marvane::commands {

// The size of the character at p by byte-marker stepping, or 0 when a lead byte is followed by
// the terminating NUL (the text ends inside the character). p must not point at the NUL.
inline std::size_t MarkerStep(const char* p) {
  if (!gbk::IsHighByte(static_cast<unsigned char>(p[0]))) return 1;
  return p[1] == '\0' ? 0 : 2;
}

}  // namespace marvane::commands
