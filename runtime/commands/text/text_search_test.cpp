#include <gtest/gtest.h>

#include "runtime/commands/text/text_commands.h"
#include "tests/support/runtime_fixture.h"
#include "tests/support/values_helpers.h"

namespace marvane::commands {
namespace {

using testing::Omitted;

class TextSearchTest : public testing::RuntimeTest {};

TEST_F(TextSearchTest, FindText) {
  struct Case {
    const char* text;
    const char* search;
    ValueRecord start;
    ValueRecord fold;
    std::int32_t expected;
  };
  const ValueRecord yes = BoolValue(true), no = BoolValue(false);
  const Case cases[] = {
      {"abc", "c", Omitted(), Omitted(), 3},
      {"abc", "d", Omitted(), Omitted(), -1},
      {"", "a", Omitted(), Omitted(), -1},
      {"abc", "", Omitted(), Omitted(), 1},
      {"abc", "", IntValue(3), Omitted(), 1},  // an empty search gives 1 whatever the start
      {"abc", "", IntValue(4), Omitted(), -1},
      {"", "", Omitted(), Omitted(), -1},
      {"abcabc", "abc", IntValue(2), Omitted(), 4},
      {"abcabc", "abc", IntValue(0), Omitted(), 1},
      {"abcabc", "abc", IntValue(-5), Omitted(), 1},
      {"abc", "abc", IntValue(4), Omitted(), -1},
      {"abc", "abcd", Omitted(), Omitted(), -1},
      {"ABC", "b", Omitted(), yes, 2},
      {"ABC", "b", Omitted(), no, -1},
      {"ABC", "b", Omitted(), IntValue(2), -1},  // only a payload of exactly 1 folds case
      // The scan stops at character starts only: A1 B0 straddles two characters.
      {"\xB0\xA1\xB0\xA1", "\xA1\xB0", Omitted(), Omitted(), -1},
      // A start inside a character is taken as it is, so the scan pairs bytes from there on.
      {"\xB0\xA1\xB0\xA1", "\xB0\xA1", IntValue(2), Omitted(), -1},
      {"\xB0\xA1\xB0\xA1", "\xB0\xA1", IntValue(3), Omitted(), 3},
      {"\xB0\xA1x", "\xA1x", IntValue(2), Omitted(), 2},
      // A lead byte before the end stops the scan.
      {"a\x81", "\x81", Omitted(), Omitted(), 2},
      {"\x81", "z", Omitted(), Omitted(), -1},
      // Folding reaches second bytes too.
      {"\xB0\x41", "\xB0\x61", Omitted(), yes, 1},
      {"IPAddr=1\r\nName=x", "Name=", Omitted(), no, 11},
      // Long runs of single-byte characters are passed over eight at a time; the characters
      // after them are still found where they start, and only there.
      {"xxxxxxxxxxxxxxxxxxxxIPAddr=", "IPAddr=", Omitted(), no, 21},
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "b", Omitted(), no, 31},
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "b", Omitted(), no, -1},
      {"xxxxxxxxxxxxxxx\xB0Name=Name=", "Name=", Omitted(), no, 22},
      {"xxxxxxxxxxxxxxx\xB0\xA1xxxxxxxxxx\xA1xx", "\xA1xx", Omitted(), no, 28},
      {"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxb", "xb", IntValue(20), no, 32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.search);
    ValueRecord r = CallCore(FindText, {TextArg(c.text), TextArg(c.search), c.start, c.fold});
    EXPECT_EQ(IntOf(r), c.expected);
  }
}

TEST_F(TextSearchTest, FindTextWithTwoArguments) {
  ValueRecord args[] = {TextArg("xyz"), TextArg("z")};
  EXPECT_EQ(IntOf(CallCoreCommand(FindText, 2, args)), 3);
}

TEST_F(TextSearchTest, CompareText) {
  struct Case {
    const char* a;
    const char* b;
    ValueRecord exact;
    std::int32_t expected;
  };
  const ValueRecord yes = BoolValue(true), no = BoolValue(false);
  const Case cases[] = {
      {"abc", "ABC", Omitted(), 0},
      {"abc", "ABC", no, 0},
      {"abc", "ABC", yes, 1},
      {"ABC", "abc", yes, -1},
      {"abc", "abd", no, -1},
      {"abc", "ab", no, 1},
      {"", "", no, 0},
      {"", "a", no, -1},
      {"[", "[", no, 0},
      {"[A]", "[", no, 1},
      // A two-byte character compares as one value: B0A1 > 41 even though the bytes would too,
      // and C0 41 (one character) against C0 61 differs even without case.
      {"\xC0\x41", "\xC0\x61", no, -1},
      {"\xB0\xA1", "\xB0\xA2", yes, -1},
      {"\x81", "", no, 0},  // a lead byte before the NUL ends the text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " / " + c.b);
    EXPECT_EQ(IntOf(CallCore(CompareText, {TextArg(c.a), TextArg(c.b), c.exact})), c.expected);
  }
}

}  // namespace
}  // namespace marvane::commands
