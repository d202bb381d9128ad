#include "runtime/xml/xml_source.h"

#include <gtest/gtest.h>

#include "runtime/xml/in_memory_files.h"
#include "tests/support/runtime_fixture.h"

namespace marvane::xml {
namespace {

using namespace std::literals;

class XmlSourceTest : public marvane::testing::RuntimeTest {};

TEST_F(XmlSourceTest, StripComments) {
  struct Case {
    std::string_view input;
    std::string_view expected;
  };
  const Case cases[] = {
      {"", ""},
      {"<!-- x -->", ""},
      {"a<!-- c -->b", "ab"},
      {"<!-- x --->y", "y"},  // ends at the last three bytes
      {"<!-->x-->y", "y"},    // the opening dashes do not end it
      {"a<!-- never ends", "a"},
      {"<!-- a --><!-- b -->c", "c"},
      {"<a x=\"<!--\">-->b", "<a x=\"b"},  // quotes mean nothing here
      {"<![CDATA[<!--]]>-->z", "<![CDATA[z"},
      {"\xB0<!--x-->", "\xB0<!--x-->"},  // the second byte of a character starts nothing
      {"<!-", "<!-"},
      {"x\0y"sv, "x\0y"sv},    // NUL is kept here; the parser drops it
      {"a\xB0", "a\xB0\0"sv},  // a lead byte that ends the input gets a NUL after it
      {"<!--\xB0-->x", "x"},
      // Without a comment the bytes stay; stepping over them still finds a final lead byte.
      {"aaaaaaaaaaaaaaaaaa\xB0", "aaaaaaaaaaaaaaaaaa\xB0\0"sv},
      {"aaaaaaaaaaaaaaaa\xB0\xB0", "aaaaaaaaaaaaaaaa\xB0\xB0"},
      {"\xB0"
       "aaaaaaaaaaaaaaaa\xB0",
       "\xB0"
       "aaaaaaaaaaaaaaaa\xB0\0"sv},
      {"\xB0"
       "aaaaaaaaaaaaaaa\xB0\xB0",
       "\xB0"
       "aaaaaaaaaaaaaaa\xB0\xB0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StripComments(c.input), c.expected) << c.input;
  }
}

TEST_F(XmlSourceTest, FromFileReadsInBlocksAndStripsTheSameWay) {
  testing::InMemoryFiles files;
  std::string big;
  for (int i = 0; i < 5000; ++i)
    big += "<x>" + std::to_string(i) + "</x><!-- c -->";
  files.Add("list.xml", big);
  files.Add("empty.xml", "");
  files.Add("\\dir\\list.xml", "<r/>");
  EXPECT_EQ(StripCommentsFromFile("list.xml"), StripComments(big));
  EXPECT_EQ(StripCommentsFromFile("empty.xml"), "");
  EXPECT_EQ(StripCommentsFromFile("\\dir\\list.xml"), "<r/>");  // the path goes through as given
  EXPECT_EQ(StripCommentsFromFile("missing.xml"), "");
}

TEST_F(XmlSourceTest, FileThatFailsPartWayGivesNothing) {
  testing::InMemoryFiles files;
  files.Add("cut.xml", "<r><a/></r><!-- padding to need several reads -->");
  files.FailReadsAfter("cut.xml", 14);
  EXPECT_EQ(StripCommentsFromFile("cut.xml"), "");
}

TEST_F(XmlSourceTest, NoFileSystemGivesNothing) {
  os::Services services = os::Current();
  services.files = nullptr;
  os::ScopedServices scope(services);
  EXPECT_EQ(StripCommentsFromFile("list.xml"), "");
}

}  // namespace
}  // namespace marvane::xml
