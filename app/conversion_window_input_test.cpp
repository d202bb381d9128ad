// Bad and hostile drops, through the whole program: none may end it, hang it, or touch the list
// saved before.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "app/drop_and_save_fixture.h"

namespace marvane::app {
namespace {

using testing::Gbk;
using testing::TempDirectory;

class ConversionInputTest : public DropAndSaveTest {};

std::string Utf16(std::u16string_view text, bool big_endian, bool bom) {
  std::string out;
  if (bom) out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : text) {
    const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    out += big_endian ? std::string{hi, lo} : std::string{lo, hi};
  }
  return out;
}

// Bytes from a fixed seed, so a failure can be repeated.
std::string Garbage(std::size_t size, bool with_nul) {
  std::mt19937 random(20261209);
  std::string out(size, '\0');
  for (char& c : out) {
    c = static_cast<char>(random() % 256);
    if (!with_nul && c == '\0') c = 'x';
  }
  return out;
}

// Drops that name no list the program recognises: the drop is refused. Where the box is left
// empty the save that follows has nothing to save, so the previous list stays; where it shows raw
// text, that text is what is saved.
TEST_F(ConversionInputTest, UnrecognisedDropsAreRefused) {
  TempDirectory in;
  ::mkdir((in / "folder").c_str(), 0755);
  const std::string cloud = "[00-1A-2B-3C-4D-5E]\r\nName=PC001\r\nIPAddr=1\r\n";
  struct Case {
    const char* name;
    std::vector<std::string> paths;
  };
  const Case cases[] = {
      {"empty file", {in.Write("empty.ini", "")}},
      {"directory", {in / "folder"}},
      {"missing file", {in / "missing.ini"}},
      {"several files", {in.Write("a.ini", cloud), in.Write("b.ini", cloud)}},
      {"NUL first", {in.Write("nul.ini", std::string(1, '\0') + cloud)}},
      // Cut at the first NUL, so no marker survives.
      {"UTF-16 LE with BOM", {in.Write("le-bom.ini", Utf16(u"[A]\r\nName=x\r\nIPAddr=1", 0, 1))}},
      {"UTF-16 LE", {in.Write("le.ini", Utf16(u"[A]\r\nName=x\r\nIPAddr=1", 0, 0))}},
      {"UTF-16 BE with BOM", {in.Write("be-bom.ini", Utf16(u"[A]\r\nName=x\r\nIPAddr=1", 1, 1))}},
      {"UTF-16 XML", {in.Write("le.xml", Utf16(u"<ClientInfor></ClientInfor>", 0, 1))}},
      {"binary garbage", {in.Write("garbage.bin", Garbage(64 * 1024, true))}},
      {"binary garbage without NUL", {in.Write("garbage.bin", Garbage(1 << 20, false))}},
      // Recognition steps over the BOM's bytes as double-byte characters, and the last of them
      // takes the "<" of "<ClientInfor>" along: the marker is not found.
      {"UTF-8 XML list with BOM",
       {in.Write("bom.xml",
                 "\xEF\xBB\xBF<ClientInfor><Client><Mac>001A2B3C4D5E</Mac>"
                 "<Name>pc1</Name></Client></ClientInfor>")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome out = DropAndSave(c.paths);
    EXPECT_EQ(out.exit_code, 0);
    EXPECT_EQ(out.state.status_text, "");
    const std::vector<std::string> expected = {Gbk("暂不支持此文件列表"), Gbk("没有可保存的列表")};
    // The edit box shows what lies before the first NUL; where that is something, it is saved.
    if (out.state.edit_text.empty()) {
      EXPECT_EQ(out.boxes, expected);
      EXPECT_EQ(TempDirectory::Read(saved_list()), kPreviousList);
    } else {
      EXPECT_EQ(out.boxes.size(), 2u);
      EXPECT_EQ(out.boxes.empty() ? "" : out.boxes[0], expected[0]);
      EXPECT_EQ(TempDirectory::Read(saved_list()), out.state.edit_text);
    }
  }
}

// Lists in encodings the readers do not expect, and GBK that is not well formed: converted as far
// as they go, never ending the program.
TEST_F(ConversionInputTest, OddEncodingsConvertWithoutHarm) {
  TempDirectory in;
  // "前台" in UTF-8.
  const std::string utf8_cloud =
      "[00-1A-2B-3C-4D-5E]\r\nName=\xE5\x89\x8D\xE5\x8F\xB0\r\nIPAddr=1\r\n"
      "[00-1A-2B-3C-4D-5F]\r\nName=pc2\r\nIPAddr=2\r\n";
  struct Case {
    const char* name;
    std::string content;
    std::string edit;  // the MAC list as the capitals box shows it
    std::string status;
  };
  const Case cases[] = {
      // The profile reader decodes a UTF-8 file with a BOM, but the line reader sees the BOM
      // before the first "[", so the first section is not collected.
      {"UTF-8 cloud list with BOM", "\xEF\xBB\xBF" + utf8_cloud, "00-1A-2B-3C-4D-5F PC2",
       Gbk(" 共 1 条")},
      // Without a BOM the bytes are taken as GBK, pair by pair; these six happen to pair up.
      {"UTF-8 cloud list", utf8_cloud,
       "00-1A-2B-3C-4D-5E \xE5\x89\x8D\xE5\x8F\xB0\r\n00-1A-2B-3C-4D-5F PC2", Gbk(" 共 2 条")},
      // A lead byte at the end of the file is read as "?".
      {"cloud list ending in a lead byte", "[00-1A-2B-3C-4D-5E]\r\nIPAddr=1\r\nName=pc\x81",
       "00-1A-2B-3C-4D-5E PC?", Gbk(" 共 1 条")},
      // The raw text ends at the NUL, but the readers read on past it.
      {"cloud list with a lead byte before NUL",
       std::string("[00-1A-2B-3C-4D-5E]\r\nIPAddr=1\r\nName=pc\x81\0tail\r\n", 46) +
           "[00-1A-2B-3C-4D-5F]\r\nName=pc2\r\n",
       "00-1A-2B-3C-4D-5E PC?\r\n00-1A-2B-3C-4D-5F PC2", Gbk(" 共 2 条")},
      // The lead byte takes the "<" of "</Name>" along, so the document is not well formed.
      {"XML list with a lead byte before an end tag",
       "<ClientInfor><Client><Mac>001A2B3C4D5E</Mac><Name>pc\x81</Name></Client></ClientInfor>", "",
       Gbk(" 共 0 条")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome out = DropAndSave({in.Write("list", c.content)});
    EXPECT_EQ(out.exit_code, 0);
    EXPECT_EQ(out.state.edit_text, c.edit);
    EXPECT_EQ(out.state.status_text, c.status);
    EXPECT_EQ(out.boxes.size(), 1u);
    const std::string box = out.boxes.empty() ? "" : out.boxes[0];
    if (c.edit.empty()) {
      EXPECT_EQ(box, Gbk("没有可保存的列表"));
      EXPECT_EQ(TempDirectory::Read(saved_list()), kPreviousList);
    } else {
      EXPECT_EQ(box.rfind(Gbk("文件保存成功 "), 0), 0u);
      EXPECT_EQ(TempDirectory::Read(saved_list()), c.edit);
    }
  }
}

}  // namespace
}  // namespace marvane::app
