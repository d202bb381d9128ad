#include "app/cloud_list_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <filesystem>

#include "runtime/commands/file/file_commands.h"
#include "runtime/values/core.h"
#include "tests/support/runtime_fixture.h"
#include "tests/support/temp_directory.h"
#include "tests/support/values_helpers.h"

namespace marvane::app {
namespace {

using testing::Gbk;
using testing::TempDirectory;
using Opt = std::optional<std::string>;
using std::nullopt;

class CloudListReaderTest : public testing::RuntimeTest {
 protected:
  struct Result {
    Opt list;
    std::int32_t count;
  };
  // Runs the reader; a run-time error report would end the "program" and fail the test.
  Result Read(const std::string& path) {
    Result result{nullopt, -1};
    auto ended = RunToEnd([&] {
      OwnedText list(ReadCloudUpdateList(path.c_str(), &result.count));
      if (list) result.list = list.get();
    });
    EXPECT_EQ(ended, nullopt);
    EXPECT_TRUE(dialogs_.shown().empty());
    EXPECT_EQ(open_files::Count(), 0u);  // the list file is closed again
    return result;
  }

  TempDirectory dir_;
};

TEST_F(CloudListReaderTest, ListsOfSections) {
  struct Case {
    const char* name;
    std::string bytes;
    Opt list;
    std::int32_t count;
  };
  const std::string mac1 = "00-1A-2B-3C-4D-5E", mac2 = "00-1A-2B-3C-4D-5F";
  const Case cases[] = {
      {"two clients",
       "[" + mac1 + "]\r\nName=PC001\r\nIPAddr=10.0.0.1\r\n[" + mac2 +
           "]\r\nIPAddr=10.0.0.2\r\nName=PC002\r\n",
       mac1 + " PC001\r\n" + mac2 + " PC002", 2},
      {"lf only", "[B]\nName=b\n[A]\nName=a\n", "B b\r\nA a", 2},
      {"settings section counts", "[General]\r\nVersion=3\r\n[M]\r\nName=x\r\n", "General \r\nM x",
       2},
      {"indented headers", " [A]\r\nName=a\r\n\t[B]\r\nName=b\r\n", nullopt, 0},
      {"text after the bracket", "[A] ; first\r\nName=a\r\n", "A a", 1},
      {"no closing bracket", "[A\r\nName=a\r\n", nullopt, 0},
      {"empty name between", "[A]\r\nName=a\r\n[]\r\n[B]\r\nName=b\r\n", "A a\r\nB b", 3},
      {"empty name last", "[A]\r\nName=a\r\n[]\r\n", "A a", 1},
      {"two empty names last", "[A]\r\nName=a\r\n[]\r\n[]\r\n", "A a", 2},
      {"empty name first", "[]\r\n[A]\r\nName=a\r\n", "A a", 1},
      {"bar splits a name", "[A|B]\r\nName=x\r\n", "A \r\nB ", 2},
      // 81 7C is one character: its "|" does not split the name.
      {"bar as trail byte", "[\x81|]\r\n", "\x81| ", 1},
      {"same name twice", "[A]\r\nName=1\r\n[A]\r\nName=2\r\n", "A 1\r\nA 1", 2},
      {"no name key", "[A]\r\nIPAddr=1\r\n[B]\r\nName=\r\n", "A \r\nB ", 2},
      {"key case", "[A]\r\nNAME = x \r\n", "A x", 1},
      {"nul ends the pass", std::string("[A]\r\nName=a\r\n\0[B]\r\nName=b\r\n", 27), "A a", 1},
      {"ctrl-z ends the pass", "[A]\r\nName=a\r\n\x1a[B]\r\nName=b\r\n", "A a", 1},
      {"gbk names", "[" + mac1 + "]\r\nName=" + Gbk("网吧01") + "\r\n", mac1 + " " + Gbk("网吧01"),
       1},
      // B1 5D is one character: its "]" does not close the header.
      {"bracket as trail byte", "[\xB1]]\r\nName=x\r\n", "\xB1] x", 1},
      {"empty file", "", nullopt, 0},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Result r = Read(dir_.Write("list" + std::to_string(n++) + ".ini", c.bytes));
    EXPECT_EQ(r.list, c.list);
    EXPECT_EQ(r.count, c.count);
  }
}

TEST_F(CloudListReaderTest, UnreadableFilesGiveNothing) {
  ASSERT_TRUE(std::filesystem::create_directory(dir_ / "dir"));
  const std::string held = dir_.Write("held.ini", "[A]\r\nName=a\r\n");
  for (const std::string& path : {dir_ / "missing.ini", dir_ / "dir", std::string()}) {
    SCOPED_TRACE(path);
    Result r = Read(path);
    EXPECT_EQ(r.list, nullopt);
    EXPECT_EQ(r.count, 0);
  }
  // A file that another opener holds exclusively cannot be opened for the line pass.
  ValueRecord number =
      CallCore(commands::OpenFile, {TextArg(held.c_str()), IntValue(1), IntValue(4)});
  ASSERT_NE(IntOf(number), 0);
  std::int32_t count = -1;
  OwnedText list(ReadCloudUpdateList(held.c_str(), &count));
  EXPECT_EQ(list, nullptr);
  EXPECT_EQ(count, 0);
  CallCore(commands::CloseFile, {number});
}

TEST_F(CloudListReaderTest, CollectingFromAMissingFileKeepsTheArray) {
  OwnedTextArray names(NewTextArray(1));
  void* before = names.get();
  CollectSectionNames((dir_ / "missing.ini").c_str(), &names);
  EXPECT_EQ(names.get(), before);

  CollectSectionNames(dir_.Write("a.ini", "[X]\r\n[Y]\r\n").c_str(), &names);
  ASSERT_EQ(ArrayCount(names.get()), 2u);
  EXPECT_STREQ(TextArrayElements(names.get())[0], "X");
  EXPECT_STREQ(TextArrayElements(names.get())[1], "Y");
}

}  // namespace
}  // namespace marvane::app
