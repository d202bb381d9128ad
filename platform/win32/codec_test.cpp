#include "platform/win32/codec.h"

#include <gtest/gtest.h>

#include <string>

namespace marvane::os::win32 {
namespace {

struct Pair {
  const char* gbk;
  const char16_t* utf16;
};

// Known characters of code page 936, whatever the system's own code page is.
TEST(Win32CodecTest, ConvertsKnownCharactersBothWays) {
  const Pair pairs[] = {
      {"", u""},
      {"MAC 00-1A", u"MAC 00-1A"},
      {"\xD6\xD0\xCE\xC4", u"中文"},
      {"\xD4\xC6\xB8\xFC\xD0\xC2\xCE\xDE\xC5\xCC", u"云更新无盘"},
      {"\xCB\xB3\xCD\xF8\xCE\xDE\xC5\xCC"
       "9",
       u"顺网无盘9"},
      {"\x80", u"\u20AC"},  // the euro sign of this code page
      {"a\r\nb", u"a\r\nb"},
  };
  Win32Codec codec;
  for (const Pair& p : pairs) {
    EXPECT_EQ(codec.GbkToUtf16(p.gbk), p.utf16) << p.gbk;
    bool lossy = true;
    EXPECT_EQ(codec.Utf16ToGbk(p.utf16, &lossy), p.gbk) << p.gbk;
    EXPECT_FALSE(lossy) << p.gbk;
  }
}

TEST(Win32CodecTest, ReportsCharactersGbkCannotHold) {
  const struct {
    const char16_t* utf16;
    const char* gbk;
  } cases[] = {
      {u"\uAC00.txt", "?.txt"},  // a Hangul syllable
      {u"a\u0E01b", "a?b"},      // a Thai letter
  };
  Win32Codec codec;
  for (const auto& c : cases) {
    bool lossy = false;
    EXPECT_EQ(codec.Utf16ToGbk(c.utf16, &lossy), c.gbk);
    EXPECT_TRUE(lossy);
  }
  bool lossy = false;
  std::string emoji = codec.Utf16ToGbk(u"x\U0001F600", &lossy);
  EXPECT_TRUE(lossy);
  EXPECT_EQ(emoji.substr(0, 2), "x?");
}

// Where no file gives a path a short form, each character GBK cannot write becomes one "?", never a
// look-alike that could name another file.
TEST(Win32CodecTest, GbkPathMarksWhatGbkCannotWrite) {
  const struct {
    const wchar_t* wide;
    const char* gbk;
  } cases[] = {
      {L"", ""},
      {L"C:\\no-such-dir\\\u6D4B\u8BD5.txt", "C:\\no-such-dir\\\xB2\xE2\xCA\xD4.txt"},
      {L"C:\\no-such-dir\\Bj\u00F6rn\\x", "C:\\no-such-dir\\Bj?rn\\x"},
      {L"C:\\no-such-dir\\\uFF21\u00E0", "C:\\no-such-dir\\\xA3\xC1\xA8\xA4"},  // written whole
      {L"C:\\no-such-dir\\x\U0001F600y", "C:\\no-such-dir\\x?y"},
      {L"C:\\no-such-dir\\\xD800z", "C:\\no-such-dir\\?z"},  // half a surrogate pair
  };
  for (const auto& c : cases)
    EXPECT_EQ(GbkPath(c.wide), c.gbk);
}

// Every double-byte character the code page defines comes back unchanged.
TEST(Win32CodecTest, EveryDoubleByteCharacterRoundTrips) {
  Win32Codec codec;
  int defined = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      std::string gbk{static_cast<char>(lead), static_cast<char>(trail)};
      std::u16string wide = codec.GbkToUtf16(gbk);
      ASSERT_FALSE(wide.empty());
      if (wide.size() != 1 || wide[0] == u'?' || wide[0] == 0x30FB) continue;  // undefined
      ++defined;
      bool lossy = true;
      EXPECT_EQ(codec.Utf16ToGbk(wide, &lossy), gbk) << lead << " " << trail;
      EXPECT_FALSE(lossy);
    }
  }
  EXPECT_GT(defined, 21000);  // GBK defines 21886 double-byte characters
}

}  // namespace
}  // namespace marvane::os::win32
