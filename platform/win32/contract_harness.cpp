#include "platform/win32/window_system.h"

#include <commctrl.h>

#include "platform/cursor_data.h"
#include "platform/win32/codec.h"
#include "platform/window_system_contract.h"

namespace marvane::os::contract {
namespace {

constexpr std::uint32_t kNoStandardCursor = 0xFFFFFFFF;

class Win32Harness final : public Harness {
 public:
  WindowSystem& system() override { return system_; }
  std::vector<std::string> StatusTexts(WindowHandle bar) override {
    HWND hwnd = win32::ToHwnd(bar);
    auto parts = static_cast<int>(SendMessageW(hwnd, SB_GETPARTS, 0, 0));
    std::vector<std::string> texts;
    for (int i = 0; i < parts; ++i) {
      auto length = LOWORD(SendMessageW(hwnd, SB_GETTEXTLENGTHW, i, 0));
      std::wstring text(length + 1u, L'\0');
      SendMessageW(hwnd, SB_GETTEXTW, i, reinterpret_cast<LPARAM>(text.data()));
      text.resize(length);
      texts.push_back(win32::Gbk(text));
    }
    return texts;
  }
  std::uint32_t CursorOver(WindowHandle window) override {
    HWND hwnd = win32::ToHwnd(window);
    HCURSOR before = SetCursor(nullptr);
    SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    HCURSOR shown = GetCursor();
    SetCursor(before);
    if (shown == reinterpret_cast<HCURSOR>(GetClassLongPtrW(hwnd, GCLP_HCURSOR))) {
      return cursor::kDefault;
    }
    for (std::uint32_t number : cursor::kStandard) {
      if (shown == LoadCursorW(nullptr, MAKEINTRESOURCEW(number))) return number;
    }
    return kNoStandardCursor;
  }
  void Type(WindowHandle edit, char character) override {
    HWND hwnd = win32::ToHwnd(edit);
    auto end = static_cast<WPARAM>(GetWindowTextLengthW(hwnd));
    SendMessageW(hwnd, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(hwnd, WM_CHAR, static_cast<WPARAM>(character), 1);
  }

 private:
  win32::Win32WindowSystem system_;
};

}  // namespace

std::unique_ptr<Harness> MakeHarness() {
  return std::make_unique<Win32Harness>();
}

}  // namespace marvane::os::contract
