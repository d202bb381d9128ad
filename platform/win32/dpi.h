// Display scaling. The runtime speaks the form's pixels, which are pixels at 96 DPI; this backend
// creates every window at its monitor's DPI and converts at its boundary. The calls that know a
// window's own DPI arrived with Windows 10; where they are missing the system DPI stands in.
#pragma once

#include "platform/win32/windows_api.h"

#include "platform/window_system.h"

namespace marvane::os::win32 {

// The DPI the runtime's pixels are measured at.
inline constexpr UINT kBaseDpi = 96;

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
