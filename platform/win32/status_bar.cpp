#include "platform/win32/windows_api.h"
// After windows.h, which it needs.
#include <commctrl.h>

#include "platform/win32/codec.h"
#include "platform/win32/dpi.h"
#include "platform/win32/window_system.h"

namespace marvane::os::win32 {
namespace {

// The control keeps at most this many parts.
constexpr std::size_t kMaxParts = 255;

bool InitializeBarClasses() {
  static const bool initialized = [] {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
    return InitCommonControlsEx(&classes) != 0;
  }();
  return initialized;
}

}  // namespace

WindowHandle Win32WindowSystem::CreateStatusBar(const StatusBarArgs& args) {
  if (!InitializeBarClasses()) return 0;
  ChildStyle style;
  style.style = SBARS_TOOLTIPS;
  if (args.size_grip) style.style |= SBARS_SIZEGRIP;
  style.style |= args.dock == Dock::kBottom ? CCS_BOTTOM
                 : args.dock == Dock::kTop  ? CCS_TOP
                                            : CCS_NOPARENTALIGN | CCS_NORESIZE;
  auto record = std::make_unique<Win32Window>();
  record->kind = Win32Window::Kind::kStatusBar;
  record->dock = args.dock;
  HWND hwnd = CreateChild(STATUSCLASSNAMEW, args, {}, style, std::move(record));
  if (!hwnd) return 0;
  SendMessageW(hwnd, SB_SIMPLE, FALSE, 0);
  SendMessageW(hwnd, SB_SETBKCOLOR, 0,
               IsDefaultColor(args.background) ? CLR_DEFAULT : args.background & 0xFFFFFF);
  SetStatusParts(ToHandle(hwnd), args.parts);
  return ToHandle(hwnd);
}

// A width of -1 reaches the bar's right edge and ends the list.
void Win32WindowSystem::SetStatusParts(WindowHandle bar, const std::vector<StatusPart>& parts) {
  HWND hwnd = ToHwnd(bar);
  Win32Window* record = Find(hwnd);
  if (!record) return;
  record->part_widths.clear();
  for (const StatusPart& part : parts) {
    if (record->part_widths.size() == kMaxParts) break;
    record->part_widths.push_back(part.width);
    if (part.width == -1) break;
  }
  PlaceParts(hwnd, record);
  if (record->part_widths.empty()) {
    SetStatusText(bar, 0, 0, {});
    return;
  }
  for (std::size_t i = 0; i < record->part_widths.size(); ++i) {
    SetStatusText(bar, static_cast<std::int32_t>(i), parts[i].border, parts[i].text);
  }
}

// Each part's right edge is the sum of the widths so far.
void Win32WindowSystem::PlaceParts(HWND bar, Win32Window* record) {
  std::vector<int> edges;
  const UINT dpi = DpiFor(bar);
  int right = 0;
  for (std::int32_t width : record->part_widths) {
    if (width == -1) {
      edges.push_back(-1);
      break;
    }
    right += width;
    edges.push_back(Scale(right, dpi));
  }
  // The control always shows one part.
  if (edges.empty()) edges.push_back(-1);
  SendMessageW(bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

// The border style (0, SBT_NOBORDERS, SBT_POPOUT) sits above the part index in the same word.
void Win32WindowSystem::SetStatusText(WindowHandle bar, std::int32_t index, std::uint32_t border,
                                      std::string_view text) {
  if (index < 0 || static_cast<std::size_t>(index) >= kMaxParts) return;
  std::wstring wide = Wide(text);
  WPARAM where = static_cast<WPARAM>(index) | (border & 0xFF00);
  SendMessageW(ToHwnd(bar), SB_SETTEXTW, where, reinterpret_cast<LPARAM>(wide.c_str()));
}

}  // namespace marvane::os::win32
