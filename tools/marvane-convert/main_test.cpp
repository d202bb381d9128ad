// marvane-convert as a user runs it: paths from the terminal in UTF-8, the saved file's path
// printed as one that can be pasted.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_directory.h"

namespace {

using marvane::testing::TempDirectory;

struct Outcome {
  int code = -1;
  std::string out;
  std::string err;
};

// Runs marvane-convert with the arguments in the directory given.
Outcome Convert(const TempDirectory& cwd, const TempDirectory& scratch,
                std::vector<std::string> arguments) {
  const std::string out = scratch / "stdout", err = scratch / "stderr";
  arguments.insert(arguments.begin(), MARVANE_CONVERT);
  std::vector<char*> argv;
  for (std::string& argument : arguments)
    argv.push_back(argument.data());
  argv.push_back(nullptr);
  Outcome run;
  const pid_t child = ::fork();
  if (child < 0) return run;
  if (child == 0) {
    const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (::chdir(cwd.path().c_str()) != 0 || ::dup2(out_fd, 1) < 0 || ::dup2(err_fd, 2) < 0)
      ::_exit(127);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) == child && WIFEXITED(status)) run.code = WEXITSTATUS(status);
  run.out = TempDirectory::Read(out).value_or("");
  run.err = TempDirectory::Read(err).value_or("");
  return run;
}

TEST(MarvaneConvertTest, ChineseNamesAndThePathItPrints) {
  TempDirectory dir, scratch;
  ASSERT_EQ(::mkdir((dir / "目录").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((dir / "x").c_str(), 0755), 0);
  // 目录 in GBK bytes: a folder the save must not take for 目录.
  ASSERT_EQ(::mkdir((dir / "\xC4\xBF\xC2\xBC").c_str(), 0755), 0);
  const std::string list = "[00-1A-2B-3C-4D-5E]\r\nName=pc-01\r\nIPAddr=192.168.10.11\r\n";
  for (const char* name : {"list.ini", "列表.ini", "目录/列表.ini"})
    dir.Write(name, list);
  struct Case {
    std::vector<std::string> arguments;
    const char* saved;  // inside the directory
  };
  const Case cases[] = {
      {{"列表.ini"}, "mac_sample.txt"},
      {{"--dir", "目录", "list.ini"}, "目录/mac_sample.txt"},
      {{"--dir=目录", "目录/列表.ini"}, "目录/mac_sample.txt"},
      {{"--dir", "./x/../目录/.", "list.ini"}, "目录/mac_sample.txt"},
      {{"--dir", dir.path() + "//x/", "list.ini"}, "x/mac_sample.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.back() + " saved in " + c.saved);
    const std::string saved = dir / c.saved;
    std::filesystem::remove(saved);
    const Outcome run = Convert(dir, scratch, c.arguments);
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, " 共 1 条\n");
    EXPECT_EQ(run.err, "[成功] 文件保存成功 " + saved + "\n");
    EXPECT_EQ(TempDirectory::Read(saved), "00-1A-2B-3C-4D-5E PC-01");
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir / "\xC4\xBF\xC2\xBC"));
}

TEST(MarvaneConvertTest, Version) {
  TempDirectory dir, scratch;
  const Outcome run = Convert(dir, scratch, {"--version"});
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.out, "marvane-convert " MARVANE_VERSION "\n");
}

}  // namespace
