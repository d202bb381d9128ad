#include "platform/win32/codec.h"
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

  auto record = std::make_unique<WindowRecord>();
  record->kind = WindowRecord::Kind::kTopLevel;
  if (!IsDefaultColor(args.background)) {
    record->background = args.background & 0xFFFFFF;
    record->brush = CreateSolidBrush(record->background);
  }
  std::wstring caption = Wide(args.caption);
  HWND hwnd = CreateWindowExW(ex_style, kTopLevelClass, caption.c_str(), style, args.rect.left,
                              args.rect.top, args.rect.width, args.rect.height, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
  if (!hwnd) return 0;
  WindowRecord* kept = record.get();
  windows_[hwnd] = std::move(record);

  if (!args.icon.empty()) {
    kept->big_icon =
        IconFromFile(args.icon, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    kept->small_icon =
        IconFromFile(args.icon, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    if (kept->big_icon) {
      SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(kept->big_icon));
    }
    if (kept->small_icon) {
      SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(kept->small_icon));
    }
  }
  if (!args.movable) {
    if (HMENU menu = GetSystemMenu(hwnd, FALSE)) DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
  }
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return ToHandle(hwnd);
}

// A hidden window of its own class: the mailbox through which another thread's end request
// reaches the GUI thread.
WindowHandle Win32WindowSystem::CreateHiddenOwner() {
  if (!RegisterOwnClasses()) return 0;
  auto record = std::make_unique<WindowRecord>();
  record->kind = WindowRecord::Kind::kOwner;
  HWND hwnd = CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
  if (!hwnd) return 0;
  windows_[hwnd] = std::move(record);
  return ToHandle(hwnd);
}

}  // namespace marvane::os::win32
