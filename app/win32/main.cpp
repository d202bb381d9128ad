// The Windows process entry: everything the program does happens inside RunProgram.
#include <windows.h>

#include <string>
#include <vector>

#include "app/program.h"
#include "platform/win32/codec.h"

// After windows.h, which it needs.
#include <shellapi.h>

namespace {

// Files opened with the program (dropped on its icon, chosen in "打开方式", sent to it) come as
// its arguments; the program holds them as GBK paths, as it holds a dropped path.
std::vector<std::string> GivenFiles() {
  std::vector<std::string> files;
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args) return files;
  for (int i = 1; i < count; ++i) {
    if (args[i][0] != L'\0') files.push_back(marvane::os::win32::GbkPath(args[i]));
  }
  LocalFree(args);
  return files;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  marvane::app::RunProgram(GivenFiles());
}
