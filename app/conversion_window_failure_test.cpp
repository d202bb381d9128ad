// Failures under the program: a save that cannot be completed, and memory that runs out in the
// middle of a conversion. Neither may leave a half-written or changed list behind.
#include <gtest/gtest.h>

#include <cstdlib>

#include <filesystem>
#include <set>

#include "app/program_test_fixture.h"
#include "runtime/ui/runtime.h"
#include "tests/support/failing_files.h"

namespace marvane::app {
namespace {

using testing::FailingFiles;
using testing::Gbk;
using testing::TempDirectory;
using Fault = FailingFiles::Fault;

constexpr char kCloudList[] =
    "[00-1A-2B-3C-4D-5E]\r\nName=PC001\r\nIPAddr=192.168.0.11\r\n"
    "[00-1A-2B-3C-4D-5F]\r\nName=PC002\r\nIPAddr=192.168.0.12\r\n";
constexpr char kCloudMacList[] = "00-1A-2B-3C-4D-5E PC001\r\n00-1A-2B-3C-4D-5F PC002";
constexpr char kPreviousList[] = "00-11-22-33-44-55 OLD";

class ConversionFailureTest : public ProgramTest {
 protected:
  using Box = os::headless::ScriptedDialogs::Shown;
  // The first message box, or an empty one when none showed.
  Box FirstBox() const { return boxes().empty() ? Box{} : boxes()[0]; }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
      names.insert(entry.path().filename().string());
    return names;
  }
};

TEST_F(ConversionFailureTest, AFailedSaveSaysSoAndKeepsThePreviousList) {
  const Fault faults[] = {Fault::kCreate, Fault::kWrite, Fault::kFlush, Fault::kClose,
                          Fault::kReplace};
  for (Fault fault : faults) {
    SCOPED_TRACE(static_cast<int>(fault));
    dir_.Write("mac_sample.txt", kPreviousList);
    const std::string list = dir_.Write("list.ini", kCloudList);
    FailingFiles files(fault);
    os::Services services = os::Current();
    services.files = &files;
    os::ScopedServices installed(services);
    dialogs_.Clear();
    WindowState state;
    Drop({list});
    ClickSave();
    Look(&state);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(boxes().size(), 1u);
    const Box box = FirstBox();
    EXPECT_EQ(box.text, Gbk("文件保存失败"));
    EXPECT_EQ(box.caption, Gbk("错误"));
    EXPECT_EQ(state.edit_text, Gbk(kCloudMacList));  // the user can press "保存" again
    EXPECT_EQ(TempDirectory::Read(saved_list()), kPreviousList);
    EXPECT_EQ(Names(), (std::set<std::string>{"list.ini", "mac_sample.txt"}));
    ui::ResetRuntime();
  }
}

// The report of a failed allocation, exactly as the user sees it.
std::string AllocationReport(std::size_t size) {
  return Gbk("运行时出错!\r\n\r\n错误信息：分配 " + std::to_string(size) +
             " 字节内存失败!\r\n\r\n0, 0\r\n");
}

// The size of the failed request that an allocation report names; 0 for any other text.
std::size_t ReportedSize(const std::string& text) {
  const std::string before = AllocationReport(0).substr(0, AllocationReport(0).find('0'));
  if (text.rfind(before, 0) != 0) return 0;
  const std::size_t size = std::strtoull(text.c_str() + before.size(), nullptr, 10);
  return text == AllocationReport(size) ? size : 0;
}

// A list whose MAC list text is much larger than the file: one header names the section "S" many
// times over ("S|S|...|S"), and "S" holds a long machine name, which each of those lines repeats.
struct Amplified {
  std::string file;
  std::size_t list_size = 0;
};
Amplified AmplifiedList(std::size_t repeats, std::size_t name_size) {
  Amplified a;
  std::string header = "[S";
  for (std::size_t i = 1; i < repeats; ++i)
    header += "|S";
  a.file = header + "]\r\n[S]\r\nIPAddr=1\r\nName=" + std::string(name_size, 'n') + "\r\n";
  const std::size_t lines = repeats + 1;  // the second header names "S" once more
  a.list_size = lines * (2 + name_size) + (lines - 1) * 2;
  return a;
}

// Running out of memory while a drop is converted ends the program with the report and -1,
// before anything is saved.
TEST_F(ConversionFailureTest, AllocationFailureDuringAConversionEndsTheProgram) {
  const Amplified amplified = AmplifiedList(100, 1000);
  const std::string plain = dir_.Write("plain.ini", kCloudList);
  const std::string big = dir_.Write("big.ini", amplified.file);
  struct Case {
    const char* name;
    std::string path;
    std::size_t largest;  // larger requests fail
    // The request that fails, whose size is in the report, lies in [failed_least, failed_most].
    std::size_t failed_least;
    std::size_t failed_most;
    bool previous;  // a list was saved before
  };
  const std::size_t plain_size = sizeof kCloudList - 1;
  const Case cases[] = {
      // Holding the dropped file: its size and the byte set's 8-byte header.
      {"reading the file", plain, plain_size, plain_size + 8, plain_size + 8, false},
      {"reading the file over an earlier list", plain, plain_size, plain_size + 8, plain_size + 8,
       true},
      // The file is small; its MAC list text is not. The list grows to its size (and terminating
      // NUL) in steps of which none is more than twice that.
      {"building the list", big, amplified.list_size / 2, amplified.list_size / 2 + 1,
       2 * (amplified.list_size + 1), true},
  };
  ASSERT_GT(amplified.list_size / 2, amplified.file.size() + 8);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(saved_list());
    if (c.previous) dir_.Write("mac_sample.txt", kPreviousList);
    dialogs_.Clear();
    Then([this, &c] { heap_.set_largest(c.largest); });
    Drop({c.path});
    ClickSave();
    EXPECT_EQ(Run(), -1);
    heap_.set_largest(static_cast<std::size_t>(-1));
    EXPECT_EQ(boxes().size(), 1u);
    const Box box = FirstBox();
    EXPECT_GE(ReportedSize(box.text), c.failed_least) << box.text;
    EXPECT_LE(ReportedSize(box.text), c.failed_most) << box.text;
    EXPECT_EQ(box.caption, Gbk("错误"));
    EXPECT_EQ(box.style, 0x10u);
    EXPECT_EQ(box.owner, 0u);
    if (c.previous) {
      EXPECT_EQ(TempDirectory::Read(saved_list()), kPreviousList);
    } else {
      EXPECT_FALSE(TempDirectory::Read(saved_list()).has_value());
    }
    ui::ResetRuntime();
  }
}

}  // namespace
}  // namespace marvane::app
