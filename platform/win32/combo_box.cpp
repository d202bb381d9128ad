#include "platform/win32/codec.h"
#include "platform/win32/colors.h"
#include "platform/win32/dpi.h"
#include "platform/win32/window_system.h"

namespace marvane::os::win32 {

WindowHandle Win32WindowSystem::CreateComboBox(const ComboBoxArgs& args) {
  ChildStyle style;
  style.style = WS_VSCROLL | CBS_AUTOHSCROLL;
  style.style |= args.kind == ComboKind::kSimple     ? CBS_SIMPLE
                 : args.kind == ComboKind::kDropDown ? CBS_DROPDOWN
                                                     : CBS_DROPDOWNLIST;
  if (args.sorted) style.style |= CBS_SORT;
  ControlBase base = args;
  // The list drops down within the height the control is given.
  if (args.kind != ComboKind::kSimple && base.rect.height < kComboListMinHeight) {
    base.rect.height = kComboListMinHeight;
  }
  auto record = std::make_unique<Win32Window>();
  record->kind = Win32Window::Kind::kComboBox;
  record->combo_kind = args.kind;
  SetColors(record.get(), args.text_color, args.background);
  HWND hwnd = CreateChild(L"COMBOBOX", base, args.text, style, std::move(record));
  if (!hwnd) return 0;

  // The field and the list send their colour messages on behalf of the combo box.
  COMBOBOXINFO parts{};
  parts.cbSize = sizeof parts;
  if (GetComboBoxInfo(hwnd, &parts)) {
    if (parts.hwndItem && parts.hwndItem != hwnd) inner_[parts.hwndItem] = hwnd;
    if (parts.hwndList) inner_[parts.hwndList] = hwnd;
  }
  Win32Window* kept = Find(hwnd);
  kept->item_height_adjust = args.item_height_adjust;
  AdjustItemHeight(hwnd, kept);
  SendMessageW(hwnd, CB_LIMITTEXT, args.max_length, 0);
  for (const std::string& item : args.items) {
    std::wstring wide = Wide(item);
    SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  SetComboSelection(ToHandle(hwnd), args.selection);
  if (args.kind != ComboKind::kDropDownList) {
    std::wstring text = Wide(args.text);
    SetWindowTextW(hwnd, text.c_str());
  }
  return ToHandle(hwnd);
}

// Called once the control has its font, which sets the height of its items.
void Win32WindowSystem::AdjustItemHeight(HWND combo, Win32Window* record) {
  if (record->item_height_adjust == 0) return;
  LRESULT height = SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0);
  LRESULT adjusted = height + Scale(record->item_height_adjust, DpiFor(combo));
  if (height != CB_ERR && adjusted > 0) SendMessageW(combo, CB_SETITEMHEIGHT, 0, adjusted);
}

void Win32WindowSystem::SetComboSelection(WindowHandle combo, std::int32_t index) {
  HWND hwnd = ToHwnd(combo);
  // Past the end, as -1, clears the selection; not every version of the control does so itself.
  LRESULT count = SendMessageW(hwnd, CB_GETCOUNT, 0, 0);
  WPARAM item = index >= 0 && index < count ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1);
  SendMessageW(hwnd, CB_SETCURSEL, item, 0);
}

std::int32_t Win32WindowSystem::GetComboSelection(WindowHandle combo) {
  LRESULT index = SendMessageW(ToHwnd(combo), CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<std::int32_t>(index);
}

}  // namespace marvane::os::win32
