#include "runtime/commands/profile/profile_decode.h"

#include <gtest/gtest.h>

#include <string>

namespace marvane::profile {
namespace {

using namespace std::string_literals;

TEST(NormalizeGbk, ReplacesMalformedPairs) {
  struct {
    std::string in;
    LoneLead lone;
    std::string out;
  } cases[] = {
      {"a\xb0\xa1z", LoneLead::kReplace, "a\xb0\xa1z"},
      {"\x81\x40\xfe\xfe", LoneLead::kReplace, "\x81\x40\xfe\xfe"},
      {"\x81\x7f"
       "b",
       LoneLead::kReplace, "?b"},
      {"\x81\xff"
       "b",
       LoneLead::kReplace, "?b"},
      {"\x81\n"
       "b",
       LoneLead::kReplace, "?b"},
      {"\x81\x3d"
       "b",
       LoneLead::kReplace, "?b"},
      {"\x81\0b"s, LoneLead::kReplace, "?\0b"s},
      {"a\x81", LoneLead::kReplace, "a?"},
      {"a\x81", LoneLead::kDrop, "a"},
      {"\x80\xff\x80", LoneLead::kReplace, "\x80\xff\x80"},
      {"\x81\x81\x81", LoneLead::kReplace, "\x81\x81?"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NormalizeGbk(c.in, c.lone), c.out) << c.in;
}

TEST(DecodeUtf8, ReplacesMalformedSequencesAsThePlatformDoes) {
  const std::u16string r = u"\uFFFD";
  struct {
    std::string in;
    std::u16string out;
  } cases[] = {
      {"a\xc3\xa9\xe4\xb8\x80", u"a\u00e9\u4e00"},
      {"\xf0\x9f\x98\x80", u"\U0001F600"},
      {"\xc3"
       "b",
       r + u"b"},
      {"\xc0\x80", r + r},              // C0 and C1 never start a sequence
      {"\xe0\x80\x80", r + r},          // overlong: lead and first byte, then the rest
      {"\xed\xa0\x80", r + r},          // surrogate
      {"\xf4\x90\x80\x80", r + r + r},  // above U+10FFFF
      {"\xf0\x80\x80\x80", r + r + r},  // overlong
      {"\xf5\x80\x80\x80", r + r + r + r},
      {"\xe4\xb8"
       "b",
       r + u"b"},  // cut short by a plain byte
      {"\xf0\x9f\x98"
       "b",
       r + u"b"},
      {"\xc3\xc3\xa9", r + u"\u00e9"},
      {"\xc3\r", r + u"\r"},
      {"a\xe4"
       "b",
       u"a" + r},                           // cut short by the end: takes the rest
      {"a\xf4\x90\x80", u"a" + r},          // even with an impossible first continuation
      {"a\xf0\x9f\nb", u"a" + r + u"\nb"},  // a LF is no continuation byte
      {"\xe0\xa0\x80\xf4\x8f\xbf\xbf", u"\u0800\U0010FFFF"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DecodeUtf8(c.in), c.out) << c.in;
}

// Records what it is asked to convert, so the tests see the UTF-16 handed to the codec.
class RecordingCodec : public os::TextCodec {
 public:
  std::u16string GbkToUtf16(std::string_view) override { return {}; }
  std::string Utf16ToGbk(std::u16string_view utf16, bool*) override {
    seen = utf16;
    return "converted";
  }
  std::u16string seen;
};

TEST(DecodeProfileFile, ChoosesTheEncodingByItsBom) {
  struct {
    std::string in;
    std::string out;
    std::u16string seen;
  } cases[] = {
      {"\xef\xbb\xbf"
       "a\xc3\xa9",
       "converted", u"a\u00e9"},
      {"\xff\xfe"
       "a\0\x00\x4e"s,
       "converted", u"a\u4e00"},
      {"\xfe\xff\0a\x4e\x00"s, "converted", u"a\u4e00"},
      {"\xff\xfe"
       "a\0\xb7"s,
       "converted", u"a\u00b7"},  // an odd last byte is a character
      {"\xfe\xff\0a\xb7"s, "converted", u"a\u00b7"},
      {"\xef\xbb[A]", "\xef\xbb[A]", u""},  // no BOM: GBK
      {"[A]\nK=\x81", "[A]\nK=?", u""},
  };
  for (const auto& c : cases) {
    RecordingCodec codec;
    EXPECT_EQ(DecodeProfileFile(c.in, codec), c.out) << c.in;
    EXPECT_EQ(codec.seen, c.seen) << c.in;
  }
}

}  // namespace
}  // namespace marvane::profile
