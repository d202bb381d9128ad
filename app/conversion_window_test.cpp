#include <gtest/gtest.h>

#include <filesystem>

#include "app/conversion_window.h"
#include "app/program_test_fixture.h"
#include "runtime/ui/runtime.h"

namespace marvane::app {
namespace {

using testing::Gbk;
using testing::TempDirectory;

constexpr char kCloudList[] =
    "[00-1A-2B-3C-4D-5E]\r\nName=PC001\r\nIPAddr=192.168.0.11\r\n"
    "[00-1A-2B-3C-4D-5F]\r\nName=PC002\r\nIPAddr=192.168.0.12\r\n";
constexpr char kCloudMacList[] = "00-1A-2B-3C-4D-5E PC001\r\n00-1A-2B-3C-4D-5F PC002";
constexpr char kXmlList[] =
    "<?xml version=\"1.0\" encoding=\"gbk\"?>\r\n<ClientInfor>\r\n"
    "<Client><Mac>001A2B3C4D5E</Mac><Name>pc001</Name><IP>10.0.0.1</IP></Client>\r\n"
    "<Client><Mac>001a2b3c4d5f</Mac><Name>pc002</Name></Client>\r\n</ClientInfor>\r\n";

class ConversionWindowTest : public ProgramTest {};

TEST_F(ConversionWindowTest, StartUpShowsTheStoredState) {
  WindowState state;
  Look(&state);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(state.edit_text, "");
  EXPECT_EQ(state.combo_selection, 0);
  EXPECT_EQ(state.combo_text, Gbk("云更新无盘"));
  EXPECT_EQ(state.status_text, "");
  EXPECT_EQ(state.dropped_path, "");
  EXPECT_TRUE(boxes().empty());
}

// Each kind of drop, with what the window shows afterwards.
TEST_F(ConversionWindowTest, DropsOfEachKind) {
  struct Case {
    const char* name;
    std::string content;
    std::string edit;  // expected edit box text (as the capitals box gives it back)
    std::int32_t selection;
    std::string status;
    bool refused;
  };
  const Case cases[] = {
      {"cloud", kCloudList, Gbk(kCloudMacList), 0, Gbk(" 共 2 条"), false},
      {"xml", kXmlList, "00-1A-2B-3C-4D-5E PC001\r\n00-1A-2B-3C-4D-5F PC002", 1, Gbk(" 共 2 条"),
       false},
      // All three markers: the cloud-update test wins.
      {"all markers", std::string(kCloudList) + "<ClientInfor>", Gbk(kCloudMacList), 0,
       Gbk(" 共 2 条"), false},
      // Recognition is case-sensitive.
      {"lower case keys", "[A]\r\nipaddr=1\r\nname=x\r\n", "[A]\r\nIPADDR=1\r\nNAME=X\r\n", 0, "",
       true},
      {"IPAddr only", "[A]\r\nIPAddr=1\r\n", "[A]\r\nIPADDR=1\r\n", 0, "", true},
      // ComputerName= holds Name=.
      {"ComputerName", "[A]\r\nComputerName=pc\r\nIPAddr=1\r\n", "A ", 0, Gbk(" 共 1 条"), false},
      {"empty file", "", "", 0, "", true},
      {"NUL first", std::string("\0[A]\r\nName=x\r\nIPAddr=1", 22), "", 0, "", true},
      // UTF-16 text: cut at its first NUL, so no marker survives.
      {"utf-16", std::string("[\0N\0a\0m\0e\0=\0", 12), "[", 0, "", true},
      // A recognised list without a client: the count 0, the box emptied.
      {"xml without clients", "<ClientInfor></ClientInfor>", "", 1, Gbk(" 共 0 条"), false},
      {"xml root elsewhere", "<Root><ClientInfor><C><Mac>1</Mac></C></ClientInfor></Root>", "", 1,
       Gbk(" 共 0 条"), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDirectory list_dir;
    std::string path = list_dir.Write("list.txt", c.content);
    dialogs_.Clear();
    WindowState state;
    Drop({path});
    Look(&state);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(state.edit_text, c.edit);
    EXPECT_EQ(state.combo_selection, c.selection);
    EXPECT_EQ(state.status_text, c.status);
    EXPECT_EQ(state.dropped_path, path);
    if (c.refused) {
      ASSERT_EQ(boxes().size(), 1u);
      EXPECT_EQ(boxes()[0].text, Gbk("暂不支持此文件列表"));
      EXPECT_EQ(boxes()[0].caption, Gbk("信息："));
      EXPECT_EQ(boxes()[0].style, 0x2000u);  // task-modal added to style 0
      EXPECT_EQ(boxes()[0].owner, 0u);
    } else {
      EXPECT_TRUE(boxes().empty());
    }
    ui::ResetRuntime();
  }
}

TEST_F(ConversionWindowTest, SaveWritesTheListBesideTheProgram) {
  std::string path = dir_.Write("list.ini", kCloudList);
  WindowState state;
  Drop({path});
  ClickSave();
  Look(&state);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(TempDirectory::Read(saved_list()), Gbk(kCloudMacList));  // no final CR LF
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].text, Gbk("文件保存成功 ") + run_directory() + "\\mac_sample.txt");
  EXPECT_EQ(boxes()[0].caption, Gbk("成功"));
  EXPECT_EQ(boxes()[0].style, 0x2040u);
  EXPECT_EQ(boxes()[0].owner, state.window);
  EXPECT_NE(state.window, 0u);
}

TEST_F(ConversionWindowTest, SavingTwiceKeepsOnlyTheCurrentList) {
  std::string first = dir_.Write("a.ini", kCloudList);
  std::string second = dir_.Write("b.ini", "[AA]\r\nName=x\r\nIPAddr=1\r\n");
  Drop({first});
  ClickSave();
  Drop({second});
  ClickSave();
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(TempDirectory::Read(saved_list()), "AA X");
  EXPECT_EQ(boxes().size(), 2u);
}

TEST_F(ConversionWindowTest, UnsupportedFileIsSavedAsItsRawText) {
  std::string path = dir_.Write("notes.txt", "hello\r\nworld");
  Drop({path});
  ClickSave();
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(boxes().size(), 2u);
  EXPECT_EQ(boxes()[0].text, Gbk("暂不支持此文件列表"));
  EXPECT_EQ(boxes()[1].caption, Gbk("成功"));
  // The list box shows capitals, and saves what it shows.
  EXPECT_EQ(TempDirectory::Read(saved_list()), "HELLO\r\nWORLD");
}

TEST_F(ConversionWindowTest, NothingToSave) {
  struct Case {
    const char* name;
    std::string content;  // empty: no drop at all
  };
  const Case cases[] = {{"before any drop", ""}, {"zero clients", "<ClientInfor></ClientInfor>"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs_.Clear();
    if (!c.content.empty()) Drop({dir_.Write("list.xml", c.content)});
    ClickSave();
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, Gbk("没有可保存的列表"));
    EXPECT_EQ(boxes()[0].caption, Gbk("信息："));
    EXPECT_EQ(boxes()[0].style, 0x2010u);
    EXPECT_NE(boxes()[0].owner, 0u);
    EXPECT_FALSE(TempDirectory::Read(saved_list()).has_value());
    ui::ResetRuntime();
  }
}

TEST_F(ConversionWindowTest, FailedSaveKeepsTheListAndSaysSo) {
  std::string path = dir_.Write("list.ini", kCloudList);
  // A directory where the list file should go: it cannot be created.
  std::filesystem::create_directory(saved_list());
  WindowState state;
  Drop({path});
  ClickSave();
  Look(&state);
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].text, Gbk("文件保存失败"));
  EXPECT_EQ(boxes()[0].caption, Gbk("错误"));
  EXPECT_EQ(boxes()[0].style, 0x2010u);
  EXPECT_EQ(state.edit_text, Gbk(kCloudMacList));
}

TEST_F(ConversionWindowTest, SeveralFilesAreRefusedAndKeptAsOneText) {
  std::string a = dir_.Write("a.ini", kCloudList);
  std::string b = dir_.Write("b.ini", kCloudList);
  WindowState state;
  Drop({a, b});
  Look(&state);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(state.dropped_path, a + "\r\n" + b + "\r\n");
  EXPECT_EQ(state.edit_text, "");
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].text, Gbk("暂不支持此文件列表"));
}

// Files given at start (the command line) arrive through the files-dropped event as one drop.
TEST_F(ConversionWindowTest, FilesGivenAtStartAreOneDrop) {
  std::string a = dir_.Write("a.ini", kCloudList);
  std::string b = dir_.Write("b.xml", kXmlList);
  struct Case {
    const char* name;
    std::vector<std::string> files;
    std::string delivered;
    std::string status;
    std::size_t boxes;
  };
  const Case cases[] = {
      {"one file", {a}, a, Gbk(" 共 2 条"), 0},
      {"two files", {a, b}, a + "\r\n" + b + "\r\n", "", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs_.Clear();
    WindowState state;
    Look(&state);
    EXPECT_EQ(Run(c.files), 0);
    EXPECT_EQ(state.dropped_path, c.delivered);
    EXPECT_EQ(state.status_text, c.status);
    EXPECT_EQ(state.boxes, c.boxes);
    ui::ResetRuntime();
  }
}

TEST_F(ConversionWindowTest, ModifierKeysThatAskForALinkRefuseTheDrop) {
  std::string path = dir_.Write("list.ini", kCloudList);
  WindowState state;
  Drop({path}, os::drag::kControl | os::drag::kShift);
  Look(&state);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(state.dropped_path, "");
  EXPECT_EQ(state.edit_text, "");
  EXPECT_TRUE(boxes().empty());
}

TEST_F(ConversionWindowTest, ADropOverridesAManualChoice) {
  std::string path = dir_.Write("list.ini", kCloudList);
  WindowState chosen, converted;
  Then([this] { windows().SetComboSelection(Handle(kComboSelectKind, type::kComboBox), 1); });
  Look(&chosen);
  Drop({path});
  Look(&converted);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(chosen.combo_text, Gbk("顺网无盘9系列"));
  EXPECT_EQ(converted.combo_selection, 0);
  EXPECT_EQ(converted.edit_text, Gbk(kCloudMacList));
}

TEST_F(ConversionWindowTest, ARefusedDropKeepsTheEarlierCount) {
  std::string list = dir_.Write("list.ini", kCloudList);
  std::string other = dir_.Write("other.txt", "plain");
  WindowState state;
  Drop({list});
  Drop({other});
  Look(&state);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(state.status_text, Gbk(" 共 2 条"));
  EXPECT_EQ(state.combo_selection, 0);
  EXPECT_EQ(state.edit_text, "PLAIN");
}

TEST_F(ConversionWindowTest, DroppedPathIsReleasedAtTheEnd) {
  std::string path = dir_.Write("list.ini", kCloudList);
  Drop({path});
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(DroppedFilePath(), nullptr);
}

}  // namespace
}  // namespace marvane::app
