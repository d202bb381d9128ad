// marvane-convert.exe: arguments from the wide command line, paths held in GBK as the window
// program holds them, output as Windows consoles read it (see convert.h).
#include <string>
#include <vector>

#include "platform/win32/codec.h"
#include "platform/win32/command_line.h"
#include "platform/win32/console.h"
#include "platform/win32/dialogs.h"
#include "tools/marvane-convert/convert.h"

namespace {

using namespace marvane;
using os::win32::StandardStream;

class WindowsConsole final : public convert::Console {
 public:
  void Out(std::string_view gbk_line) override {
    os::win32::WriteStandardLine(StandardStream::kOutput, gbk_line);
  }
  void Err(std::string_view gbk_line) override {
    os::win32::WriteStandardLine(StandardStream::kError, gbk_line);
  }
  os::Dialogs& MessageBoxes() override { return boxes_; }

 private:
  os::win32::ConsoleDialogs boxes_;
};

// The directory in full, in the form the window program's own would have, without a separator at
// the end: the runtime puts one before the file's name itself, so a root "D:\" becomes "D:" and a
// share "\\server\share\" becomes "\\server\share". An empty one is the current directory.
std::wstring RunDirectory(const std::wstring& dir) {
  std::wstring full = os::win32::FullPath(dir.empty() ? L"." : dir);
  while (!full.empty() && (full.back() == L'\\' || full.back() == L'/'))
    full.pop_back();
  return full;
}

}  // namespace

int main() {
  const std::vector<std::wstring> arguments = os::win32::CommandLineArguments();
  const convert::Options<wchar_t> options = convert::ParseOptions<wchar_t>(arguments);
  WindowsConsole console;
  if (options.action != convert::Action::kConvert) return convert::Answer(options.action, console);

  // Exact, else the short (8.3) form, else a path that names nothing: GbkPath's rule.
  const std::string run_directory = os::win32::GbkPath(RunDirectory(options.dir));
  const std::string dropped = os::win32::GbkPath(os::win32::FullPath(options.file));
  convert::Convert(run_directory, dropped, console);
}
