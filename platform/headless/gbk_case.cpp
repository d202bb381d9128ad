#include "platform/headless/gbk_case.h"

#include <cstdint>
#include <cstring>

#include "platform/gbk_bytes.h"
#include "platform/headless/gbk_case_table.h"

namespace marvane::os::headless {
namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

struct Direction {
  unsigned char first;  // the ASCII range that changes
  unsigned char last;
  const unsigned char* row_of_lead;
  const unsigned short (*rows)[256];
};

void Convert(unsigned char* p, std::size_t n, const Direction& d) {
  // Kept in locals: stores through p may alias anything, so members would be reloaded each time.
  const unsigned char first = d.first;
  const unsigned char last = d.last;
  // Added to a word of ASCII bytes these set a byte's high bit when it is >= first, > last. No
  // byte carries into the next: each byte is below 0x80 and each constant too.
  const std::uint64_t reach_first = kOnes * (0x80 - first);
  const std::uint64_t pass_last = kOnes * (0x80 - last - 1);
  const unsigned char* row_of_lead = d.row_of_lead;
  const unsigned short(*rows)[256] = d.rows;
  std::size_t i = 0;
  while (i < n) {
    // Most text is ASCII: take eight bytes at a time while they are all below 0x80.
    while (n - i >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p + i, 8);
      if (word & kHighBits) break;
      std::uint64_t in_range = (word + reach_first) & ~(word + pass_last) & kHighBits;
      word ^= in_range >> 2;  // 0x80 >> 2 is the case bit 0x20
      std::memcpy(p + i, &word, 8);
      i += 8;
    }
    if (i >= n) break;
    unsigned char b = p[i];
    if (b < 0x80) {
      if (b >= first && b <= last) p[i] = static_cast<unsigned char>(b ^ 0x20);
      ++i;
    } else if (gbk::IsLeadByte(b) && i + 1 < n) {
      // A lead byte takes the next byte with it. A pair that is no valid character has an
      // empty table entry, and its second byte (below 0x40, 0x7F or 0xFF) is never a letter.
      if (unsigned row = row_of_lead[b]) {
        if (unsigned short code = rows[row - 1][p[i + 1]]) {
          p[i] = static_cast<unsigned char>(code >> 8);
          p[i + 1] = static_cast<unsigned char>(code & 0xFF);
        }
      }
      i += 2;
    } else {
      ++i;  // 0x80, 0xFF, or a lead byte at the very end
    }
  }
}

}  // namespace

void ConvertCase(char* text, std::size_t size, CaseConversion mode) {
  static constexpr Direction kUpper{'a', 'z', case_table::kUpperRowOfLead, case_table::kUpperRows};
  static constexpr Direction kLower{'A', 'Z', case_table::kLowerRowOfLead, case_table::kLowerRows};
  if (mode == CaseConversion::kNone || size == 0) return;
  Convert(reinterpret_cast<unsigned char*>(text), size,
          mode == CaseConversion::kUpper ? kUpper : kLower);
}

}  // namespace marvane::os::headless
