#include <string>

#include "platform/win32/window_system.h"

namespace marvane::os::win32 {

WindowHandle Win32WindowSystem::CreateLabel(const LabelArgs& args) {
  if (!RegisterOwnClasses()) return 0;
  ChildStyle style;
  AddBorderStyle(args.border, &style.style, &style.ex_style);
  auto record = std::make_unique<Win32Window>();
  record->kind = Win32Window::Kind::kLabel;
  return ToHandle(CreateChild(kLabelClass, args, args.caption, style, std::move(record)));
}

// The background and text colour come from the parent, as for the system's static controls.
void Win32WindowSystem::PaintLabel(HWND hwnd, Win32Window* record) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC,
                                                     reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(hwnd)));
  FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));

  int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
  int got = GetWindowTextW(hwnd, text.data(), length + 1);
  HGDIOBJ font = record->font ? record->font : GetStockObject(DEFAULT_GUI_FONT);
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  DrawTextW(dc, text.c_str(), got, &client, DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc, old);
  EndPaint(hwnd, &paint);
}

}  // namespace marvane::os::win32
