// The byte rules of GBK text, one named predicate each. Every layer includes this header (it needs
// no library). The places that step over double-byte characters differ on purpose: each keeps the
// rule its behaviour was measured with, so pick the predicate by name, never by a range written
// out.
#pragma once

namespace marvane::gbk {

// A lead byte of code page 936, 0x81 to 0xFE: the byte that begins a double-byte character. The
// profile reader, the text search, paths, the edit box's capitals and the code conversion step so.
constexpr bool IsLeadByte(unsigned char b) {
  return b >= 0x81 && b <= 0xFE;
}

// A byte that can end a double-byte character of code page 936: 0x40 to 0xFE, except 0x7F.
constexpr bool IsTrailByte(unsigned char b) {
  return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

// Byte-marker stepping: any byte with the high bit set, 0x80 and 0xFF included, takes the next
// byte with it. The text commands and the line reader step so.
constexpr bool IsHighByte(unsigned char b) {
  return b >= 0x80;
}

// The XML parser's stepping: a lead byte or 0xFF (any byte above 0x80) takes the next byte with it.
constexpr bool IsLeadByteOrFF(unsigned char b) {
  return b > 0x80;
}

// ASCII letters only: a byte of a double-byte character is never changed.
constexpr char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
// The same for a character's code, where a double-byte character's code is above 0xFF.
constexpr unsigned AsciiLowerCode(unsigned code) {
  return (code >= 'A' && code <= 'Z') ? code - 'A' + 'a' : code;
}

}  // namespace marvane::gbk
