// Display scaling. The runtime speaks the form's pixels, which are pixels at 96 DPI; this backend
// creates every window at its monitor's DPI and converts at its boundary.
#pragma once

#include "platform/win32/windows_api.h"

#include "platform/window_system.h"

namespace marvane::os::win32 {

// The DPI the runtime's pixels are measured at.
inline constexpr UINT kBaseDpi = 96;

// The calls that know a window's own DPI, which arrived with Windows 10, looked up at run time:
// null where the system lacks them, as Windows 7 and 8 lack them all. Every function below falls
// back to the system DPI without them.
struct DpiCalls {
  UINT(WINAPI* dpi_for_window)(HWND) = nullptr;
  UINT(WINAPI* dpi_for_system)() = nullptr;
  int(WINAPI* metrics_for_dpi)(int, UINT) = nullptr;
  BOOL(WINAPI* parameters_for_dpi)(UINT, UINT, PVOID, UINT, UINT) = nullptr;

  // Those this system has.
  static DpiCalls Lookup();
};

// Stands other calls in for the system's while it lives: an empty DpiCalls takes the Windows 7
// and 8 path on any system. Not nested.
class ScopedDpiCalls {
 public:
  explicit ScopedDpiCalls(const DpiCalls& calls);
  ~ScopedDpiCalls();
  ScopedDpiCalls(const ScopedDpiCalls&) = delete;
  ScopedDpiCalls& operator=(const ScopedDpiCalls&) = delete;

 private:
  DpiCalls calls_;
};

// The DPI that windows not yet on a monitor are made for.
UINT SystemDpi();
// The DPI a window is shown at.
UINT DpiOf(HWND hwnd);

// Runtime pixels to device pixels at `dpi` and back, rounded to the nearest.
int Scale(int value, UINT dpi);
int Unscale(int value, UINT dpi);
Rect Scale(const Rect& rect, UINT dpi);
Rect Unscale(const Rect& rect, UINT dpi);

// A system metric (SM_*) as it is at `dpi`.
int MetricForDpi(int index, UINT dpi);

// The font controls are drawn with at `dpi`: the face and size of the system's message font for
// that DPI. The caller owns it.
HFONT CreateGuiFont(UINT dpi);

}  // namespace marvane::os::win32
