#include "platform/win32/dpi.h"

namespace marvane::os::win32 {
namespace {

template <typename Function>
void Load(HMODULE module, const char* name, Function* function) {
  *function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const DpiCalls* stood_in = nullptr;

const DpiCalls& Calls() {
  static const DpiCalls system = DpiCalls::Lookup();
  return stood_in ? *stood_in : system;
}

UINT Sane(UINT dpi) {
  return dpi == 0 ? kBaseDpi : dpi;
}

}  // namespace

DpiCalls DpiCalls::Lookup() {
  DpiCalls calls;
  HMODULE user = GetModuleHandleW(L"user32.dll");
  if (!user) return calls;
  Load(user, "GetDpiForWindow", &calls.dpi_for_window);
  Load(user, "GetDpiForSystem", &calls.dpi_for_system);
  Load(user, "GetSystemMetricsForDpi", &calls.metrics_for_dpi);
  Load(user, "SystemParametersInfoForDpi", &calls.parameters_for_dpi);
  return calls;
}

ScopedDpiCalls::ScopedDpiCalls(const DpiCalls& calls) : calls_(calls) {
  stood_in = &calls_;
}

ScopedDpiCalls::~ScopedDpiCalls() {
  stood_in = nullptr;
}

UINT SystemDpi() {
  if (Calls().dpi_for_system) return Sane(Calls().dpi_for_system());
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return Sane(dpi > 0 ? static_cast<UINT>(dpi) : 0);
}

UINT DpiOf(HWND hwnd) {
  if (hwnd && Calls().dpi_for_window) return Sane(Calls().dpi_for_window(hwnd));
  return SystemDpi();
}

int Scale(int value, UINT dpi) {
  return MulDiv(value, static_cast<int>(dpi), static_cast<int>(kBaseDpi));
}

int Unscale(int value, UINT dpi) {
  return MulDiv(value, static_cast<int>(kBaseDpi), static_cast<int>(dpi));
}

Rect Scale(const Rect& rect, UINT dpi) {
  return {Scale(rect.left, dpi), Scale(rect.top, dpi), Scale(rect.width, dpi),
          Scale(rect.height, dpi)};
}

Rect Unscale(const Rect& rect, UINT dpi) {
  return {Unscale(rect.left, dpi), Unscale(rect.top, dpi), Unscale(rect.width, dpi),
          Unscale(rect.height, dpi)};
}

int MetricForDpi(int index, UINT dpi) {
  if (Calls().metrics_for_dpi) return Calls().metrics_for_dpi(index, dpi);
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

HFONT CreateGuiFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTW font{};
  if (Calls().parameters_for_dpi &&
      Calls().parameters_for_dpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
    font = metrics.lfMessageFont;
  } else if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    // Made for the system DPI.
    font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
  } else {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
  }
  return CreateFontIndirectW(&font);
}

}  // namespace marvane::os::win32
