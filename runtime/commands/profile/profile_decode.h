// Brings a profile file, and the names asked of it, into the one form the parser reads: GBK text in
// which every double-byte character is well formed. The parser can then scan bytes: no trail byte
// is below 0x40, so line ends, blanks, "=", NUL and quotes are never half of a character.
#pragma once

#include <string>
#include <string_view>

#include "platform/gbk_bytes.h"
#include "platform/platform.h"

namespace marvane::profile {

// What a lead byte at the very end of the bytes becomes: "?" in a file, nothing in a name asked
// for (the platform's two conversions differ there).
enum class LoneLead { kReplace, kDrop };

// A lead byte followed by a byte that cannot end a character becomes "?" and takes that byte with
// it, except a NUL, which stays. 0x80 and 0xFF stand alone.
std::string NormalizeGbk(std::string_view bytes, LoneLead lone_lead);
// The same in the bytes' own buffer: the normal form is never longer.
void NormalizeGbkInPlace(std::string* bytes, LoneLead lone_lead);

// UTF-8 to UTF-16 the way the platform reads a profile file: every malformed sequence becomes
// U+FFFD. A sequence cut short by a byte that does not continue it covers the bytes read so far;
// one cut short by the end of the data covers the rest of the data; an impossible first
// continuation byte (overlong, surrogate or above U+10FFFF) ends a sequence of lead and that byte.
std::u16string DecodeUtf8(std::string_view bytes);

// A file starting EF BB BF is read as UTF-8, FF FE and FE FF as UTF-16 (an odd last byte standing
// for the character of that value); their text is converted to GBK by the codec. Any other file is
// GBK, normalized as above.
std::string DecodeProfileFile(std::string_view bytes, os::TextCodec& codec);
// The same, reusing the bytes' buffer for a GBK file.
std::string DecodeProfileFile(std::string&& bytes, os::TextCodec& codec);

}  // namespace marvane::profile
