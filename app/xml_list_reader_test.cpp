#include "app/xml_list_reader.h"

#include <gtest/gtest.h>

#include "runtime/xml/in_memory_files.h"
#include "tests/support/runtime_fixture.h"
#include "tests/support/values_helpers.h"

namespace marvane::app {
namespace {

using marvane::testing::Gbk;
using std::nullopt;
using Opt = std::optional<std::string>;

class XmlListReaderTest : public marvane::testing::RuntimeTest {
 protected:
  // The list text and the count for a file holding bytes.
  std::pair<Opt, std::int32_t> Read(const std::string& bytes) {
    files_.Add("list.xml", bytes);
    return ReadPath("list.xml");
  }
  std::pair<Opt, std::int32_t> ReadPath(const char* path) {
    std::int32_t count = -1;
    OwnedText list(ReadXmlClientList(path, &count));
    return {list ? Opt(list.get()) : nullopt, count};
  }

  xml::testing::InMemoryFiles files_;
};

std::string List(const std::string& clients) {
  return "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<ClientInfor>\r\n" + clients +
         "</ClientInfor>\r\n";
}

TEST_F(XmlListReaderTest, Lists) {
  struct Case {
    const char* what;
    std::string file;
    Opt list;
    std::int32_t count;
  };
  const Case cases[] = {
      {"three clients",
       List("<C><Mac>001A2B3C4D5E</Mac><Name>PC1</Name></C>\r\n"
            "<C><Name>PC2</Name><Mac>AABBCCDDEEFF</Mac></C>\r\n"
            "<Other><Mac>0123456789ab</Mac><Name>" +
            Gbk("三号机") + "</Name></Other>\r\n"),
       "00-1A-2B-3C-4D-5E PC1\r\nAA-BB-CC-DD-EE-FF PC2\r\n01-23-45-67-89-ab " + Gbk("三号机"), 3},
      {"a header is a client too",
       List("<Header>v9</Header><C><Mac>001A2B3C4D5E</Mac><Name>PC1</Name></C>"),
       " \r\n00-1A-2B-3C-4D-5E PC1", 2},
      {"missing or empty MAC", List("<C><Name>PC1</Name></C><C><Mac/><Name>PC2</Name></C>"),
       " PC1\r\n PC2", 2},
      {"fields as attributes", List("<C Mac=\"001A2B3C4D5E\" Name=\"PC1\"/>"), " ", 1},
      {"first Mac and Name only",
       List("<C><Mac>001A2B3C4D5E</Mac><Name>A</Name><Mac>FFFFFFFFFFFF</Mac><Name>B</Name></C>"),
       "00-1A-2B-3C-4D-5E A", 1},
      {"texts trimmed and decoded",
       List("<C><Mac> 001A2B3C4D5E\r\n</Mac><Name> R&amp;D &quote;1&quote; </Name></C>"),
       "00-1A-2B-3C-4D-5E R&D \"1\"", 1},
      {"root elsewhere", "<List><ClientInfor><C><Mac>001A2B3C4D5E</Mac></C></ClientInfor></List>",
       nullopt, 0},
      {"root name differs in case", "<clientinfor><C/></clientinfor>", nullopt, 0},
      {"root without clients", List(""), nullopt, 0},
      {"malformed", List("<C><Mac>001A2B3C4D5E</Mac>"), nullopt, 0},
      {"empty file", "", nullopt, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.file), std::make_pair(c.list, c.count)) << c.what;
  }
}

TEST_F(XmlListReaderTest, UnreadableFiles) {
  EXPECT_EQ(ReadPath("missing.xml"), std::make_pair(Opt(), 0));
  EXPECT_EQ(ReadPath(nullptr), std::make_pair(Opt(), 0));
  files_.Add("cut.xml", List("<C><Mac>001A2B3C4D5E</Mac><Name>PC1</Name></C>"));
  files_.FailReadsAfter("cut.xml", 20);
  EXPECT_EQ(ReadPath("cut.xml"), std::make_pair(Opt(), 0));
}

TEST_F(XmlListReaderTest, CountIsOptional) {
  files_.Add("list.xml", List("<C><Mac>001A2B3C4D5E</Mac><Name>PC1</Name></C>"));
  OwnedText list(ReadXmlClientList("list.xml", nullptr));
  EXPECT_STREQ(list.get(), "00-1A-2B-3C-4D-5E PC1");
}

TEST_F(XmlListReaderTest, FormatMacAddress) {
  struct Case {
    const char* mac;
    Opt expected;
  };
  const Case cases[] = {
      {"001A2B3C4D5E", "00-1A-2B-3C-4D-5E"},
      {"001A", "00-1A----"},
      {"001A2", "00-1A-2---"},
      {"0", "0-----"},
      {"00-1A-2B-3C-4D-5E", "00--1-A--2B--3-C-"},
      {"001A2B3C4D5EFF", "00-1A-2B-3C-4D-5E"},
      {"0\xB0\xA1"
       "123456789",
       "0\xB0-\xA1"
       "1-23-45-67-89"},  // a character cut in two
      {"", nullopt},
      {nullptr, nullopt},
  };
  for (const Case& c : cases) {
    OwnedText formatted(FormatMacAddress(c.mac));
    EXPECT_EQ(formatted ? Opt(formatted.get()) : nullopt, c.expected) << (c.mac ? c.mac : "null");
  }
}

TEST_F(XmlListReaderTest, ManyClientsInOrder) {
  std::string clients;
  std::string expected;
  for (int i = 1; i <= 3000; ++i) {
    char mac[13];
    std::snprintf(mac, sizeof mac, "%012d", i);
    clients += "<C><Mac>" + std::string(mac) + "</Mac><Name>N" + std::to_string(i) + "</Name></C>";
    if (i > 1) expected += "\r\n";
    OwnedText formatted(FormatMacAddress(mac));
    expected += std::string(formatted.get()) + " N" + std::to_string(i);
  }
  EXPECT_EQ(Read(List(clients)), std::make_pair(Opt(expected), 3000));
}

// A fatal allocation failure anywhere in the reader ends the program the runtime's way; the tree
// is closed on the way out (the sanitizer build checks that nothing leaks).
TEST_F(XmlListReaderTest, AllocationFailureEndsTheProgram) {
  files_.Add("list.xml", List("<C><Mac>001A2B3C4D5E</Mac><Name>PC1</Name></C>"
                              "<C><Mac>AABBCCDDEEFF</Mac><Name>PC2</Name></C>"));
  int completed_after = -1;
  for (int allowed = 0; allowed < 200 && completed_after < 0; ++allowed) {
    heap_.fail_after(static_cast<std::size_t>(allowed));
    Opt list;
    std::optional<int> code = RunToEnd([&] {
      std::int32_t count = 0;
      OwnedText text(ReadXmlClientList("list.xml", &count));
      list = text.get();
    });
    heap_.fail_after(static_cast<std::size_t>(-1));
    if (code) {
      EXPECT_EQ(*code, -1) << allowed;
    } else {
      EXPECT_EQ(list, "00-1A-2B-3C-4D-5E PC1\r\nAA-BB-CC-DD-EE-FF PC2");
      completed_after = allowed;
    }
  }
  EXPECT_GT(completed_after, 10);  // the early failures did end the program
  EXPECT_FALSE(dialogs_.shown().empty());
}

}  // namespace
}  // namespace marvane::app
