// The Windows process entry: everything the program does happens inside RunProgram.
#include <windows.h>

#include <string>
#include <vector>

#include "app/program.h"
#include "platform/win32/codec.h"
#include "platform/win32/command_line.h"

namespace {

// Files opened with the program (dropped on its icon, chosen in "打开方式", sent to it) come as
// its arguments; the program holds them as full GBK paths, as it holds a dropped path. A relative
// one is taken from the directory the program was started in: the runtime moves to the program's
// own directory before the files are read.
std::vector<std::string> GivenFiles() {
  std::vector<std::string> files;
  for (const std::wstring& argument : marvane::os::win32::CommandLineArguments()) {
    if (!argument.empty()) {
      files.push_back(marvane::os::win32::GbkPath(marvane::os::win32::FullPath(argument)));
    }
  }
  return files;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  marvane::app::RunProgram(GivenFiles());
}
