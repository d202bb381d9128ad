#include "platform/win32/window_system.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "platform/cursor_data.h"
#include "platform/win32/codec.h"
#include "platform/win32/dpi.h"
#include "platform/win32/drop_target.h"

namespace marvane::os::win32 {

Win32Window::~Win32Window() {
  if (brush) DeleteObject(brush);
  if (big_icon) DestroyIcon(big_icon);
  if (small_icon) DestroyIcon(small_icon);
  if (gui_font) DeleteObject(gui_font);
  if (drop_target) {
    drop_target->Disconnect();
    drop_target->Release();
  }
}

// Windows still open point back at this object; close them while it still exists.
Win32WindowSystem::~Win32WindowSystem() {
  events_ = nullptr;
  std::vector<HWND> roots;
  for (const auto& [hwnd, record] : windows_) {
    if (record->kind == Win32Window::Kind::kTopLevel || record->kind == Win32Window::Kind::kOwner ||
        !GetParent(hwnd)) {
      roots.push_back(hwnd);
    }
  }
  for (HWND hwnd : roots)
    DestroyWindow(hwnd);
  for (auto& [hwnd, record] : windows_) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  }
  if (ole_initialized_) OleUninitialize();
}

Win32Window* Win32WindowSystem::Find(HWND hwnd) {
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : it->second.get();
}

Win32Window* Win32WindowSystem::FindControl(HWND hwnd, HWND* control) {
  auto inner = inner_.find(hwnd);
  if (inner != inner_.end()) hwnd = inner->second;
  *control = hwnd;
  return Find(hwnd);
}

void Win32WindowSystem::Forget(HWND hwnd) {
  windows_.erase(hwnd);
  std::erase_if(inner_, [hwnd](const auto& entry) { return entry.second == hwnd; });
  std::erase_if(tasks_, [hwnd](const PostedTask& task) { return task.hwnd == hwnd; });
}

Win32Window* Win32WindowSystem::RootOf(HWND hwnd) {
  Win32Window* root = Find(GetAncestor(hwnd, GA_ROOT));
  return root && root->kind == Win32Window::Kind::kTopLevel ? root : nullptr;
}

UINT Win32WindowSystem::DpiFor(HWND hwnd) {
  Win32Window* root = RootOf(hwnd);
  return root ? root->dpi : DpiOf(hwnd);
}

void AddBorderStyle(Border border, DWORD* style, DWORD* ex_style) {
  switch (border) {
    case Border::kNone:
      break;
    case Border::kClientEdge:
      *ex_style |= WS_EX_CLIENTEDGE;
      break;
    case Border::kDialogFrame:
      *ex_style |= WS_EX_DLGMODALFRAME;
      break;
    case Border::kStaticEdge:
      *ex_style |= WS_EX_STATICEDGE;
      break;
    case Border::kClientEdgeAndDialogFrame:
      *ex_style |= WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME;
      break;
    case Border::kPlain:
      *style |= WS_BORDER;
      break;
  }
}

HWND Win32WindowSystem::CreateChild(const wchar_t* window_class, const ControlBase& base,
                                    std::string_view text, ChildStyle style,
                                    std::unique_ptr<Win32Window> record) {
  if (!base.parent || !IsWindow(ToHwnd(base.parent))) return nullptr;
  // Hidden at first: the runtime shows each component whose visible flag is set.
  DWORD window_style = WS_CHILD | WS_CLIPSIBLINGS | style.style;
  if (base.disabled) window_style |= WS_DISABLED;
  if (base.tab_stop) window_style |= WS_TABSTOP;
  std::wstring caption = Wide(text);
  Win32Window* root = RootOf(ToHwnd(base.parent));
  const Rect r = Scale(base.rect, root ? root->dpi : DpiOf(ToHwnd(base.parent)));
  HWND hwnd = CreateWindowExW(style.ex_style, window_class, caption.c_str(), window_style, r.left,
                              r.top, r.width, r.height, ToHwnd(base.parent),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(base.id)),
                              GetModuleHandleW(nullptr), this);
  if (!hwnd) return nullptr;
  bool own_class = record->kind == Win32Window::Kind::kLabel;
  record->logical = base.rect;
  windows_[hwnd] = std::move(record);
  if (!own_class) {
    SetWindowSubclass(hwnd, ControlSubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
  }
  HGDIOBJ font = root && root->gui_font ? root->gui_font : GetStockObject(DEFAULT_GUI_FONT);
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return hwnd;
}

void Win32WindowSystem::Destroy(WindowHandle window) {
  DestroyWindow(ToHwnd(window));
}

bool Win32WindowSystem::Exists(WindowHandle window) {
  return window != 0 && IsWindow(ToHwnd(window));
}

void Win32WindowSystem::SetContainer(WindowHandle control, WindowHandle container) {
  HWND child = ToHwnd(control);
  HWND parent = ToHwnd(container);
  if (!IsWindow(child) || !IsWindow(parent) || GetParent(child) == parent) return;
  Rect rect = GetRect(control);
  SetParent(child, parent);
  const UINT dpi = DpiFor(parent);
  SetWindowPos(child, nullptr, Scale(rect.left, dpi), Scale(rect.top, dpi), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (Win32Window* record = Find(child)) {
    record->logical.left = rect.left;
    record->logical.top = rect.top;
  }
  // A group box that holds controls must not paint over them, and tabbing must reach them.
  SetWindowLongPtrW(parent, GWL_STYLE, GetWindowLongPtrW(parent, GWL_STYLE) | WS_CLIPCHILDREN);
  SetWindowLongPtrW(parent, GWL_EXSTYLE,
                    GetWindowLongPtrW(parent, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
}

void Win32WindowSystem::Show(WindowHandle window, ShowMode mode) {
  HWND hwnd = ToHwnd(window);
  bool child = (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) != 0;
  int command = SW_HIDE;
  switch (mode) {
    case ShowMode::kHide:
      break;
    case ShowMode::kNormal:
      command = child ? SW_SHOW : SW_SHOWNORMAL;
      break;
    case ShowMode::kMinimized:
      command = SW_SHOWMINIMIZED;
      break;
    case ShowMode::kMaximized:
      command = SW_SHOWMAXIMIZED;
      break;
  }
  ShowWindow(hwnd, command);
  if (child || command == SW_HIDE) return;
  // Where activation left the focus with the window itself, the first tab stop takes it.
  if (!IsChild(hwnd, ::GetFocus())) {
    if (HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE)) SetFocus(first);
  }
  UpdateWindow(hwnd);
}

// The window's own visible flag, not whether its parents show it.
bool Win32WindowSystem::IsVisible(WindowHandle window) {
  HWND hwnd = ToHwnd(window);
  return IsWindow(hwnd) && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32WindowSystem::Enable(WindowHandle window, bool enabled) {
  EnableWindow(ToHwnd(window), enabled ? TRUE : FALSE);
}

bool Win32WindowSystem::IsEnabled(WindowHandle window) {
  return IsWindowEnabled(ToHwnd(window)) != 0;
}

Rect Win32WindowSystem::GetRect(WindowHandle window) {
  HWND hwnd = ToHwnd(window);
  RECT r;
  if (!GetWindowRect(hwnd, &r)) return {};
  if (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) {
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  }
  return Unscale(Rect{r.left, r.top, r.right - r.left, r.bottom - r.top}, DpiFor(hwnd));
}

void Win32WindowSystem::SetRect(WindowHandle window, const Rect& rect) {
  HWND hwnd = ToHwnd(window);
  std::int32_t height = rect.height;
  // A drop-down combo box's height includes its list.
  Win32Window* record = Find(hwnd);
  if (record && record->kind == Win32Window::Kind::kComboBox &&
      record->combo_kind != ComboKind::kSimple && height < kComboListMinHeight) {
    height = kComboListMinHeight;
  }
  const Rect logical{rect.left, rect.top, rect.width, height};
  if (record) record->logical = logical;
  const Rect r = Scale(logical, DpiFor(hwnd));
  SetWindowPos(hwnd, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

WindowHandle Win32WindowSystem::GetFocus() {
  HWND control = nullptr;
  FindControl(::GetFocus(), &control);
  return ToHandle(control);
}

void Win32WindowSystem::ScreenSize(std::int32_t* width, std::int32_t* height) {
  const UINT dpi = SystemDpi();
  *width = Unscale(GetSystemMetrics(SM_CXSCREEN), dpi);
  *height = Unscale(GetSystemMetrics(SM_CYSCREEN), dpi);
}

bool Win32WindowSystem::SetCursor(WindowHandle window, std::string_view cursor) {
  Win32Window* record = Find(ToHwnd(window));
  std::optional<std::uint32_t> named = cursor::Named(cursor);
  if (!record) return false;
  record->cursor = nullptr;
  if (!named) return false;
  if (*named == cursor::kDefault) return true;
  record->cursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(*named));
  return record->cursor != nullptr;
}

void Win32WindowSystem::SetText(WindowHandle window, std::string_view text) {
  HWND hwnd = ToHwnd(window);
  Win32Window* record = Find(hwnd);
  if (record && record->kind == Win32Window::Kind::kEdit) {
    record->pending_text = std::string(text);
    if (handlers_running_ == 0) FlushText(hwnd, record);
    // A multi-line edit control sends no EN_CHANGE for a text set from outside; its parent hears
    // of it as of the user's edits.
    SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), EN_CHANGE),
                 reinterpret_cast<LPARAM>(hwnd));
    return;
  }
  std::wstring wide = Wide(text);
  SetWindowTextW(hwnd, wide.c_str());
}

void Win32WindowSystem::FlushText(HWND hwnd, Win32Window* record) {
  if (!record->pending_text) return;
  std::wstring wide = Wide(*record->pending_text);
  record->pending_text.reset();
  setting_text_ = true;
  SetWindowTextW(hwnd, wide.c_str());
  setting_text_ = false;
}

void Win32WindowSystem::FlushTexts() {
  std::vector<HWND> edits;
  for (const auto& [hwnd, record] : windows_) {
    if (record->pending_text) edits.push_back(hwnd);
  }
  for (HWND hwnd : edits) {
    if (Win32Window* record = Find(hwnd)) FlushText(hwnd, record);
  }
}

std::string Win32WindowSystem::GetText(WindowHandle window) {
  HWND hwnd = ToHwnd(window);
  Win32Window* record = Find(hwnd);
  // What the control makes of it (its case conversion) is the content.
  if (record) FlushText(hwnd, record);
  if (record && record->kind == Win32Window::Kind::kComboBox &&
      record->combo_kind == ComboKind::kDropDownList) {
    LRESULT index = SendMessageW(hwnd, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return {};
    LRESULT length = SendMessageW(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
    length = SendMessageW(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(item.data()));
    item.resize(length == CB_ERR ? 0 : static_cast<std::size_t>(length));
    return Gbk(item);
  }
  int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return Gbk(text);
}

std::uint32_t Win32WindowSystem::RegisterFormat(std::string_view name) {
  std::wstring wide = Wide(name);
  return RegisterClipboardFormatW(wide.c_str());
}

Win32WindowSystem::HandlerScope::HandlerScope(Win32WindowSystem* system)
    : system_(system), previous_(::SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {
  ++system_->handlers_running_;
}

Win32WindowSystem::HandlerScope::~HandlerScope() {
  if (--system_->handlers_running_ == 0) system_->FlushTexts();
  ::SetCursor(previous_);
}

void Win32WindowSystem::PostTask(WindowHandle window, std::function<void()> task) {
  HWND hwnd = ToHwnd(window);
  if (!Find(hwnd) || !task) return;
  tasks_.push_back({hwnd, std::move(task), in_drop_});
  if (!PostMessageW(hwnd, kRunTaskMessage, 0, 0)) tasks_.pop_back();
}

void Win32WindowSystem::RunTask(HWND hwnd) {
  auto it = std::find_if(tasks_.begin(), tasks_.end(),
                         [hwnd](const PostedTask& task) { return task.hwnd == hwnd; });
  if (it == tasks_.end()) return;
  PostedTask task = std::move(*it);
  tasks_.erase(it);
  if (task.after_drop) {
    LetDragSourceGo();
    if (!Find(hwnd)) return;
  }
  HandlerScope scope(this);
  task.run();
}

}  // namespace marvane::os::win32
