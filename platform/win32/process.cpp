#include "platform/win32/process.h"

#include "platform/win32/windows_api.h"

#include <cstdio>

#include "platform/win32/codec.h"

namespace marvane::os::win32 {
namespace {

// Stands for a program file whose path cannot be had. The run directory "?" names no directory, so
// nothing is saved; an empty path would put the list in the root of the current drive.
constexpr char kUnknownPath[] = "?\\?";

}  // namespace

void Win32Process::Exit(int code) {
  std::fflush(nullptr);
  ExitProcess(static_cast<UINT>(code));
}

std::string Win32Process::ProgramPath() {
  // Long paths exceed MAX_PATH; grow until the whole name fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return kUnknownPath;
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    if (path.size() >= 32768) return kUnknownPath;
    path.resize(path.size() * 2);
  }
  return GbkPath(path);
}

bool Win32Process::SetCurrentDirectory(std::string_view path) {
  std::wstring wide = Wide(path);
  return SetCurrentDirectoryW(wide.c_str()) != 0;
}

std::uint32_t Win32Process::Id() {
  return GetCurrentProcessId();
}

}  // namespace marvane::os::win32
