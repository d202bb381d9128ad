// marvane-convert started as a shell starts it: arguments and paths in UTF-8, output in UTF-8.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/posix/codec.h"
#include "tests/support/temp_directory.h"
#include "tools/marvane-convert/run_convert.h"

namespace marvane::convert::testing {

std::vector<Display> Displays() {
  return {Display::kFiles};
}

Outcome Run(const std::filesystem::path& cwd, const std::vector<std::string>& arguments, Display) {
  marvane::testing::TempDirectory scratch;
  const std::string out = scratch / "stdout", err = scratch / "stderr";
  std::vector<std::string> command = arguments;
  command.insert(command.begin(), MARVANE_CONVERT);
  std::vector<char*> argv;
  for (std::string& argument : command)
    argv.push_back(argument.data());
  argv.push_back(nullptr);
  Outcome run;
  const pid_t child = ::fork();
  if (child < 0) return run;
  if (child == 0) {
    const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (::chdir(cwd.c_str()) != 0 || ::dup2(out_fd, 1) < 0 || ::dup2(err_fd, 2) < 0) ::_exit(127);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) == child && WIFEXITED(status)) run.code = WEXITSTATUS(status);
  run.out = marvane::testing::TempDirectory::Read(out).value_or("");
  run.err = marvane::testing::TempDirectory::Read(err).value_or("");
  return run;
}

std::string Shown(Display, std::string_view lines) {
  if (lines.empty()) return {};
  return std::string(lines) + "\n";
}

// A folder GBK cannot name comes in as "?", which names nothing: the list shows, the save fails.
// 目录 in GBK bytes: a folder the program must not take for 目录 (nothing may be saved there).
PlatformCases::PlatformCases(const std::filesystem::path& dir) {
  std::filesystem::create_directory(dir / "Björn");
  std::filesystem::create_directory(dir / os::posix::Utf8ToGbk("目录"));
  cases.push_back(UnsavedCase({"--dir", "Björn", kListName}, 1, kListCount, "[错误] 文件保存失败"));
}

PlatformCases::~PlatformCases() = default;

}  // namespace marvane::convert::testing
