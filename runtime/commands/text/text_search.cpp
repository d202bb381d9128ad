#include <cstdint>
#include <cstring>

#include "runtime/commands/text/gbk_stepping.h"
#include "runtime/commands/text/text_commands.h"
#include "runtime/values/values.h"

namespace marvane::commands {
namespace {

bool EqualAt(const char* at, const char* search, std::size_t m, bool fold) {
  if (!fold) return std::memcmp(at, search, m) == 0;
  for (std::size_t i = 0; i < m; ++i) {
    if (gbk::AsciiLower(at[i]) != gbk::AsciiLower(search[i])) return false;
  }
  return true;
}

// The next character by code-page stepping: its value and size; value 0 at the end of the text.
unsigned NextCharacter(const unsigned char* p, std::size_t* size) {
  if (p[0] == 0) return *size = 0, 0;
  if (gbk::IsLeadByte(p[0])) {
    if (p[1] == 0) return *size = 0, 0;  // a lead byte before the NUL ends the text
    *size = 2;
    return p[0] * 256u + p[1];
  }
  *size = 1;
  return p[0];
}

// From offset on, past every run of eight bytes below 0x80 none of which is `first`: each such
// byte is a character of its own and none can start a match. Stops short of the last eight.
std::int64_t SkipNonStarts(const char* text, std::int64_t offset, std::int64_t length,
                           unsigned char first) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
  const std::uint64_t firsts = kOnes * first;
  while (length - offset >= 8) {
    std::uint64_t word;
    std::memcpy(&word, text + offset, 8);
    const std::uint64_t x = word ^ firsts;
    if ((word & kHighBits) | ((x - kOnes) & ~x & kHighBits)) break;
    offset += 8;
  }
  return offset;
}

}  // namespace

void FindText(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  const char* text = TextOf(Arg(argc, args, 0));
  const char* search = TextOf(Arg(argc, args, 1));
  const ValueRecord& start = Arg(argc, args, 2);
  const bool fold = Arg(argc, args, 3).low == 1;
  const auto length = static_cast<std::int64_t>(std::strlen(text));
  const std::size_t m = std::strlen(search);

  std::int64_t s = IsOmitted(start) ? 0 : static_cast<std::int64_t>(IntOf(start)) - 1;
  if (s < 0) s = 0;
  std::int32_t found = -1;
  if (s < length) {
    if (m == 0) {
      found = 1;
    } else {
      std::int64_t offset = s;
      while (length - offset >= static_cast<std::int64_t>(m)) {
        if (!fold) {
          offset = SkipNonStarts(text, offset, length, static_cast<unsigned char>(search[0]));
          if (length - offset < static_cast<std::int64_t>(m)) break;
        }
        if (EqualAt(text + offset, search, m, fold)) {
          found = static_cast<std::int32_t>(offset + 1);
          break;
        }
        std::size_t step = MarkerStep(text + offset);
        if (step == 0) break;
        offset += static_cast<std::int64_t>(step);
      }
    }
  }
  *result = IntValue(found);
}

void CompareText(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  auto a = reinterpret_cast<const unsigned char*>(TextOf(Arg(argc, args, 0)));
  auto b = reinterpret_cast<const unsigned char*>(TextOf(Arg(argc, args, 1)));
  const bool exact = Arg(argc, args, 2).low != 0;
  std::int32_t order = 0;
  for (;;) {
    std::size_t na, nb;
    unsigned ca = NextCharacter(a, &na);
    unsigned cb = NextCharacter(b, &nb);
    if (!exact) {
      ca = gbk::AsciiLowerCode(ca);
      cb = gbk::AsciiLowerCode(cb);
    }
    if (ca != cb) {
      order = ca < cb ? -1 : 1;
      break;
    }
    if (ca == 0) break;
    a += na;
    b += nb;
  }
  *result = IntValue(order);
}

}  // namespace marvane::commands
