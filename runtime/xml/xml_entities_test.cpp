#include "runtime/xml/xml_entities.h"

#include <gtest/gtest.h>

namespace marvane::xml {
namespace {

struct Case {
  std::string_view input;
  std::string_view expected;
};

TEST(XmlEntitiesTest, DecodeEntities) {
  const Case cases[] = {
      {"a &amp; b &#65; &quote;x&quote;", "a & b &#65; \"x\""},
      {"&lt;&gt;&amp;&apos;&quot;", "<>&'\""},
      {"&amp;lt;", "&lt;"},  // decoded once
      {"&LT;", "&LT;"},      // case-sensitive
      {"&&amp;", "&&"},      // a second "&" lets the first go unchanged
      {"a;b", "a;b"},
      {"x &amp", "x &amp"},                // unended at the end
      {"&am\xB0\xA1p;", "&am\xB0\xA1p;"},  // a two-byte character ends a sequence
      {"&\xB0", "&\xB0"},                  // a lead byte at the end is kept
      {"&;", "&;"},
      {"", ""},
      {"&apos", "&apos"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecodeEntities(c.input), c.expected) << c.input;
}

TEST(XmlEntitiesTest, EncodeMarkup) {
  const Case cases[] = {
      {"a<b>c&d'e\"f", "a&lt;b&gt;c&amp;d&apos;e&quot;f"},
      {"ClientInfor/@3/Mac", "ClientInfor/@3/Mac"},
      {"\x81<\xB0&", "\x81<\xB0&"},  // second bytes of characters are left alone
      {"&amp;", "&amp;amp;"},
      {"x\xB0", "x\xB0"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(EncodeMarkup(c.input), c.expected) << c.input;
}

}  // namespace
}  // namespace marvane::xml
