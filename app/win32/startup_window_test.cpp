// The start-up window as marvane.exe builds it, laid out at each DPI a Windows desk runs at: every
// control where the form puts it, scaled; every caption inside its control; nothing under the
// status bar; and the runtime still reading the form's own numbers back. Each test runs twice: with
// the DPI calls of Windows 10, and without them, as on Windows 7 and 8.
#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"
// After windows.h, which it needs.
#include <commctrl.h>

#include <optional>
#include <string>

#include "app/identifiers.h"
#include "app/program.h"
#include "platform/win32/dpi.h"
#include "resources/embedded.h"
#include "runtime/ui/form/form_description.h"
#include "runtime/ui/runtime.h"
#include "runtime/ui/runtime_state.h"

namespace marvane::app {
namespace {

using os::win32::Scale;

// Rounding at each step of a scaled layout.
constexpr int kSlack = 2;

RECT ClientRectIn(HWND hwnd, HWND ancestor) {
  RECT r;
  GetWindowRect(hwnd, &r);
  MapWindowPoints(HWND_DESKTOP, ancestor, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

SIZE TextExtent(HWND control, const std::wstring& text) {
  HDC dc = GetDC(control);
  HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size;
}

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

enum class DpiCallsKind { kWindows10, kWindows7 };

class StartupWindowTest : public ::testing::TestWithParam<DpiCallsKind> {
 protected:
  void SetUp() override {
    if (GetParam() == DpiCallsKind::kWindows7) windows7_.emplace(os::win32::DpiCalls{});
    ASSERT_TRUE(ui::ReadFormDescription({reinterpret_cast<const char*>(resources::kFormDescription),
                                         resources::kFormDescriptionSize},
                                        &form_));
    ui::SetProgram(&Program());
    ui::InitializeRuntime();
    ui::LoadWindow(kStartupWindow);
    top_ = Hwnd(kWindowUnit);
    ASSERT_NE(top_, nullptr);
  }
  void TearDown() override { ui::ResetRuntime(); }

  HWND Hwnd(std::uint32_t unit) {
    ui::Component* c = ui::FindComponent(kStartupWindow, unit);
    return c ? reinterpret_cast<HWND>(c->handle()) : nullptr;
  }
  // (windows.h renames FindWindow, so the window record is looked up here.)
  const ui::Unit& Stored(std::uint32_t unit) {
    for (const ui::WindowRecord& window : form_.windows) {
      if (window.id == kStartupWindow) return *ui::FindUnit(window, unit);
    }
    ADD_FAILURE() << "no start-up window";
    return form_.windows.at(0).units.at(0);
  }

  // Everything the window shows is where it belongs at `dpi`, and readable.
  void ExpectLaidOut(UINT dpi, bool whole_window) {
    SCOPED_TRACE("DPI " + std::to_string(dpi));
    if (whole_window) {
      RECT outer;
      GetWindowRect(top_, &outer);
      const ui::Unit& window = Stored(kWindowUnit);
      EXPECT_NEAR(outer.right - outer.left, Scale(window.width, dpi), kSlack);
      EXPECT_NEAR(outer.bottom - outer.top, Scale(window.height, dpi), kSlack);
    }

    // Placed controls: the stored rectangle in the container's client area, scaled. A drop-down
    // list's height is its closed height, the system's; the status bar docks itself.
    const std::uint32_t placed[] = {kLabelSelectKind, kComboSelectKind, kButtonSave, kGroupBox,
                                    kEditClientList};
    for (std::uint32_t unit : placed) {
      SCOPED_TRACE(unit);
      const ui::Unit& stored = Stored(unit);
      HWND hwnd = Hwnd(unit);
      RECT r = ClientRectIn(hwnd, GetParent(hwnd));
      EXPECT_NEAR(r.left, Scale(stored.left, dpi), kSlack);
      EXPECT_NEAR(r.top, Scale(stored.top, dpi), kSlack);
      EXPECT_NEAR(r.right - r.left, Scale(stored.width, dpi), kSlack);
      if (unit != kComboSelectKind) {
        EXPECT_NEAR(r.bottom - r.top, Scale(stored.height, dpi), kSlack);
      }
      // The runtime reads the form's numbers back.
      os::Rect logical = ui::Windows().GetRect(reinterpret_cast<os::WindowHandle>(hwnd));
      EXPECT_NEAR(logical.left, stored.left, 1);
      EXPECT_NEAR(logical.width, stored.width, 1);
    }

    RECT client;
    GetClientRect(top_, &client);
    RECT bar = ClientRectIn(Hwnd(kStatusBar), top_);
    EXPECT_EQ(bar.bottom, client.bottom);
    for (std::uint32_t unit : placed) {
      RECT r = ClientRectIn(Hwnd(unit), top_);
      EXPECT_LE(r.bottom, bar.top) << unit << " runs under the status bar";
      EXPECT_LE(r.right, client.right) << unit;
    }
    RECT edit = ClientRectIn(Hwnd(kEditClientList), top_);
    RECT group = ClientRectIn(Hwnd(kGroupBox), top_);
    EXPECT_LE(edit.bottom, group.bottom);
    EXPECT_LE(edit.right, group.right);

    // Captions: one line each, inside their controls.
    for (std::uint32_t unit : {kLabelSelectKind, kButtonSave}) {
      HWND hwnd = Hwnd(unit);
      RECT r;
      GetClientRect(hwnd, &r);
      SIZE text = TextExtent(hwnd, TextOf(hwnd));
      EXPECT_LE(text.cx, r.right) << unit;
      EXPECT_LE(text.cy, r.bottom) << unit;
    }
    SIZE caption = TextExtent(Hwnd(kGroupBox), TextOf(Hwnd(kGroupBox)));
    EXPECT_LT(caption.cx, group.right - group.left);
    EXPECT_LE(group.top + caption.cy, edit.top) << "the list covers the group box's caption";
    COMBOBOXINFO combo{};
    combo.cbSize = sizeof combo;
    ASSERT_TRUE(GetComboBoxInfo(Hwnd(kComboSelectKind), &combo));
    RECT combo_rect = ClientRectIn(Hwnd(kComboSelectKind), top_);
    EXPECT_LE(combo_rect.bottom, group.top) << "the combo box runs into the group box";
    for (const wchar_t* item : {L"云更新无盘", L"顺网无盘9系列"}) {
      SIZE text = TextExtent(Hwnd(kComboSelectKind), item);
      EXPECT_LE(text.cx, combo.rcItem.right - combo.rcItem.left);
      EXPECT_LE(text.cy, combo.rcItem.bottom - combo.rcItem.top);
    }
    SIZE count = TextExtent(Hwnd(kStatusBar), L" 共 100000 条");
    RECT part;
    SendMessageW(Hwnd(kStatusBar), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
    EXPECT_LE(count.cx, part.right - part.left);
    EXPECT_LE(count.cy, part.bottom - part.top);
  }

  std::optional<os::win32::ScopedDpiCalls> windows7_;
  ui::FormDescription form_;
  HWND top_ = nullptr;
};

TEST_P(StartupWindowTest, LaidOutAtEachDpi) {
  const UINT system_dpi = os::win32::DpiOf(top_);
  ExpectLaidOut(system_dpi, true);
  // As when the window moves to a monitor of another DPI and the system suggests the rectangle
  // for it. Its frame and caption stay at the system's DPI here, so the suggestion keeps them.
  RECT outer, client;
  GetWindowRect(top_, &outer);
  GetClientRect(top_, &client);
  for (UINT dpi : {96u, 120u, 144u, 192u}) {
    const int width = MulDiv(client.right, static_cast<int>(dpi), static_cast<int>(system_dpi));
    const int height = MulDiv(client.bottom, static_cast<int>(dpi), static_cast<int>(system_dpi));
    RECT suggested{outer.left, outer.top, outer.right + width - client.right,
                   outer.bottom + height - client.bottom};
    // The system keeps a window within the screen: a small one cannot show the large DPIs.
    if (suggested.bottom - suggested.top > GetSystemMetrics(SM_CYSCREEN)) continue;
    SendMessageW(top_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    ExpectLaidOut(dpi, false);
  }
}

TEST_P(StartupWindowTest, TheFirstTabStopHasTheFocus) {
  EXPECT_EQ(GetFocus(), Hwnd(kButtonSave));
}

INSTANTIATE_TEST_SUITE_P(DpiCalls, StartupWindowTest,
                         ::testing::Values(DpiCallsKind::kWindows10, DpiCallsKind::kWindows7),
                         [](const auto& info) {
                           return info.param == DpiCallsKind::kWindows10 ? "Windows10" : "Windows7";
                         });

}  // namespace
}  // namespace marvane::app
