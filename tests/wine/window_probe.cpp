// Looks at another program's windows from outside, as the end-to-end tests need: run under Wine in
// the same prefix (and desktop) as the program. Each call does one thing and writes what it found
// to <out-file> in UTF-8 (the starter's standard output is not a reliable channel under Wine).
//
//   window_probe <out-file> wait <class> <title> <timeout-ms>       "left top width height"
//   window_probe <out-file> rect <class> <title> <child-class> <n>  screen rectangle of a control
//   window_probe <out-file> text <class> <title> <child-class> <n>  a control's text ("-": the
//                                                                   window's own; a status bar
//                                                                   gives part 0)
//   window_probe <out-file> combo <class> <title> <n>               "<selection>\t<item text>"
//   window_probe <out-file> msgbox <timeout-ms>                     "<caption>\n<message>\n"
//   window_probe <out-file> click <class> <title> <caption | #id>   presses a button
//   window_probe <out-file> close <class> <title>                   asks the window to close
//   window_probe <out-file> focus <class> <title>                   "<class>\t<text>" of the
//                                                                   control with the focus
//   window_probe <out-file> clipboard                               the clipboard's text
//
// "-" for a class or title matches any; <n> counts controls of the class from 0, in the order the
// system lists them (children of children included). Exit code 0 when found, 1 when not.
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/windows_api.h"
#include "tests/support/win32/window_search.h"

// After windows.h, which it needs.
#include <shellapi.h>

namespace {

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

std::wstring TitleOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// A control's text through WM_GETTEXT, which the system carries across processes.
std::wstring TextOf(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
    return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 5000, &got);
  text.resize(got);
  return text;
}

bool Matches(const std::wstring& pattern, const std::wstring& value) {
  return pattern == L"-" || pattern == value;
}

HWND FindTop(const std::wstring& window_class, const std::wstring& title) {
  HWND found = nullptr;
  marvane::testing::ForEachTopWindow([&](HWND hwnd) {
    if (!IsWindowVisible(hwnd) || !Matches(window_class, ClassOf(hwnd)) ||
        !Matches(title, TitleOf(hwnd))) {
      return true;
    }
    found = hwnd;
    return false;
  });
  return found;
}

HWND WaitTop(const std::wstring& window_class, const std::wstring& title, DWORD timeout) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND hwnd = FindTop(window_class, title)) return hwnd;
    if (GetTickCount() - start >= timeout) return nullptr;
    Sleep(50);
  }
}

std::vector<HWND> Children(HWND parent, const std::wstring& child_class) {
  std::vector<HWND> found;
  marvane::testing::ForEachChildWindow(parent, [&](HWND hwnd) {
    if (Matches(child_class, ClassOf(hwnd))) found.push_back(hwnd);
    return true;
  });
  return found;
}

HWND Child(HWND parent, const std::wstring& child_class, const std::wstring& index) {
  if (child_class == L"-") return parent;
  std::vector<HWND> all = Children(parent, child_class);
  std::size_t n = std::stoul(index);
  return n < all.size() ? all[n] : nullptr;
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::string RectOf(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top) + "\n";
}

// A message box is a dialog; its message is the static control with the box's text id.
std::string MessageBoxText(HWND box) {
  std::wstring message;
  for (HWND child : Children(box, L"Static")) {
    std::wstring text = TextOf(child);
    if (GetDlgCtrlID(child) == 0xFFFF || text.size() > message.size()) message = text;
  }
  return Utf8(TitleOf(box)) + "\n" + Utf8(message) + "\n";
}

bool Press(HWND top, const std::wstring& which) {
  if (!which.empty() && which[0] == L'#') {
    int id = std::stoi(which.substr(1));
    HWND button = GetDlgItem(top, id);
    if (button) return PostMessageW(button, BM_CLICK, 0, 0) != 0;
    return PostMessageW(top, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0) != 0;
  }
  for (HWND button : Children(top, L"Button")) {
    if (TextOf(button) == which) return PostMessageW(button, BM_CLICK, 0, 0) != 0;
  }
  return false;
}

int Run(const std::vector<std::wstring>& a, std::string* out) {
  const std::wstring& command = a[0];
  if (command == L"msgbox" && a.size() == 2) {
    HWND box = WaitTop(L"#32770", L"-", std::stoul(a[1]));
    if (!box) return 1;
    *out = MessageBoxText(box);
    return 0;
  }
  if (command == L"clipboard" && a.size() == 1) {
    if (!OpenClipboard(nullptr)) return 1;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    auto text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (text) {
      *out = Utf8(text);
      GlobalUnlock(data);
    }
    CloseClipboard();
    return text ? 0 : 1;
  }
  if (a.size() < 3) return 2;
  if (command == L"wait" && a.size() == 4) {
    HWND top = WaitTop(a[1], a[2], std::stoul(a[3]));
    if (!top) return 1;
    *out = RectOf(top);
    return 0;
  }
  HWND top = FindTop(a[1], a[2]);
  if (!top) return 1;
  if (command == L"close") return PostMessageW(top, WM_CLOSE, 0, 0) ? 0 : 1;
  if (command == L"focus") {
    // Another thread's focus is only known through its input state.
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) || !info.hwndFocus) {
      return 1;
    }
    *out = Utf8(ClassOf(info.hwndFocus)) + "\t" + Utf8(TextOf(info.hwndFocus)) + "\n";
    return 0;
  }
  if (command == L"click" && a.size() == 4) return Press(top, a[3]) ? 0 : 1;
  if (command == L"combo" && a.size() == 4) {
    HWND combo = Child(top, L"ComboBox", a[3]);
    if (!combo) return 1;
    auto index = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    std::wstring item;
    if (index >= 0) {
      auto length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
      item.assign(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
      length = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(item.data()));
      item.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    }
    *out = std::to_string(index) + "\t" + Utf8(item) + "\n";
    return 0;
  }
  if ((command == L"rect" || command == L"text") && a.size() == 5) {
    HWND control = Child(top, a[3], a[4]);
    if (!control) return 1;
    *out = command == L"rect" ? RectOf(control) : Utf8(TextOf(control));
    return 0;
  }
  return 2;
}

}  // namespace

int main() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (count < 3) {
    std::fprintf(stderr, "usage: see window_probe.cpp\n");
    return 2;
  }
  std::vector<std::wstring> command(args + 2, args + count);
  std::string out;
  int status = 2;
  try {
    status = Run(command, &out);
  } catch (const std::exception&) {  // a number that is none
    status = 2;
  }
  HANDLE h = CreateFileW(args[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(h, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
    CloseHandle(h);
  }
  return status;
}
