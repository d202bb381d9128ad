#include <gtest/gtest.h>

#include "runtime/commands/text/text_commands.h"
#include "tests/support/runtime_fixture.h"
#include "tests/support/values_helpers.h"

namespace marvane::commands {
namespace {

using std::nullopt;
using testing::Omitted;
using testing::TakeText;
using testing::TakeTextArray;
using Opt = std::optional<std::string>;

class TextCutTest : public testing::RuntimeTest {};

TEST_F(TextCutTest, LeftText) {
  struct Case {
    const char* text;
    std::int32_t count;
    Opt expected;
  };
  const Case cases[] = {
      {"abc", 5, "abc"},    {"abc", 2, "ab"}, {"abc", 0, nullopt},
      {"abc", -1, nullopt}, {"", 3, nullopt}, {"\xB0\xA1x", 1, "\xB0"},  // cuts a character
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TakeText(CallCore(LeftText, {TextArg(c.text), IntValue(c.count)})), c.expected)
        << c.text << " " << c.count;
  }
}

TEST_F(TextCutTest, MidText) {
  struct Case {
    const char* text;
    std::int32_t start, count;
    Opt expected;
  };
  const Case cases[] = {
      {"abcdef", 2, 3, "bcd"},      {"abcdef", 5, 10, "ef"}, {"abc", 4, 1, nullopt},
      {"abc", 0, 2, nullopt},       {"abc", 1, 0, nullopt},  {"abc", 3, 1, "c"},
      {"abc", 2, 2147483647, "bc"},  // no overflow past the end
      {"", 1, 1, nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TakeText(CallCore(MidText, {TextArg(c.text), IntValue(c.start), IntValue(c.count)})),
              c.expected)
        << c.text << " " << c.start << " " << c.count;
  }
}

TEST_F(TextCutTest, SplitText) {
  struct Case {
    const char* text;
    ValueRecord delimiter;
    ValueRecord limit;
    std::vector<Opt> expected;
  };
  const Case cases[] = {
      {"a|b||c|", TextArg("|"), Omitted(), {"a", "b", nullopt, "c"}},
      {"a,b,c", Omitted(), Omitted(), {"a", "b", "c"}},
      {"a,b,c", Omitted(), IntValue(2), {"a", "b"}},
      {"a,b,c", Omitted(), IntValue(5), {"a", "b", "c"}},
      {"a,b,c", Omitted(), IntValue(0), {}},
      {"a,b,c", Omitted(), IntValue(-1), {}},
      {"abc", TextArg(""), Omitted(), {"abc"}},
      {"", TextArg(","), Omitted(), {}},
      {"|a", TextArg("|"), Omitted(), {nullopt, "a"}},
      {"a||", TextArg("||"), Omitted(), {"a"}},
      {"a<>b<>", TextArg("<>"), Omitted(), {"a", "b"}},
      {"a,b", Omitted(), IntValue(1), {"a"}},
      // A delimiter byte inside a two-byte character is not a delimiter.
      {"\xB0|x|y", TextArg("|"), Omitted(), {"\xB0|x", "y"}},
      // The scan stops at a lead byte before the end; the rest is the last element.
      {"a|\x81", TextArg("|"), Omitted(), {"a", "\x81"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TakeTextArray(CallCore(SplitText, {TextArg(c.text), c.delimiter, c.limit})),
              c.expected);
  }
}

TEST_F(TextCutTest, SplitResultIsAlwaysAnArray) {
  ValueRecord r = CallCore(SplitText, {TextArg(""), Omitted(), Omitted()});
  ASSERT_NE(PointerOf(r), nullptr);
  EXPECT_EQ(ArrayCount(PointerOf(r)), 0u);
  FreeTextArray(PointerOf(r));
}

TEST_F(TextCutTest, ResultsAreNewBlocks) {
  const char* source = "abc";
  ValueRecord r = CallCore(LeftText, {TextArg(source), IntValue(3)});
  EXPECT_NE(PointerOf(r), source);
  Free(PointerOf(r));
}

}  // namespace
}  // namespace marvane::commands
