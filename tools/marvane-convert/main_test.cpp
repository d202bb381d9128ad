// marvane-convert as a user runs it, one table for every system: paths as users give them
// (relative, absolute, with "." and ".."), Chinese names, the bundled examples, what is refused.
// The runner and the form of the output are the system's own (run_convert.h).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "tests/support/temp_directory.h"
#include "tools/marvane-convert/run_convert.h"

namespace marvane::convert::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kSavedName[] = "mac_sample.txt";
constexpr char kUsage[] =
    "usage: marvane-convert [--dir DIR] FILE\n       marvane-convert --version";
constexpr char kRefused[] = "[信息：] 暂不支持此文件列表";

std::vector<fs::path> SavedFilesIn(const fs::path& dir) {
  std::vector<fs::path> found;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
    if (entry.path().filename() == kSavedName) found.push_back(entry.path());
  }
  return found;
}

void Check(const fs::path& dir, const Case& c, Display display) {
  std::error_code ignored;
  for (const fs::path& old : SavedFilesIn(dir))
    fs::remove(old, ignored);
  if (!c.saved.empty()) {
    fs::remove(PathOf(c.saved), ignored);
  }

  const Outcome run = Run(dir, c.arguments, display);
  EXPECT_EQ(run.code, c.code);
  if (display == Display::kFiles) {
    EXPECT_EQ(run.out, Shown(display, c.out));
    EXPECT_EQ(run.err, Shown(display, c.err));
  } else {  // the screen shows both streams in the order written: the count comes first
    EXPECT_EQ(run.out + run.err, Shown(display, c.out) + Shown(display, c.err));
  }
  // Saved where the message says, and nowhere else in the directory.
  if (!c.saved.empty()) {
    EXPECT_EQ(ReadBytes(PathOf(c.saved)), c.bytes);
  }
  for (const fs::path& file : SavedFilesIn(dir)) {
    EXPECT_TRUE(!c.saved.empty() && fs::equivalent(file, PathOf(c.saved), ignored)) << file;
  }
}

TEST(MarvaneConvertTest, EveryCase) {
  marvane::testing::TempDirectory temp;
  const fs::path dir = temp.path();
  const std::string d = Utf8Of(dir);
  ASSERT_TRUE(fs::create_directory(dir / PathOf("目录")));
  ASSERT_TRUE(fs::create_directory(dir / "x"));
  for (const char* name : {"list.ini", kListName, "目录/列表.ini"})
    WriteBytes(dir / PathOf(name), kList);
  const std::string examples = Utf8Of(fs::absolute(MARVANE_EXAMPLES_DIR));
  const std::string expected = Utf8Of(fs::absolute(MARVANE_EXPECTED_DIR));
  const std::string here = d + "/" + kSavedName;

  std::vector<Case> cases = {
      SavedCase({kListName}, here),
      SavedCase({"--dir=", kListName}, here),
      SavedCase({"--dir", "目录", "list.ini"}, d + "/目录/" + kSavedName),
      SavedCase({"--dir=目录", "目录/列表.ini"}, d + "/目录/" + kSavedName),
      SavedCase({"--dir", "./x/../目录/.", "list.ini"}, d + "/目录/" + kSavedName),
      SavedCase({"--dir", d + "//x/", d + "/list.ini"}, d + "/x/" + kSavedName),
      {{examples + "/cloud-update.ini"},
       0,
       " 共 5 条",
       kSavedMessage + here,
       here,
       ReadBytes(PathOf(expected + "/cloud-update.mac_sample.txt")).value_or("?")},
      {{examples + "/clients.xml"},
       0,
       " 共 5 条",
       kSavedMessage + here,
       here,
       ReadBytes(PathOf(expected + "/clients.mac_sample.txt")).value_or("?")},
      UnsavedCase({"不在这里.ini"}, 1, "", kRefused),
      UnsavedCase({}, 2, "", kUsage),
      UnsavedCase({kListName, "list.ini"}, 2, "", kUsage),
      UnsavedCase({"--dir"}, 2, "", kUsage),
      UnsavedCase({"--bogus", kListName}, 2, "", kUsage),
      UnsavedCase({"--version"}, 0, "marvane-convert " MARVANE_VERSION, ""),
  };
  PlatformCases platform(dir);
  cases.insert(cases.end(), platform.cases.begin(), platform.cases.end());
  for (const Case& c : cases) {
    std::string arguments;
    for (const std::string& argument : c.arguments)
      arguments += " " + argument;
    SCOPED_TRACE("marvane-convert" + arguments);
    Check(dir, c, Display::kFiles);
  }
  // The first case again on each other display the system has.
  const std::vector<Display> displays = Displays();
  for (std::size_t i = 1; i < displays.size(); ++i) {
    SCOPED_TRACE("display " + std::to_string(i));
    Check(dir, cases.front(), displays[i]);
  }
}

}  // namespace
}  // namespace marvane::convert::testing
