// Message handling of our own windows and of the subclassed standard controls.
#include "platform/win32/windows_api.h"
// After windows.h, which it needs.
#include <commctrl.h>

#include <vector>

#include "platform/win32/window_system.h"

namespace marvane::os::win32 {
namespace {

using Kind = Win32Window::Kind;

COLORREF BrushColor(HBRUSH brush) {
  LOGBRUSH info{};
  GetObjectW(brush, sizeof info, &info);
  return info.lbColor;
}

}  // namespace

LRESULT CALLBACK OwnWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto system = reinterpret_cast<Win32WindowSystem*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!system) return DefWindowProcW(hwnd, message, wparam, lparam);
  return system->OwnWindowMessage(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK ControlSubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                     UINT_PTR, DWORD_PTR self) {
  return reinterpret_cast<Win32WindowSystem*>(self)->ControlMessage(hwnd, message, wparam, lparam);
}

bool RegisterOwnClasses() {
  static const bool registered = [] {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    // No background brushes: the top-level window and the label paint their own background.
    WNDCLASSEXW top{};
    top.cbSize = sizeof top;
    top.style = CS_DBLCLKS;
    top.lpfnWndProc = OwnWindowProc;
    top.hInstance = instance;
    top.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    top.hCursor = arrow;
    top.lpszClassName = kTopLevelClass;
    WNDCLASSEXW label{};
    label.cbSize = sizeof label;
    label.style = CS_HREDRAW | CS_VREDRAW;
    label.lpfnWndProc = OwnWindowProc;
    label.hInstance = instance;
    label.hCursor = arrow;
    label.lpszClassName = kLabelClass;
    WNDCLASSEXW owner{};
    owner.cbSize = sizeof owner;
    owner.lpfnWndProc = OwnWindowProc;
    owner.hInstance = instance;
    owner.hCursor = arrow;
    owner.lpszClassName = kOwnerClass;
    return RegisterClassExW(&top) != 0 && RegisterClassExW(&label) != 0 &&
           RegisterClassExW(&owner) != 0;
  }();
  return registered;
}

LRESULT Win32WindowSystem::OwnWindowMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Win32Window* record = Find(hwnd);
  if (message == WM_NCDESTROY) {
    // Children have had theirs already, so they are reported before their parent.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    bool known = record != nullptr;
    Forget(hwnd);
    if (known && events_) events_->OnDestroyed(ToHandle(hwnd));
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  if (!record) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_DESTROY) RevokeDrop(hwnd, record);
  if (message == WM_SETCURSOR && CursorMessage(hwnd, record, wparam, lparam)) return TRUE;
  if (message == kRunTaskMessage) {
    RunTask(hwnd);
    return 0;
  }

  switch (record->kind) {
    case Kind::kOwner:
      if (message == kEndRequestMessage) {
        if (events_) events_->OnEndRequest(static_cast<int>(static_cast<INT_PTR>(wparam)));
        return 0;
      }
      break;
    case Kind::kTopLevel: {
      LRESULT result = 0;
      if (ParentMessage(hwnd, message, wparam, lparam, &result)) return result;
      if (FocusMessage(hwnd, record, message, wparam)) return 0;
      if (message == WM_DPICHANGED) {
        ChangeDpi(hwnd, record, HIWORD(wparam), reinterpret_cast<const RECT*>(lparam));
        return 0;
      }
      if (message == WM_ERASEBKGND) {
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(reinterpret_cast<HDC>(wparam), &client, BackgroundOf(hwnd));
        return 1;
      }
      if (message == WM_SIZE) LayOutStatusBars(hwnd);
      break;
    }
    case Kind::kLabel:
      switch (message) {
        case WM_PAINT:
          PaintLabel(hwnd, record);
          return 0;
        case WM_ERASEBKGND:
          return 1;  // painted whole with the text
        case WM_SETFONT:
          record->font = reinterpret_cast<HFONT>(wparam);
          if (LOWORD(lparam)) InvalidateRect(hwnd, nullptr, TRUE);
          return 0;
        case WM_GETFONT:
          return reinterpret_cast<LRESULT>(record->font);
        case WM_SETTEXT: {
          LRESULT result = DefWindowProcW(hwnd, message, wparam, lparam);
          InvalidateRect(hwnd, nullptr, TRUE);
          return result;
        }
        default:
          break;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

LRESULT Win32WindowSystem::ControlMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Win32Window* record = Find(hwnd);
  // Whoever looks at an edit box (painting it, reading it) sees the text it was last given.
  if (record && record->pending_text && message != WM_DESTROY && message != WM_NCDESTROY) {
    FlushText(hwnd, record);
  }
  LRESULT key_result = 0;
  if (record && KeyMessage(hwnd, record, message, wparam, lparam, &key_result)) return key_result;
  switch (message) {
    case kRunTaskMessage:
      RunTask(hwnd);
      return 0;
    case WM_CLOSE:
      // Only a top-level window closes; a control asked to (an edit box does on Escape) stays.
      return 0;
    case WM_NCDESTROY: {
      LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
      RemoveWindowSubclass(hwnd, ControlSubclassProc, 1);
      bool known = record != nullptr;
      Forget(hwnd);
      if (known && events_) events_->OnDestroyed(ToHandle(hwnd));
      return result;
    }
    case WM_DESTROY:
      RevokeDrop(hwnd, record);
      break;
    case WM_SETCURSOR:
      if (record && CursorMessage(hwnd, record, wparam, lparam)) return TRUE;
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
      // A combo box reports its focus through its own notifications (its field takes the focus).
      if (record && record->kind != Kind::kComboBox && events_) {
        events_->OnFocusChanged(ToHandle(hwnd), message == WM_SETFOCUS);
      }
      return result;
    }
    case WM_ERASEBKGND:
      // Its parent clips it out and the control paints only its frame and caption.
      if (record && record->kind == Kind::kGroupBox) {
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(reinterpret_cast<HDC>(wparam), &client, BackgroundOf(hwnd));
        return 1;
      }
      break;
    default:
      if (record && record->kind == Kind::kGroupBox) {
        LRESULT result = 0;
        if (ParentMessage(hwnd, message, wparam, lparam, &result)) return result;
      }
      break;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

bool Win32WindowSystem::ParentMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                      LRESULT* result) {
  switch (message) {
    case WM_COMMAND: {
      HWND control = nullptr;
      Win32Window* child = FindControl(reinterpret_cast<HWND>(lparam), &control);
      if (!lparam || !child) return false;
      WORD code = HIWORD(wparam);
      if (events_ && child->kind == Kind::kButton && code == BN_CLICKED) {
        HandlerScope scope(this);
        events_->OnClicked(ToHandle(control));
      } else if (events_ && child->kind == Kind::kComboBox &&
                 (code == CBN_SETFOCUS || code == CBN_KILLFOCUS)) {
        events_->OnFocusChanged(ToHandle(control), code == CBN_SETFOCUS);
      } else if (events_ && child->kind == Kind::kEdit && code == EN_CHANGE && !setting_text_) {
        HandlerScope scope(this);
        events_->OnContentChanged(ToHandle(control));
      }
      *result = 0;
      return true;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HWND control = nullptr;
      Win32Window* child = FindControl(reinterpret_cast<HWND>(lparam), &control);
      if (!child) return false;
      auto dc = reinterpret_cast<HDC>(wparam);
      HBRUSH brush = child->brush;
      COLORREF background = child->background;
      if (!brush) {
        // Fields keep the system's window colour; everything else shows its container's.
        bool field = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
        brush = field ? GetSysColorBrush(COLOR_WINDOW) : BackgroundOf(hwnd);
        background = BrushColor(brush);
      }
      SetTextColor(dc, child->has_text_color ? child->text_color : GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, background);
      *result = reinterpret_cast<LRESULT>(brush);
      return true;
    }
    default:
      return false;
  }
}

// The brush a container's own background is painted with; a group box without a colour of its
// own shows its parent's.
HBRUSH Win32WindowSystem::BackgroundOf(HWND container) {
  for (HWND hwnd = container; hwnd; hwnd = GetParent(hwnd)) {
    Win32Window* record = Find(hwnd);
    if (!record) break;
    if (record->brush) return record->brush;
    if (record->kind != Kind::kGroupBox) break;
  }
  return GetSysColorBrush(COLOR_BTNFACE);
}

// A docked status bar places itself when told its parent's size changed.
void Win32WindowSystem::LayOutStatusBars(HWND parent) {
  std::vector<HWND> bars;
  for (const auto& [hwnd, record] : windows_) {
    if (record->kind == Kind::kStatusBar && record->dock != Dock::kNone &&
        GetParent(hwnd) == parent) {
      bars.push_back(hwnd);
    }
  }
  for (HWND bar : bars)
    SendMessageW(bar, WM_SIZE, 0, 0);
}

bool Win32WindowSystem::CursorMessage(HWND hwnd, Win32Window* record, WPARAM wparam,
                                      LPARAM lparam) {
  if (!record->cursor || LOWORD(lparam) != HTCLIENT) return false;
  HWND over = nullptr;
  FindControl(reinterpret_cast<HWND>(wparam), &over);
  if (over != hwnd) return false;  // a child with a cursor of its own, or its class's
  ::SetCursor(record->cursor);
  return true;
}

// Like a dialog, the window keeps the control that had the focus when it was deactivated (a
// message box, another program) and gives it back when it is active again; the first tab stop
// stands in for a control that is gone.
bool Win32WindowSystem::FocusMessage(HWND hwnd, Win32Window* record, UINT message, WPARAM wparam) {
  if (message == WM_ACTIVATE && LOWORD(wparam) == WA_INACTIVE) {
    HWND focus = ::GetFocus();
    if (focus && IsChild(hwnd, focus)) record->focus = focus;
    return false;
  }
  bool activated = message == WM_ACTIVATE && !HIWORD(wparam);  // not while minimised
  if (!activated && message != WM_SETFOCUS) return false;
  HWND target = record->focus;
  if (!target || !IsWindow(target) || !IsChild(hwnd, target) || !IsWindowVisible(target) ||
      !IsWindowEnabled(target)) {
    target = GetNextDlgTabItem(hwnd, nullptr, FALSE);
  }
  if (!target) return false;
  SetFocus(target);
  return true;
}

bool Win32WindowSystem::KeyMessage(HWND hwnd, Win32Window* record, UINT message, WPARAM wparam,
                                   LPARAM lparam, LRESULT* result) {
  if (record->kind != Kind::kEdit) return false;
  const auto style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  if (!(style & ES_MULTILINE)) return false;
  // A multi-line edit box closes its parent on Escape when it believes it sits in a dialog.
  if ((message == WM_KEYDOWN || message == WM_CHAR) && wparam == VK_ESCAPE) {
    *result = 0;
    return true;
  }
  // Ctrl+A selects everything, which the system's multi-line edit box does not do by itself; the
  // character the key makes is no input.
  constexpr WPARAM kControlA = 0x01;
  if (message == WM_KEYDOWN && wparam == 'A' && GetKeyState(VK_CONTROL) < 0 &&
      GetKeyState(VK_MENU) >= 0) {
    SendMessageW(hwnd, EM_SETSEL, 0, -1);
    *result = 0;
    return true;
  }
  if (message == WM_CHAR && wparam == kControlA) {
    *result = 0;
    return true;
  }
  // Nothing can be typed into a read-only box: Tab moves on to the next control, and Enter and
  // Escape go to the window as in a dialog. Selecting and copying keep working.
  if (message == WM_GETDLGCODE && (style & ES_READONLY)) {
    *result = DefSubclassProc(hwnd, message, wparam, lparam) & ~(DLGC_WANTTAB | DLGC_WANTALLKEYS);
    return true;
  }
  return false;
}

}  // namespace marvane::os::win32
