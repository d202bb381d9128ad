#include <vector>

#include "platform/win32/codec.h"
#include "platform/win32/dpi.h"
#include "platform/win32/icon.h"
#include "platform/win32/window_system.h"

namespace marvane::os::win32 {

WindowHandle Win32WindowSystem::CreateTopLevel(const TopLevelArgs& args) {
  if (!RegisterOwnClasses()) return 0;
  DWORD style = WS_CLIPCHILDREN;
  DWORD ex_style = 0;
  if (args.title_bar) {
    style |= WS_CAPTION;
    if (args.system_menu) style |= WS_SYSMENU;
  } else {
    style |= WS_POPUP;
  }
  if (args.minimize_box) style |= WS_MINIMIZEBOX;
  if (args.maximize_box) style |= WS_MAXIMIZEBOX;
  if (args.sizing_frame) style |= WS_THICKFRAME;
  if (args.tool_window) ex_style |= WS_EX_TOOLWINDOW;
  if (args.client_edge) ex_style |= WS_EX_CLIENTEDGE;
  if (args.topmost) ex_style |= WS_EX_TOPMOST;

  auto record = std::make_unique<Win32Window>();
  record->kind = Win32Window::Kind::kTopLevel;
  if (!IsDefaultColor(args.background)) {
    record->background = args.background & 0xFFFFFF;
    record->brush = CreateSolidBrush(record->background);
  }
  // Made for the system DPI first; the monitor it lands on may want another.
  UINT dpi = SystemDpi();
  Rect r = Scale(args.rect, dpi);
  std::wstring caption = Wide(args.caption);
  HWND hwnd = CreateWindowExW(ex_style, kTopLevelClass, caption.c_str(), style, r.left, r.top,
                              r.width, r.height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd) return 0;
  Win32Window* kept = record.get();
  windows_[hwnd] = std::move(record);
  kept->logical = args.rect;
  kept->dpi = DpiOf(hwnd);
  if (kept->dpi != dpi) {
    r = Scale(args.rect, kept->dpi);
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  kept->gui_font = CreateGuiFont(kept->dpi);
  kept->icon_file = args.icon;
  SetIcons(hwnd, kept);
  if (!args.movable) {
    if (HMENU menu = GetSystemMenu(hwnd, FALSE)) DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
  }
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(kept->gui_font), FALSE);
  return ToHandle(hwnd);
}

void Win32WindowSystem::SetIcons(HWND top, Win32Window* record) {
  if (record->icon_file.empty()) return;
  const HICON icons[2] = {
      IconFromFile(record->icon_file, MetricForDpi(SM_CXICON, record->dpi),
                   MetricForDpi(SM_CYICON, record->dpi)),
      IconFromFile(record->icon_file, MetricForDpi(SM_CXSMICON, record->dpi),
                   MetricForDpi(SM_CYSMICON, record->dpi)),
  };
  const WPARAM kinds[2] = {ICON_BIG, ICON_SMALL};
  HICON* kept[2] = {&record->big_icon, &record->small_icon};
  for (int i = 0; i < 2; ++i) {
    if (!icons[i]) continue;
    // The window lets go of the old icon before it is destroyed.
    SendMessageW(top, WM_SETICON, kinds[i], reinterpret_cast<LPARAM>(icons[i]));
    if (*kept[i]) DestroyIcon(*kept[i]);
    *kept[i] = icons[i];
  }
}

void Win32WindowSystem::ChangeDpi(HWND top, Win32Window* record, UINT dpi, const RECT* suggested) {
  if (dpi == record->dpi && !suggested) return;
  record->dpi = dpi;
  HFONT old_font = record->gui_font;
  record->gui_font = CreateGuiFont(dpi);
  if (suggested) {
    SetWindowPos(top, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SendMessageW(top, WM_SETFONT, reinterpret_cast<WPARAM>(record->gui_font), FALSE);
  std::vector<HWND> controls;
  for (const auto& [hwnd, control] : windows_) {
    if (hwnd != top && GetAncestor(hwnd, GA_ROOT) == top) controls.push_back(hwnd);
  }
  for (HWND hwnd : controls) {
    Win32Window* control = Find(hwnd);
    if (!control) continue;
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(record->gui_font), TRUE);
    Rect r = Scale(control->logical, dpi);
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (control->kind == Win32Window::Kind::kComboBox) AdjustItemHeight(hwnd, control);
    if (control->kind == Win32Window::Kind::kStatusBar) PlaceParts(hwnd, control);
  }
  if (old_font) DeleteObject(old_font);
  SetIcons(top, record);
  LayOutStatusBars(top);
  InvalidateRect(top, nullptr, TRUE);
}

// A hidden window of its own class: the mailbox through which another thread's end request
// reaches the GUI thread.
WindowHandle Win32WindowSystem::CreateHiddenOwner() {
  if (!RegisterOwnClasses()) return 0;
  auto record = std::make_unique<Win32Window>();
  record->kind = Win32Window::Kind::kOwner;
  HWND hwnd = CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
  if (!hwnd) return 0;
  windows_[hwnd] = std::move(record);
  return ToHandle(hwnd);
}

}  // namespace marvane::os::win32
