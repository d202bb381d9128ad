#include "platform/headless/gbk_case.h"

#include <gtest/gtest.h>

#include <cctype>
#include <clocale>
#include <cwctype>
#include <string>

#include "tests/support/runtime_fixture.h"

namespace marvane::os::headless {
namespace {

using marvane::testing::Gbk;
constexpr CaseConversion kUp = CaseConversion::kUpper;
constexpr CaseConversion kLow = CaseConversion::kLower;

struct CaseCase {
  const char* name;
  std::string in;
  CaseConversion mode;
  std::string out;
};

TEST(GbkCase, ConvertsLettersAndTakesDoubleByteCharactersWhole) {
  const CaseCase cases[] = {
      {"ascii to capitals", "mac-00:1a:ff pc_z@[`{~", kUp, "MAC-00:1A:FF PC_Z@[`{~"},
      {"ascii to small", "MAC-00:1A:FF PC_Z@[`{~", kLow, "mac-00:1a:ff pc_z@[`{~"},
      {"no conversion", "abC\xA3\xE1", CaseConversion::kNone, "abC\xA3\xE1"},
      {"trail byte 0x61 is no a", "\xB0\x61", kUp, "\xB0\x61"},
      {"trail byte 0x41 is no A", "\xB0\x41", kLow, "\xB0\x41"},
      {"letter after a pair",
       "\xB0\x61"
       "a",
       kUp,
       "\xB0\x61"
       "A"},
      {"pair whose trail crosses an 8-byte word",
       "abcdefg\xB0\x61"
       "abcdefgh",
       kUp,
       "ABCDEFG\xB0\x61"
       "ABCDEFGH"},
      {"full-width a", "\xA3\xE1", kUp, "\xA3\xC1"},
      {"full-width A", "\xA3\xC1", kLow, "\xA3\xE1"},
      {"greek alpha", "\xA6\xC1", kUp, "\xA6\xA1"},
      {"greek capital alpha", "\xA6\xA1", kLow, "\xA6\xC1"},
      {"cyrillic", Gbk("абвёя"), kUp, Gbk("АБВЁЯ")},
      {"cyrillic capitals", Gbk("ЖЁЯ"), kLow, Gbk("жёя")},
      {"roman numeral", Gbk("ⅰⅹ"), kUp, Gbk("ⅠⅩ")},
      {"e acute: its capital is not in GBK", "\xA8\xA6", kUp, "\xA8\xA6"},
      {"u umlaut stays", Gbk("lü"), kUp, Gbk("Lü")},
      {"hanzi untouched", Gbk("机器名"), kUp, Gbk("机器名")},
      {"mixed line", Gbk("00-1a pc01 机房ａ区 αβ\r\n"), kUp, Gbk("00-1A PC01 机房Ａ区 ΑΒ\r\n")},
      {"mixed line to small", Gbk("PC01 机房Ａ区 ΑΒ"), kLow, Gbk("pc01 机房ａ区 αβ")},
      {"lone lead byte at the end", "a\xA3", kUp, "A\xA3"},
      {"lead byte before an invalid trail",
       "\x81\x30"
       "a\xA3\x7F"
       "b",
       kUp,
       "\x81\x30"
       "A\xA3\x7F"
       "B"},
      {"0x80 and 0xFF stand alone",
       "\x80"
       "a\xFF"
       "b",
       kUp,
       "\x80"
       "A\xFF"
       "B"},
      {"empty", "", kUp, ""},
  };
  for (const CaseCase& c : cases) {
    std::string text = c.in;
    ConvertCase(text, c.mode);
    EXPECT_EQ(text, c.out) << c.name;
  }
}

// The eight-at-a-time path must treat every ASCII byte at every position as the byte loop does.
TEST(GbkCase, EveryAsciiByteAtEveryOffset) {
  for (int offset = 0; offset < 8; ++offset) {
    std::string text(static_cast<std::size_t>(offset), '#');
    for (int b = 0; b < 0x80; ++b)
      text.push_back(static_cast<char>(b));
    for (CaseConversion mode : {kUp, kLow}) {
      std::string converted = text;
      ConvertCase(converted, mode);
      ASSERT_EQ(converted.size(), text.size());
      for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        int want = mode == kUp ? std::toupper(c) : std::tolower(c);  // "C" locale: ASCII only
        ASSERT_EQ(static_cast<unsigned char>(converted[i]), want)
            << "offset " << offset << " byte " << static_cast<int>(c);
      }
    }
  }
}

std::string Pair(int lead, int trail) {
  return {static_cast<char>(lead), static_cast<char>(trail)};
}

bool IsTrail(int b) {
  return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

// Every double-byte character against the C library's own Unicode case mapping: a letter changes
// exactly when its capital (small) letter is one GBK character.
TEST(GbkCase, AgreesWithTheUnicodeCaseMappingForEveryDoubleByteCharacter) {
  const char* saved = std::setlocale(LC_CTYPE, nullptr);
  std::string restore = saved ? saved : "C";
  if (!std::setlocale(LC_CTYPE, "C.UTF-8")) GTEST_SKIP() << "no C.UTF-8 locale";
  TextCodec& codec = *DefaultServices().codec;
  int changed = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (!IsTrail(trail)) continue;
      const std::string code = Pair(lead, trail);
      std::u16string wide = codec.GbkToUtf16(code);
      if (wide.size() != 1) continue;
      for (CaseConversion mode : {kUp, kLow}) {
        auto mapped =
            static_cast<char16_t>(mode == kUp ? std::towupper(wide[0]) : std::towlower(wide[0]));
        std::string want = code;
        if (mapped != wide[0]) {
          bool lossy = false;
          std::string back = codec.Utf16ToGbk(std::u16string(1, mapped), &lossy);
          if (!lossy && back.size() == 2) want = back;
        }
        std::string got = code;
        ConvertCase(got, mode);
        ASSERT_EQ(got, want) << std::hex << "code " << lead << trail << " mode "
                             << static_cast<int>(mode);
        if (got != code) ++changed;
      }
    }
  }
  std::setlocale(LC_CTYPE, restore.c_str());
  EXPECT_GT(changed, 0);
}

// Capitals and small letters pair up: converting there and back gives the letter again.
TEST(GbkCase, DoubleByteLettersRoundTrip) {
  int pairs = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (!IsTrail(trail)) continue;
      const std::string code = Pair(lead, trail);
      for (CaseConversion mode : {kUp, kLow}) {
        std::string there = code;
        ConvertCase(there, mode);
        if (there == code) continue;
        ++pairs;
        std::string back = there;
        ConvertCase(back, mode == kUp ? kLow : kUp);
        EXPECT_EQ(back, code) << std::hex << lead << " " << trail;
      }
    }
  }
  EXPECT_GT(pairs, 0);
}

}  // namespace
}  // namespace marvane::os::headless
