#include "platform/win32/window_system.h"

namespace marvane::os::win32 {
namespace {

constexpr UINT kCaretBlinkTimer = 0x0118;

// Painting, the caret's blink and a mouse that has not moved are no user activity: they must not
// restart idle processing, or it would never end.
class ActivityFilter {
 public:
  bool IsActivity(const MSG& msg) {
    if (msg.message == WM_PAINT || msg.message == kCaretBlinkTimer) return false;
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
      bool same =
          msg.message == last_message_ && msg.pt.x == last_point_.x && msg.pt.y == last_point_.y;
      last_message_ = msg.message;
      last_point_ = msg.pt;
      return !same;
    }
    return true;
  }

 private:
  UINT last_message_ = 0;
  POINT last_point_{-1, -1};
};

}  // namespace

void Win32WindowSystem::RunMessageLoop(const std::function<bool(int count)>& idle) {
  ActivityFilter filter;
  bool idling = static_cast<bool>(idle);
  int count = 0;
  MSG msg;
  for (;;) {
    while (idling && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!idle(count++)) idling = false;
    }
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) return;
    Deliver(msg);
    if (idle && filter.IsActivity(msg)) {
      idling = true;
      count = 0;
    }
  }
}

void Win32WindowSystem::ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Taking the quit message clears it: post it again so the loop still ends.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Deliver(msg);
  }
}

void Win32WindowSystem::Deliver(MSG& msg) {
  // Keyboard navigation (Tab, Enter, arrows) among the controls of our top-level windows.
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  Win32Window* record = root ? Find(root) : nullptr;
  bool handled =
      record && record->kind == Win32Window::Kind::kTopLevel && IsDialogMessageW(root, &msg);
  if (!handled) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Win32WindowSystem::PostQuit(int code) {
  PostQuitMessage(code);
}

void Win32WindowSystem::SendEndRequest(WindowHandle owner, int code) {
  SendMessageW(ToHwnd(owner), kEndRequestMessage, static_cast<WPARAM>(static_cast<INT_PTR>(code)),
               0);
}

std::uint32_t Win32WindowSystem::TickCount() {
  return GetTickCount();
}

}  // namespace marvane::os::win32
