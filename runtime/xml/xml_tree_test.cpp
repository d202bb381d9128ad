#include "runtime/xml/xml_tree.h"

#include <gtest/gtest.h>

#include "runtime/xml/in_memory_files.h"
#include "tests/support/runtime_fixture.h"
#include "tests/support/values_helpers.h"

namespace marvane::xml {
namespace {

using marvane::testing::Gbk;
using marvane::testing::Omitted;
using marvane::testing::TakeText;
using marvane::testing::TakeTextArray;
using std::nullopt;
using Opt = std::optional<std::string>;

constexpr std::string_view kList =
    "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n"
    "<ClientInfor>\r\n"
    "  <Header>h</Header>\r\n"
    "  <Client><Mac>001A2B3C4D5E</Mac><Name> PC-01 </Name></Client>\r\n"
    "  <Client><Name/><Mac>AA</Mac><Mac>BB</Mac></Client>\r\n"
    "  <a&amp;b>t &amp;amp; &lt;x&gt;</a&amp;b>\r\n"
    "  <Raw><![CDATA[a &amp; b]]></Raw>\r\n"
    "  <\x81/x>slash</\x81/x>\r\n"
    "</ClientInfor>";

class XmlTreeTest : public marvane::testing::RuntimeTest {
 protected:
  ~XmlTreeTest() override { Close(); }

  ValueRecord Self() { return PointerValue(&tree_, type::kXmlTree); }
  bool LoadBytes(std::string_view bytes) {
    OwnedByteSet set(MakeByteSet(bytes.data(), bytes.size()));
    return CallLibrary(LoadDocument, {Self(), ByteSetArg(set.get())}).low == 1;
  }
  bool Load(const ValueRecord& source) {
    return CallLibrary(LoadDocument, {Self(), source}).low == 1;
  }
  bool Close() { return CallLibrary(CloseDocument, {Self()}).low == 1; }
  Opt Text(const char* path) {
    return TakeText(CallLibrary(GetNodeText, {Self(), TextArg(path), Omitted()}));
  }
  // The text and the found flag.
  std::pair<Opt, std::int32_t> TextFound(const char* path) {
    std::int32_t found = 7;
    Opt text = TakeText(
        CallLibrary(GetNodeText, {Self(), TextArg(path), PointerValue(&found, type::kBool)}));
    return {text, found};
  }
  // The result and the names; names stay {"kept"} when the command leaves the array alone.
  std::pair<bool, std::vector<Opt>> Names(const char* path) {
    void* array = NewTextArray(1);
    TextArrayElements(array)[0] = MakeText("kept");
    bool ok = CallLibrary(GetChildNames, {Self(), TextArg(path), PointerValue(&array, type::kText)})
                  .low == 1;
    return {ok, TakeTextArray(PointerValue(array, type::kText | type::kArrayFlag))};
  }

  XmlTree tree_{};
};

TEST_F(XmlTreeTest, PathsNameElements) {
  ASSERT_TRUE(LoadBytes(kList));
  struct Case {
    const char* path;
    Opt text;
    std::int32_t found;
  };
  const Case cases[] = {
      {"ClientInfor/Header", "h", 1},
      {"@1/@1", "h", 1},
      {"ClientInfor/@2/Mac", "001A2B3C4D5E", 1},
      {"ClientInfor/@2/Name", "PC-01", 1},  // trimmed
      {"ClientInfor/@3/Name", nullopt, 1},  // exists, empty
      {"ClientInfor/@3/Mac", "AA", 1},      // the first of two
      {"ClientInfor/@3/@3", "BB", 1},
      {"ClientInfor/@02/@01", "001A2B3C4D5E", 1},     // leading zeros after the first step
      {"ClientInfor/Client/Mac", "001A2B3C4D5E", 1},  // the first Client
      {"ClientInfor/@1/Name", nullopt, 0},
      {"ClientInfor/@0/Name", nullopt, 0},
      {"ClientInfor/@x/Name", nullopt, 0},
      {"ClientInfor/@", nullopt, 0},
      {"ClientInfor/@7", nullopt, 0},
      {"ClientInfor/@99999999999999999999999999", nullopt, 0},
      {"ClientInfor/@-1", nullopt, 0},
      {"clientinfor/@2/Mac", nullopt, 0},   // case-sensitive
      {"ClientInfor/ Header", nullopt, 0},  // no trimming
      {"@01/Header", nullopt, 0},
      {"@2", nullopt, 0},
      {"/ClientInfor", nullopt, 0},
      {"ClientInfor//Header", nullopt, 0},
      {"ClientInfor/Header/", "h", 1},  // a trailing "/" names the element
      {"ClientInfor/Header//", nullopt, 0},
      {"", nullopt, 0},
      {"/", nullopt, 0},
      // Names are compared in their written form; results are decoded once.
      {"ClientInfor/a&b", "t &amp; <x>", 1},
      {"ClientInfor/a&amp;b", nullopt, 0},
      {"ClientInfor/Raw", "a &amp; b", 1},  // CDATA is not decoded
      {"ClientInfor/\x81/x", "slash", 1},   // the "/" belongs to the character
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextFound(c.path), std::make_pair(c.text, c.found)) << c.path;
  }
}

TEST_F(XmlTreeTest, RootText) {
  ASSERT_TRUE(LoadBytes("<r>x &quote;y&quote;<c/></r>"));
  EXPECT_EQ(TextFound("r"), std::make_pair(Opt("x \"y\""), 1));
  EXPECT_EQ(TextFound("@1"), std::make_pair(Opt("x \"y\""), 1));
  EXPECT_EQ(TextFound("r/"), std::make_pair(Opt("x \"y\""), 1));
}

TEST_F(XmlTreeTest, ChildNames) {
  ASSERT_TRUE(LoadBytes(kList));
  using NameList = std::vector<Opt>;
  struct Case {
    const char* path;
    bool ok;
    NameList names;
  };
  const Case cases[] = {
      {"ClientInfor", true, {"Header", "Client", "Client", "a&b", "Raw", "\x81/x"}},
      {"@1/@3", true, {"Name", "Mac", "Mac"}},
      {"ClientInfor/Header", false, {"kept"}},  // no child element
      {"ClientInfor/Nothing", false, {"kept"}},
      {"", false, {"kept"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Names(c.path), std::make_pair(c.ok, c.names)) << c.path;
  }
}

TEST_F(XmlTreeTest, ChildNamesOnlyThroughAUsableReference) {
  ASSERT_TRUE(LoadBytes(kList));
  EXPECT_EQ(CallLibrary(GetChildNames, {Self(), TextArg("ClientInfor"), Omitted()}).low, 0u);
  std::int32_t not_an_array = 5;
  EXPECT_EQ(CallLibrary(GetChildNames,
                        {Self(), TextArg("ClientInfor"), PointerValue(&not_an_array, type::kInt)})
                .low,
            0u);
  EXPECT_EQ(not_an_array, 5);
}

TEST_F(XmlTreeTest, FoundIsWrittenOnlyThroughABoolRecord) {
  ASSERT_TRUE(LoadBytes(kList));
  std::int32_t found = 7;
  EXPECT_EQ(TakeText(CallLibrary(GetNodeText, {Self(), TextArg("ClientInfor/Header"),
                                               PointerValue(&found, type::kInt)})),
            "h");
  EXPECT_EQ(found, 7);
  // A bool record without an address is not written either.
  EXPECT_EQ(
      TakeText(CallLibrary(GetNodeText, {Self(), TextArg("ClientInfor/Header"), BoolValue(false)})),
      "h");
}

TEST_F(XmlTreeTest, LoadReplacesOrKeepsTheDocument) {
  testing::InMemoryFiles files;
  files.Add("list.xml", std::string(kList));
  files.Add("bad.xml", "<r>");
  struct Case {
    const char* what;
    ValueRecord source;
    bool loaded;
    Opt root_after;  // the root's first child text afterwards: which document is held
  };
  const Case cases[] = {
      {"path", TextArg("list.xml"), true, "h"},
      {"missing file", TextArg("missing.xml"), false, nullopt},
      {"malformed file", TextArg("bad.xml"), false, nullopt},
      {"empty path", TextArg(""), false, nullopt},
      {"empty byte set", ByteSetArg(nullptr), false, nullopt},
      {"null text", PointerValue(nullptr, type::kText), false, "before"},
      {"null byte set", PointerValue(nullptr, type::kByteSet), false, "before"},
      {"integer", IntValue(1), false, "before"},
      {"omitted", Omitted(), false, "before"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(LoadBytes("<x><y>before</y></x>"));
    EXPECT_EQ(Load(c.source), c.loaded);
    EXPECT_EQ(Text("@1/@1"), c.root_after);
    EXPECT_EQ(tree_.loaded, c.root_after ? 1u : 0u);
  }
}

TEST_F(XmlTreeTest, CloseReleasesOnce) {
  EXPECT_FALSE(Close());
  ASSERT_TRUE(LoadBytes(kList));
  EXPECT_TRUE(Close());
  EXPECT_FALSE(Close());
  EXPECT_EQ(tree_.root, nullptr);
  EXPECT_EQ(TextFound("ClientInfor/Header"), std::make_pair(Opt(), 0));
  EXPECT_EQ(Names("ClientInfor"), std::make_pair(false, std::vector<Opt>{"kept"}));
  // Loading again after a close works, and loading over a document releases it.
  ASSERT_TRUE(LoadBytes("<a><b>1</b></a>"));
  ASSERT_TRUE(LoadBytes("<c><d>2</d></c>"));
  EXPECT_EQ(Text("c/d"), "2");
}

TEST_F(XmlTreeTest, AnythingButATreeIsIgnored) {
  ValueRecord not_a_tree = PointerValue(&tree_, type::kInt);
  OwnedByteSet set(MakeByteSet("<r/>", 4));
  EXPECT_EQ(CallLibrary(LoadDocument, {not_a_tree, ByteSetArg(set.get())}).low, 0u);
  EXPECT_EQ(tree_.loaded, 0u);
  ValueRecord null_tree = PointerValue(nullptr, type::kXmlTree);
  EXPECT_EQ(CallLibrary(LoadDocument, {null_tree, ByteSetArg(set.get())}).low, 0u);
  EXPECT_EQ(CallLibrary(CloseDocument, {null_tree}).low, 0u);
  EXPECT_EQ(TakeText(CallLibrary(GetNodeText, {null_tree, TextArg("r"), Omitted()})), nullopt);
  EXPECT_EQ(CallLibrary(GetNodeText, {Omitted()}).low, 0u);
}

TEST_F(XmlTreeTest, GbkNamesAndTexts) {
  const std::string doc = Gbk("<客户机列表><客户机><名称>一号机</名称></客户机></客户机列表>");
  ASSERT_TRUE(LoadBytes(doc));
  EXPECT_EQ(Text(Gbk("客户机列表/@1/名称").c_str()), Gbk("一号机"));
  EXPECT_EQ(Names(Gbk("客户机列表").c_str()),
            std::make_pair(true, std::vector<Opt>{Gbk("客户机")}));
}

}  // namespace
}  // namespace marvane::xml
