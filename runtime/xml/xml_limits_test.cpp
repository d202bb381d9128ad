// Documents far larger than any client list: the parser and the queries must neither exhaust the
// stack nor turn quadratic on them.
#include <gtest/gtest.h>

#include <string>

#include "runtime/xml/xml_document.h"
#include "runtime/xml/xml_parser.h"
#include "runtime/xml/xml_path.h"
#include "runtime/xml/xml_tree.h"
#include "tests/support/runtime_fixture.h"
#include "tests/support/values_helpers.h"

namespace marvane::xml {
namespace {

constexpr int kDepth = 1'000'000;
constexpr int kAttributes = 100'000;

std::string Nested(int depth, bool closed) {
  std::string doc;
  doc.reserve(static_cast<std::size_t>(depth) * 7);
  for (int i = 0; i < depth; ++i)
    doc += "<a>";
  doc += "deep";
  if (closed) {
    for (int i = 0; i < depth; ++i)
      doc += "</a>";
  }
  return doc;
}

std::string ManyAttributes(int count, const std::string& last) {
  std::string doc = "<r";
  for (int i = 0; i < count; ++i)
    doc += " n" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
  return doc + last + "/>";
}

class XmlLimitsTest : public marvane::testing::RuntimeTest {};

TEST_F(XmlLimitsTest, DeepNestingLoadsAndResolves) {
  std::unique_ptr<XmlDocument> document = ParseDocument(Nested(kDepth, true));
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->size(), static_cast<std::size_t>(kDepth));
  std::string path = "a";
  for (int i = 1; i < kDepth; ++i)
    path += "/@1";
  XmlDocument::NodeIndex deepest = ResolvePath(*document, path);
  ASSERT_NE(deepest, XmlDocument::kNoNode);
  EXPECT_EQ(document->Text(deepest), "deep");
  EXPECT_EQ(document->ChildCount(deepest), 0u);
  EXPECT_EQ(ResolvePath(*document, path + "/@1"), XmlDocument::kNoNode);
  // Released here: freeing must not recurse either.
}

TEST_F(XmlLimitsTest, DeepNestingLeftOpenFails) {
  EXPECT_EQ(ParseDocument(Nested(kDepth, false)), nullptr);
}

TEST_F(XmlLimitsTest, DeepNestingThroughTheTree) {
  XmlTree tree{};
  const std::string doc = Nested(kDepth, true);
  OwnedByteSet set(MakeByteSet(doc.data(), doc.size()));
  ValueRecord self = PointerValue(&tree, type::kXmlTree);
  ASSERT_EQ(CallLibrary(LoadDocument, {self, ByteSetArg(set.get())}).low, 1u);
  EXPECT_EQ(CallLibrary(CloseDocument, {self}).low, 1u);
}

TEST_F(XmlLimitsTest, ManyAttributes) {
  struct Case {
    const char* what;
    std::string last;  // written after the generated attributes
    bool loads;
  };
  const Case cases[] = {
      {"all distinct", " end", true},
      {"repeats the last", " n99999=x", false},
      {"repeats the first", " n0", false},
      {"repeats one of the scanned ones", " n15=1", false},
      {"repeats the first hashed one", " n16=1", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<XmlDocument> document = ParseDocument(ManyAttributes(kAttributes, c.last));
    ASSERT_EQ(document != nullptr, c.loads);
    if (!document) continue;
    ASSERT_EQ(document->AttributeCount(XmlDocument::kRoot), kAttributes + 1u);
    XmlAttribute middle = document->Attribute(XmlDocument::kRoot, 54321);
    EXPECT_EQ(middle.name, "n54321");
    EXPECT_EQ(middle.value, "54321");
    EXPECT_EQ(document->Attribute(XmlDocument::kRoot, kAttributes).value, "1");
  }
}

TEST_F(XmlLimitsTest, ManyChildrenByIndex) {
  constexpr int kChildren = 200'000;
  std::string doc = "<r>";
  for (int i = 1; i <= kChildren; ++i)
    doc += "<c>" + std::to_string(i) + "</c>";
  doc += "</r>";
  std::unique_ptr<XmlDocument> document = ParseDocument(doc);
  ASSERT_NE(document, nullptr);
  ASSERT_EQ(document->ChildCount(XmlDocument::kRoot), static_cast<std::size_t>(kChildren));
  for (int i : {1, 2, 99'999, kChildren}) {
    XmlDocument::NodeIndex node = ResolvePath(*document, "r/@" + std::to_string(i));
    ASSERT_NE(node, XmlDocument::kNoNode) << i;
    EXPECT_EQ(document->Text(node), std::to_string(i));
  }
  EXPECT_EQ(ResolvePath(*document, "r/@" + std::to_string(kChildren + 1)), XmlDocument::kNoNode);
}

TEST_F(XmlLimitsTest, ManyTopLevelElementsKeepOnlyTheLast) {
  std::string doc;
  for (int i = 0; i < 100'000; ++i)
    doc += "<a><b/><b/></a>";
  doc += "<z/>";
  std::unique_ptr<XmlDocument> document = ParseDocument(doc);
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->size(), 1u);
  EXPECT_EQ(document->Name(XmlDocument::kRoot), "z");
}

}  // namespace
}  // namespace marvane::xml
