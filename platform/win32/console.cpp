#include "platform/win32/console.h"

#include "platform/win32/windows_api.h"

#include <algorithm>
#include <string>

#include "platform/win32/codec.h"
#include "platform/win32/dialogs.h"

namespace marvane::os::win32 {
namespace {

// Older consoles refuse a single write much larger than this many characters.
constexpr std::size_t kConsolePiece = 8192;
constexpr wchar_t kLineEnd[] = L"\r\n";

bool WriteToConsole(HANDLE console, std::wstring_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    const auto piece = static_cast<DWORD>(std::min(text.size(), kConsolePiece));
    if (!WriteConsoleW(console, text.data(), piece, &written, nullptr) || written == 0)
      return false;
    text.remove_prefix(written);
  }
  return true;
}

bool WriteToFile(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const auto piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), MAXDWORD));
    if (!WriteFile(file, bytes.data(), piece, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

UINT RedirectedCodePage() {
  const UINT console = GetConsoleOutputCP();
  return console != 0 ? console : GetOEMCP();
}

// The system's default character for what the code page lacks; the UTF code pages take no
// default character and lack nothing.
std::string Encode(std::wstring_view text, UINT code_page) {
  const int in = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(code_page, 0, text.data(), in, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string bytes(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(code_page, 0, text.data(), in, bytes.data(), n, nullptr, nullptr);
  return bytes;
}

}  // namespace

bool WriteStandardLine(StandardStream stream, std::string_view gbk) {
  HANDLE handle =
      GetStdHandle(stream == StandardStream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  const std::wstring line = Wide(gbk) + kLineEnd;
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) return WriteToConsole(handle, line);
  return WriteToFile(handle, Encode(line, RedirectedCodePage()));
}

// Here rather than beside Win32Dialogs, so that a console program takes no window function in.
int ConsoleDialogs::ShowMessageBox(const MessageBoxRequest& request) {
  std::string line = "[";
  line += request.caption;
  line += "] ";
  line += request.text;
  WriteStandardLine(StandardStream::kError, line);
  return IDOK;
}

}  // namespace marvane::os::win32
