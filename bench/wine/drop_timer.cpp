// Times a drop on marvane.exe from outside: run under Wine in the program's prefix and desktop
// before the drag, it finds the window, says it is watching, then looks every 10 ms until the
// status bar shows the expected count, the list box holds the expected list's length and the window
// answers a message. Looking from inside one process keeps each look to a few milliseconds;
// starting a process per look costs a hundred or more under Wine.
//
//   drop_timer <out-dir> <title> <count> <expected-list> <timeout-ms>
//
// <expected-list> is the MAC list as saved (GBK, CR LF, capitals as the list box gives them back).
// Writes to <out-dir>:
//   timer-ready.txt   the list box's screen rectangle ("left top width height") once watching
//   timer-result.txt  "done <t>", "count <t>", "list <t>" (the first time all three held, the
//                     status bar showed the count, the list box held the expected length) and
//                     "text same" or "text differs at <n>" (the list box's whole text, read once
//                     after done); or "timeout" with what was seen last. Times are Unix seconds
//                     read from the system clock, which under Wine is the Unix one.
// Exit code 0 when done and the text is the same, 1 otherwise, 2 for a usage error.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/windows_api.h"
#include "tests/support/win32/unix_time.h"
#include "tests/support/win32/window_search.h"

// After windows.h, which it needs.
#include <shellapi.h>

namespace {

// How long one look may wait for the busy program before the next try.
constexpr UINT kLookTimeoutMs = 500;
constexpr DWORD kPollMs = 10;

using marvane::testing::UnixNow;

std::string Seconds(double t) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6f", t);
  return buffer;
}

void WriteText(const std::wstring& path, const std::string& text) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);
}

bool ReadFileBytes(const std::wstring& path, std::string* bytes) {
  HANDLE h =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  bool ok = GetFileSizeEx(h, &size) != 0;
  if (ok) {
    bytes->assign(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    ok = bytes->empty() ||
         (ReadFile(h, bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr) &&
          got == bytes->size());
  }
  CloseHandle(h);
  return ok;
}

std::wstring FromGbk(const std::string& bytes) {
  if (bytes.empty()) return {};
  int n = MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
  return wide;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

HWND FindTop(const std::wstring& title) {
  HWND found = nullptr;
  marvane::testing::ForEachTopWindow([&](HWND hwnd) {
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    if (!IsWindowVisible(hwnd) || title != text) return true;
    found = hwnd;
    return false;
  });
  return found;
}

// The first child (children of children included) of the class.
HWND FirstChild(HWND parent, const std::wstring& child_class) {
  HWND found = nullptr;
  marvane::testing::ForEachChildWindow(parent, [&](HWND hwnd) {
    if (_wcsicmp(ClassOf(hwnd).c_str(), child_class.c_str()) != 0) return true;
    found = hwnd;
    return false;
  });
  return found;
}

// -1 when the program did not answer within the look's time.
LONG_PTR TextLength(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kLookTimeoutMs, &length)) {
    return -1;
  }
  return static_cast<LONG_PTR>(length);
}

// A control's text through WM_GETTEXT, which the system carries across processes; a status bar
// gives its part 0.
bool TextOf(HWND hwnd, std::wstring* text, UINT timeout) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, timeout, &length)) {
    return false;
  }
  text->assign(length + 1, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text->size(), reinterpret_cast<LPARAM>(text->data()),
                           SMTO_NORMAL, timeout, &got)) {
    return false;
  }
  text->resize(got);
  return true;
}

bool Answers(HWND hwnd) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, kLookTimeoutMs, &ignored) != 0;
}

std::string RectOf(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top) + "\n";
}

int Run(const std::wstring& out_dir, const std::wstring& title, const std::wstring& count,
        const std::wstring& list_path, DWORD timeout) {
  std::string expected_bytes;
  if (!ReadFileBytes(list_path, &expected_bytes)) {
    std::fprintf(stderr, "drop_timer: cannot read the expected list\n");
    return 2;
  }
  const std::wstring expected = FromGbk(expected_bytes);
  const std::wstring status_want = L" \u5171 " + count + L" \u6761";
  const std::wstring result_path = out_dir + L"\\timer-result.txt";

  DWORD start = GetTickCount();
  auto timed_out = [&] { return GetTickCount() - start >= timeout; };
  HWND top = nullptr;
  while (!(top = FindTop(title))) {
    if (timed_out()) {
      WriteText(result_path, "timeout\nno window\n");
      return 1;
    }
    Sleep(50);
  }
  HWND edit = FirstChild(top, L"Edit");
  HWND status = FirstChild(top, L"msctls_statusbar32");
  if (!edit || !status) {
    WriteText(result_path, "timeout\nno list box or status bar\n");
    return 1;
  }
  WriteText(out_dir + L"\\timer-ready.txt", RectOf(edit));

  double count_at = 0;
  double list_at = 0;
  std::wstring status_seen;
  LONG_PTR length_seen = -1;
  for (;;) {
    std::wstring text;
    if (TextOf(status, &text, kLookTimeoutMs)) {
      status_seen = text;
      if (count_at == 0 && text == status_want) count_at = UnixNow();
    }
    if (LONG_PTR length = TextLength(edit); length >= 0) {
      length_seen = length;
      if (list_at == 0 && static_cast<std::size_t>(length) == expected.size()) list_at = UnixNow();
    }
    bool both = status_seen == status_want && length_seen >= 0 &&
                static_cast<std::size_t>(length_seen) == expected.size();
    if (both && Answers(top)) break;
    if (timed_out()) {
      WriteText(result_path, "timeout\nstatus length " + std::to_string(status_seen.size()) +
                                 "\nlist length " + std::to_string(length_seen) + " of " +
                                 std::to_string(expected.size()) + "\n");
      return 1;
    }
    Sleep(kPollMs);
  }
  double done_at = UnixNow();

  // Not timed: the whole text, to be sure the length matched the right list.
  std::wstring shown;
  std::string verdict = "text same";
  if (!TextOf(edit, &shown, 60000)) {
    verdict = "text unread";
  } else if (shown != expected) {
    std::size_t at = 0;
    while (at < shown.size() && at < expected.size() && shown[at] == expected[at])
      ++at;
    verdict = "text differs at " + std::to_string(at);
  }
  WriteText(result_path, "done " + Seconds(done_at) + "\ncount " + Seconds(count_at) + "\nlist " +
                             Seconds(list_at) + "\n" + verdict + "\n");
  return verdict == "text same" ? 0 : 1;
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc != 6) {
    std::fprintf(stderr,
                 "usage: drop_timer <out-dir> <title> <count> <expected-list> <timeout-ms>\n");
    return 2;
  }
  wchar_t* end = nullptr;
  unsigned long timeout = wcstoul(argv[5], &end, 10);
  if (end == argv[5] || *end != L'\0') return 2;
  return Run(argv[1], argv[2], argv[3], argv[4], static_cast<DWORD>(timeout));
}
