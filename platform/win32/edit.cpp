#include "platform/win32/codec.h"
#include "platform/win32/colors.h"
#include "platform/win32/window_system.h"

namespace marvane::os::win32 {
namespace {

// The control counts in UTF-16 units; the runtime counts GBK bytes.
WPARAM WideOffset(std::string_view text, std::int32_t bytes) {
  if (bytes <= 0) return 0;
  std::size_t n = static_cast<std::size_t>(bytes) < text.size() ? bytes : text.size();
  return Wide(text.substr(0, n)).size();
}

// A single-line control too low for one line of its font is made high enough.
void FitOneLine(HWND hwnd) {
  HDC dc = GetDC(hwnd);
  if (!dc) return;
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics;
  bool measured = GetTextMetricsW(dc, &metrics) != 0;
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  RECT client, outer;
  if (!measured || !GetClientRect(hwnd, &client) || !GetWindowRect(hwnd, &outer)) return;
  LONG missing = metrics.tmHeight - (client.bottom - client.top);
  if (missing <= 0) return;
  SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + missing,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

WindowHandle Win32WindowSystem::CreateEdit(const EditArgs& args) {
  ChildStyle style;
  if (!args.hide_selection) style.style |= ES_NOHIDESEL;
  if (args.multi_line) {
    // Never word-wrapped: wrapping a long line costs the control quadratic time (minutes for a
    // 100k-character line), while an unwrapped line scrolls sideways at no such cost.
    style.style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_AUTOHSCROLL;
  } else {
    style.style |= ES_AUTOHSCROLL;
  }
  if (args.horizontal_scroll) style.style |= WS_HSCROLL;
  if (args.vertical_scroll) style.style |= WS_VSCROLL;
  if (args.align == HAlign::kCenter) style.style |= ES_CENTER;
  if (args.align == HAlign::kRight) style.style |= ES_RIGHT;
  if (args.input == EditInput::kReadOnly) style.style |= ES_READONLY;
  if (args.input == EditInput::kPassword) style.style |= ES_PASSWORD;
  if (args.case_conversion == CaseConversion::kLower) style.style |= ES_LOWERCASE;
  if (args.case_conversion == CaseConversion::kUpper) style.style |= ES_UPPERCASE;
  AddBorderStyle(args.border, &style.style, &style.ex_style);

  auto record = std::make_unique<Win32Window>();
  record->kind = Win32Window::Kind::kEdit;
  SetColors(record.get(), args.text_color, args.background);
  // Created empty: the text goes in once the length limit is lifted.
  HWND hwnd = CreateChild(L"EDIT", args, {}, style, std::move(record));
  if (!hwnd) return 0;

  if (!args.multi_line) FitOneLine(hwnd);
  // 0 lifts the control's small default limit to its largest.
  SendMessageW(hwnd, EM_SETLIMITTEXT, args.max_length, 0);
  if (args.input == EditInput::kPassword) {
    SendMessageW(hwnd, EM_SETPASSWORDCHAR, static_cast<WPARAM>(args.password_char), 0);
  }
  std::wstring text = Wide(args.text);
  setting_text_ = true;  // a new control's text is no change
  SetWindowTextW(hwnd, text.c_str());
  setting_text_ = false;
  WPARAM start = WideOffset(args.text, args.selection_start);
  WPARAM end = WideOffset(args.text, args.selection_start + args.selection_length);
  SendMessageW(hwnd, EM_SETSEL, start, static_cast<LPARAM>(end));
  SendMessageW(hwnd, EM_SCROLLCARET, 0, 0);
  return ToHandle(hwnd);
}

}  // namespace marvane::os::win32
