#include "platform/win32/command_line.h"

#include "platform/win32/windows_api.h"

// After windows.h, which it needs.
#include <shellapi.h>

namespace marvane::os::win32 {

std::vector<std::wstring> CommandLineArguments() {
  std::vector<std::wstring> arguments;
  int count = 0;
  LPWSTR* split = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!split) return arguments;
  for (int i = 1; i < count; ++i)
    arguments.emplace_back(split[i]);
  LocalFree(split);
  return arguments;
}

std::wstring FullPath(std::wstring_view path) {
  const std::wstring given(path);
  std::wstring full(MAX_PATH, L'\0');
  // Long paths exceed MAX_PATH; the system says how much room the whole path needs.
  for (;;) {
    DWORD length =
        GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return given;
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);
  }
}

}  // namespace marvane::os::win32
