#include "platform/win32/process.h"

#include "platform/win32/windows_api.h"

#include <cstdio>

#include "platform/win32/codec.h"

namespace marvane::os::win32 {

void Win32Process::Exit(int code) {
  std::fflush(nullptr);
  ExitProcess(static_cast<UINT>(code));
}

std::string Win32Process::ProgramPath() {
  // Long paths exceed MAX_PATH; grow until the whole name fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
  bool lossy = false;
  std::string gbk = Gbk(path, &lossy);
  // A name with "?" in place of a character would point somewhere else, or nowhere.
  return lossy ? std::string() : gbk;
}

bool Win32Process::SetCurrentDirectory(std::string_view path) {
  std::wstring wide = Wide(path);
  return SetCurrentDirectoryW(wide.c_str()) != 0;
}

}  // namespace marvane::os::win32
