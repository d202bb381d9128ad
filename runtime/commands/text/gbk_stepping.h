// The two ways the text commands step over double-byte characters.
#pragma once

#include <cstddef>

namespace marvane::commands {

// Byte-marker stepping: any byte of 0x80 or more begins a two-byte character.
inline bool IsMarkerLead(unsigned char c) {
  return c >= 0x80;
}
// Code-page stepping: the lead bytes of code page 936.
inline bool IsCodePageLead(unsigned char c) {
  return c >= 0x81 && c <= 0xFE;
}

// The size of the character at p by byte-marker stepping, or 0 when a lead byte is followed by
// the terminating NUL (the text ends inside the character). p must not point at the NUL.
inline std::size_t MarkerStep(const char* p) {
  if (!IsMarkerLead(static_cast<unsigned char>(p[0]))) return 1;
  return p[1] == '\0' ? 0 : 2;
}

inline char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

}  // namespace marvane::commands
