// marvane-convert on POSIX: paths from the terminal in UTF-8, output in UTF-8 for the terminal,
// with paths written as this system writes them (see convert.h).
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/posix/codec.h"
#include "platform/posix/dialogs.h"
#include "platform/posix/heap.h"
#include "platform/posix/paths.h"
#include "tools/marvane-convert/convert.h"

namespace {

using namespace marvane;

class TerminalConsole final : public convert::Console {
 public:
  void Out(std::string_view gbk_line) override { Write(stdout, gbk_line); }
  void Err(std::string_view gbk_line) override { Write(stderr, gbk_line); }
  os::Dialogs& MessageBoxes() override { return boxes_; }

 private:
  static void Write(std::FILE* stream, std::string_view gbk_line) {
    const std::string line = os::posix::GbkToUtf8(gbk_line) + '\n';
    std::fwrite(line.data(), 1, line.size(), stream);
  }
  os::posix::ConsoleDialogs boxes_;
};

std::string Absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return path;
  return std::string(cwd) + "/" + path;
}

// The directory in full and without "." or ".." (taken as a shell's cd takes them), so that the
// saved file's path reads as the user would write it. The root comes out empty: the runtime adds
// the separator before a name itself.
std::string RunDirectory(const std::string& dir) {
  std::string full = std::filesystem::path(Absolute(dir)).lexically_normal().string();
  while (!full.empty() && full.back() == '/')
    full.pop_back();
  return full;
}

}  // namespace

int main(int argc, char** argv) {
  os::posix::RestartWithLargePages(argv);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const convert::Options<char> options = convert::ParseOptions<char>(arguments);
  TerminalConsole console;
  if (options.action != convert::Action::kConvert) return convert::Answer(options.action, console);

  // Inside, texts are GBK with "\" separators.
  const std::string run_directory = os::posix::ToRuntimePath(RunDirectory(options.dir));
  const std::string dropped = os::posix::ToRuntimePath(Absolute(options.file));
  os::posix::KeepFreedMemory();
  convert::Convert(run_directory, dropped, console);
}
