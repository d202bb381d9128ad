// The Windows process entry: everything the program does happens inside RunProgram.
#include <windows.h>

#include <string>
#include <vector>

#include "app/program.h"
#include "platform/win32/codec.h"

// After windows.h, which it needs.
#include <shellapi.h>

namespace {

// A path given relative to the directory the program was started in: the runtime moves to the
// program's own directory before the files are read.
std::wstring FullPath(const wchar_t* path) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetFullPathNameW(path, static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return path;
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);
  }
}

// Files opened with the program (dropped on its icon, chosen in "打开方式", sent to it) come as
// its arguments; the program holds them as full GBK paths, as it holds a dropped path.
std::vector<std::string> GivenFiles() {
  std::vector<std::string> files;
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args) return files;
  for (int i = 1; i < count; ++i) {
    if (args[i][0] != L'\0') files.push_back(marvane::os::win32::GbkPath(FullPath(args[i])));
  }
  LocalFree(args);
  return files;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  marvane::app::RunProgram(GivenFiles());
}
