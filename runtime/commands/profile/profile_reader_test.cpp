#include "runtime/commands/profile/profile_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tools/ini-probe/corpus_compare.h"

namespace marvane::profile {
namespace {

using namespace std::string_literals;

struct LookupCase {
  const char* rule;
  std::string file;
  std::string section;
  std::string key;
  std::optional<std::string> value;
};

void PrintTo(const LookupCase& c, std::ostream* os) {
  *os << c.rule;
}

// Files without a BOM never reach the codec.
class NoCodec : public os::TextCodec {
 public:
  std::u16string GbkToUtf16(std::string_view) override { return {}; }
  std::string Utf16ToGbk(std::u16string_view, bool*) override { return {}; }
};

ProfileIndex Index(std::string_view file) {
  NoCodec codec;
  return ProfileIndex::FromFileBytes(file, codec);
}

class ProfileLookup : public testing::TestWithParam<LookupCase> {};

TEST_P(ProfileLookup, AnswersAsThePlatformDoes) {
  const LookupCase& c = GetParam();
  ProfileIndex index = Index(c.file);
  auto found = index.Find(c.section, c.key);
  ASSERT_EQ(found.has_value(), c.value.has_value()) << c.rule;
  if (found) {
    EXPECT_EQ(std::string(*found), *c.value) << c.rule;
  }
}

const std::string kNone = "\x01";  // marks a missing answer in the table below
LookupCase Case(const char* rule, std::string file, std::string section, std::string key,
                std::string value) {
  std::optional<std::string> v;
  if (value != kNone) v = value;
  return {rule, std::move(file), std::move(section), std::move(key), v};
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileLookup,
    testing::Values(
        Case("trims blanks, TAB, VT, FF, 0x1A",
             "\t[\x0b"
             "A\x0c]\x1a\n \x1aK\t=\x0b v w\x0c\n",
             "A", "K", "v w"),
        Case("query names are trimmed", "[A]\nK=v\n", " \tA\x1a", "\x0cK ", "v"),
        Case("0x1C is not trimmed", "[A]\n\x1cK=v\n", "A", "K", kNone),
        Case("A1A1 is not trimmed", "[A]\nK=\xa1\xa1v\n", "A", "K", "\xa1\xa1v"),
        Case("one pair of quotes goes", "[A]\nK= \"a b\" \n", "A", "K", "a b"),
        Case("a lone quote stays", "[A]\nK=\"\n", "A", "K", "\""),
        Case("no inline comments", "[A]\nK=PC ;c\n", "A", "K", "PC ;c"),
        Case("a ';' line is a key", "[A]\n;Name=x\n", "A", ";Name", "x"),
        Case("'=v' is the key \"\"", "[A]\n=v\n", "A", "", "v"),
        Case("a line without '=' hides later ones", "[A]\nK\nK=x\n", "A", "K", kNone),
        Case("keys before the first header", "K=0\n[A]\nK=a\n", "", "K", "0"),
        Case("'[]' follows the unnamed section", "[]\nK=6\n", "", "K", kNone),
        Case("ASCII case is folded", "[MacList]\nName=x\n", "MACLIST", "nAME", "x"),
        Case("full-width letters are not folded", "[\xa3\xc1]\nK=x\n", "\xa3\xe1", "K", kNone),
        Case("trail bytes are not folded",
             "[A]\n\x81"
             "B=x\n",
             "A",
             "\x81"
             "b",
             kNone),
        Case("the first equal key wins", "[A]\nK=1\nk=2\n", "A", "K", "1"),
        Case("a repeated section is not searched", "[A]\nK=1\n[a]\nL=2\n", "A", "L", kNone),
        Case("a lone CR ends a line", "[A]\rK=v\rL=w", "A", "L", "w"),
        Case("NUL ends a value after trimming", "[A]\nK=a \0b\n"s, "A", "K", "a "),
        Case("quotes go after the NUL cut", "[A]\nK=\"a\"\0x\n"s, "A", "K", "a"),
        Case("NUL ends a name, '=' still splits", "[A]\nN\0X=1\n"s, "A", "N", "1"),
        Case("a header runs to the last ']'", "[A]x]\nK=1\n", "A]x", "K", "1"),
        Case("blanks inside brackets are trimmed", "  [  S6  ]\nK=4\n", "S6", "K", "4"),
        Case("'[B' is a key of the section before", "[A]\n[B\nK=1\n", "A", "K", "1"),
        Case("'[k]=v' is a header", "[k]=v\nK=5\n", "k", "K", "5"),
        Case("a trail byte ']' is no bracket", "[\x81]]\nK=1\n", "\x81]", "K", "1"),
        Case("a '[x' with only a trail ']' is a key", "[A]\n[\x81]\nK=2\n", "A", "K", "2"),
        Case("a malformed pair becomes '?' with its LF", "[A]\nK=a\x81\nL=1\n", "A", "K", "a?L=1"),
        Case("a malformed pair takes an '=' with it", "[A]\n\x81=K=4\n", "A", "?K", "4"),
        Case("lead byte before NUL", "[A]\nK=a\x81\0b\n"s, "A", "K", "a?"),
        Case("a lead byte ending a query is dropped", "[A]\na=1\n", "A", "a\x81", "1"),
        Case("a malformed pair in a query", "[A]\n?=q\n", "A", "\x81\x20", "q"),
        Case("0x80 and 0xFF stand alone", "[A]\nK=\x80\n\xff=1\n", "A", "\xff", "1")));

TEST(ProfileLookupLimits, ValuesAreCutAt10239BytesBeforeASplitCharacter) {
  const std::string dbcs = "\xb0\xa1";
  struct {
    std::string value;
    std::string expected;
  } cases[] = {
      {std::string(10239, 'a'), std::string(10239, 'a')},
      {std::string(10240, 'a'), std::string(10239, 'a')},
      {std::string(10237, 'a') + dbcs + "x", std::string(10237, 'a') + dbcs},
      {std::string(10238, 'a') + dbcs, std::string(10238, 'a')},  // platform: 10238 + unset byte
      {"\"" + std::string(10239, 'b') + "\"", std::string(10239, 'b')},  // platform: 10238
      {"'" + std::string(10240, 'b') + "'", std::string(10239, 'b')},
      {[&] {
         std::string s;
         for (int i = 0; i < 5200; ++i)
           s += dbcs;
         return s;
       }(),
       [&] {
         std::string s;
         for (int i = 0; i < 5119; ++i)
           s += dbcs;
         return s;
       }()},
  };
  for (const auto& c : cases) {
    ProfileIndex index = Index("[A]\nK=" + c.value + "\n");
    auto found = index.Find("A", "K");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->size(), c.expected.size());
    EXPECT_EQ(std::string(*found), c.expected);
  }
}

// Sections with many keys are searched by hash rather than in turn; the answers are the same.
TEST(ProfileLookupLimits, SectionsWithManyKeysAnswerAsSmallOnes) {
  for (int keys : {3, 16, 17, 40, 1000}) {
    SCOPED_TRACE(keys);
    std::string file = "[Big]\n";
    for (int i = 0; i < keys; ++i)
      file += "K" + std::to_string(i) + "=v" + std::to_string(i) + "\n";
    file += "k0=again\nBare\nbare=hidden\nLate=1\n";
    file += "[Other]\n";
    for (int i = 0; i < keys; ++i)
      file += "K" + std::to_string(i) + "=o" + std::to_string(i) + "\n";
    file += "[big]\nK0=repeat\nOnlyInRepeat=x\n";
    ProfileIndex index = Index(file);
    struct {
      const char* section;
      std::string key;
      std::optional<std::string> value;
    } cases[] = {
        {"Big", "K0", "v0"},  // the first of equal keys, whatever the case
        {"BIG", "k" + std::to_string(keys - 1), "v" + std::to_string(keys - 1)},
        {"Big", "Bare", std::nullopt},  // no "=": hides the later "bare="
        {"Big", "late", "1"},
        {"Big", "K" + std::to_string(keys), std::nullopt},
        {"Other", "K0", "o0"},  // equal names in another section do not mix
        {"Other", "Late", std::nullopt},
        {"Big", "OnlyInRepeat", std::nullopt},  // a repeated section is not searched
    };
    for (const auto& c : cases) {
      auto found = index.Find(c.section, c.key);
      EXPECT_EQ(found ? std::optional<std::string>(*found) : std::nullopt, c.value)
          << c.section << "/" << c.key;
    }
  }
}

// Lookups usually come section after section; the answers must not depend on what was looked
// up before, whatever the order: repeated names, folded case, the unnamed section, misses.
TEST(ProfileLookupOrder, AnswersDoNotDependOnEarlierLookups) {
  const std::string file =
      "K=0\r\n[A]\r\nK=1\r\n[B]\r\nK=2\r\n[a]\r\nK=3\r\n[C]\r\nK=4\r\n[b ]\r\nJ=5\r\n[D]\r\n";
  const std::vector<std::string> sections = {"", "A", "B", "a", "C", "b", "D", "X", "c"};
  std::vector<std::optional<std::string>> alone;
  for (const std::string& section : sections) {
    ProfileIndex fresh = Index(file);
    auto found = fresh.Find(section, "K");
    alone.push_back(found ? std::optional<std::string>(*found) : std::nullopt);
  }
  // Every ordered pair of lookups, and every lookup twice in a row, against a fresh index's answer.
  for (std::size_t first = 0; first < sections.size(); ++first) {
    for (std::size_t second = 0; second < sections.size(); ++second) {
      ProfileIndex index = Index(file);
      index.Find(sections[first], "K");
      auto found = index.Find(sections[second], "K");
      ASSERT_EQ(found.has_value(), alone[second].has_value())
          << sections[first] << " then " << sections[second];
      if (found) {
        EXPECT_EQ(std::string(*found), *alone[second]);
      }
    }
  }
  // The answers themselves: a repeated section's keys are never found.
  EXPECT_EQ(alone[0], "0");
  EXPECT_EQ(alone[1], "1");
  EXPECT_EQ(alone[3], "1");
  EXPECT_EQ(alone[5], "2");
  EXPECT_EQ(alone[6], std::nullopt);
  EXPECT_EQ(alone[7], std::nullopt);
}

TEST(ProfileLookupLimits, AnEmptyIndexAnswersNothing) {
  EXPECT_FALSE(ProfileIndex().Find("", "").has_value());
  EXPECT_FALSE(Index("").Find("A", "K").has_value());
}

// The corpus beside the tests holds the answers recorded from the platform's own reader.
TEST(ProfileCorpus, MatchesTheRecordedPlatformAnswers) {
  os::TextCodec* codec = os::Current().codec;
  ASSERT_NE(codec, nullptr);
  auto names = ini_probe::CorpusNames(MARVANE_INI_CORPUS_DIR);
  int queries = 0;
  for (const auto& name : names) {
    auto result =
        ini_probe::CompareCorpusFile(MARVANE_INI_CORPUS_DIR, name, MARVANE_INI_CORPUS_DIR, *codec);
    queries += result.queries;
    for (const auto& d : result.disagreements)
      ADD_FAILURE() << d;
  }
  EXPECT_GE(names.size(), 40u);
  EXPECT_GE(queries, 400);
  std::printf("compared %zu corpus files, %d queries\n", names.size(), queries);
}

}  // namespace
}  // namespace marvane::profile
