#include "platform/win32/window_system.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/win32/codec.h"

namespace marvane::os::win32 {
namespace {

struct Event {
  std::string what;
  WindowHandle window;
  int value;
  bool operator==(const Event&) const = default;
};

class Recorder final : public WindowEvents {
 public:
  explicit Recorder(WindowSystem* system) : system_(system) {}
  void OnClicked(WindowHandle control) override { events.push_back({"click", control, 0}); }
  void OnFocusChanged(WindowHandle control, bool gained) override {
    events.push_back({"focus", control, gained});
  }
  void OnDestroyed(WindowHandle window) override { events.push_back({"destroyed", window, 0}); }
  void OnEndRequest(int code) override {
    events.push_back({"end", 0, code});
    end_thread = GetCurrentThreadId();
    system_->PostQuit(0);
  }
  void OnContentChanged(WindowHandle edit) override { events.push_back({"changed", edit, 0}); }
  std::vector<Event> events;
  DWORD end_thread = 0;

 private:
  WindowSystem* system_;
};

class Win32WindowSystemTest : public ::testing::Test {
 protected:
  Win32WindowSystemTest() : recorder_(&system_) { system_.SetEventSink(&recorder_); }

  WindowHandle TopLevel() {
    TopLevelArgs args;
    args.caption = "Marvane";
    args.rect = {50, 60, 468, 533};
    args.minimize_box = true;
    WindowHandle top = system_.CreateTopLevel(args);
    EXPECT_NE(top, 0u);
    return top;
  }
  template <typename Args>
  Args Child(WindowHandle parent, Rect rect = {8, 8, 120, 24}) {
    Args args;
    args.parent = parent;
    args.id = next_id_ += 10;
    args.rect = rect;
    return args;
  }
  static LRESULT Send(WindowHandle window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    return SendMessageW(ToHwnd(window), message, wparam, lparam);
  }
  static DWORD Style(WindowHandle window) {
    return static_cast<DWORD>(GetWindowLongPtrW(ToHwnd(window), GWL_STYLE));
  }

  Win32WindowSystem system_;
  Recorder recorder_;
  int next_id_ = 90;
};

const char kChinese[] = "\xC7\xEB\xD1\xA1\xD4\xF1\xCE\xDE\xC5\xCC\xA3\xBA";  // 请选择无盘：
const wchar_t kChineseWide[] = L"\u8BF7\u9009\u62E9\u65E0\u76D8\uFF1A";

TEST_F(Win32WindowSystemTest, TextsCrossTheBoundaryAsWideCharacters) {
  WindowHandle top = TopLevel();
  const struct {
    const char* kind;
    WindowHandle window;
  } cases[] = {
      {"top-level", top},
      {"button", system_.CreateButton(Child<ButtonArgs>(top))},
      {"group box", system_.CreateGroupBox(Child<GroupBoxArgs>(top))},
      {"label", system_.CreateLabel(Child<LabelArgs>(top))},
      {"edit", system_.CreateEdit(Child<EditArgs>(top))},
      {"status bar", system_.CreateStatusBar(Child<StatusBarArgs>(top))},
  };
  for (const auto& c : cases) {
    ASSERT_NE(c.window, 0u) << c.kind;
    system_.SetText(c.window, kChinese);
    wchar_t wide[64] = {};
    GetWindowTextW(ToHwnd(c.window), wide, 64);
    EXPECT_STREQ(wide, kChineseWide) << c.kind;
  }
}

TEST_F(Win32WindowSystemTest, EditLengthLimit) {
  WindowHandle top = TopLevel();
  // Far beyond the control's default limit of 30000 characters, in lines: one long line
  // without breaks is slow to lay out in a wrapping control.
  std::string long_text;
  while (long_text.size() < 100000)
    long_text += std::string(98, 'A') + "\r\n";
  const struct {
    bool multi_line;
    std::uint32_t max_length;
    bool unlimited;
  } cases[] = {{true, 0, true}, {false, 0, true}, {true, 10, false}};
  for (const auto& c : cases) {
    auto args = Child<EditArgs>(top);
    args.multi_line = c.multi_line;
    args.max_length = c.max_length;
    args.text = long_text;
    WindowHandle edit = system_.CreateEdit(args);
    ASSERT_NE(edit, 0u);
    auto limit = static_cast<std::uint32_t>(Send(edit, EM_GETLIMITTEXT));
    if (c.unlimited) {
      EXPECT_GT(limit, 1000000u);
      EXPECT_EQ(system_.GetText(edit).size(), long_text.size());
      system_.SetText(edit, long_text + "B");
      EXPECT_EQ(system_.GetText(edit).size(), long_text.size() + 1);
    } else {
      EXPECT_EQ(limit, c.max_length);
    }
  }
}

// The edit control draws a plain border inside its client area and drops the style bit, so look
// at where its text goes; a sunken edge is a frame outside the client area.
TEST_F(Win32WindowSystemTest, EditBorders) {
  WindowHandle top = TopLevel();
  const struct {
    Border border;
    int frame;  // pixels of frame on each side
    int inset;  // pixels from the client area's left edge to the text
  } cases[] = {{Border::kNone, 0, 0}, {Border::kPlain, 0, 1}, {Border::kClientEdge, 2, 0}};
  int no_border_inset = -1;
  for (const auto& c : cases) {
    auto args = Child<EditArgs>(top, {8, 21, 200, 100});
    args.multi_line = true;
    args.border = c.border;
    HWND edit = ToHwnd(system_.CreateEdit(args));
    RECT client, text;
    GetClientRect(edit, &client);
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    EXPECT_EQ(200 - client.right, 2 * c.frame) << static_cast<int>(c.border);
    if (c.border == Border::kNone) no_border_inset = text.left;
    EXPECT_GE(text.left - no_border_inset, c.inset) << static_cast<int>(c.border);
  }
}

TEST_F(Win32WindowSystemTest, ADropDownListDropsSeveralRowsWhateverItsHeight) {
  WindowHandle top = TopLevel();
  auto args = Child<ComboBoxArgs>(top, {96, 18, 224, 20});
  args.items = {"\xD4\xC6\xB8\xFC\xD0\xC2\xCE\xDE\xC5\xCC",  // 云更新无盘
                "\xCB\xB3\xCD\xF8\xCE\xDE\xC5\xCC"
                "9\xCF\xB5\xC1\xD0"};  // 顺网无盘9系列
  args.selection = 0;
  WindowHandle combo = system_.CreateComboBox(args);
  ASSERT_NE(combo, 0u);
  // A 20-pixel drop-down list still drops a list of several rows (the control rounds the
  // height to whole rows).
  RECT dropped{};
  Send(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  EXPECT_GT(dropped.bottom - dropped.top, kComboListMinHeight * 3 / 4);
  system_.SetRect(combo, {96, 18, 224, 20});
  Send(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  EXPECT_GT(dropped.bottom - dropped.top, kComboListMinHeight * 3 / 4);
}

TEST_F(Win32WindowSystemTest, StatusBarParts) {
  WindowHandle top = TopLevel();
  const struct {
    std::vector<std::int32_t> widths;
    std::vector<int> edges;
  } cases[] = {
      {{500}, {500}},   {{100, -1}, {100, -1}}, {{50, 60, 70}, {50, 110, 180}},
      {{-1, 80}, {-1}},  // -1 ends the list
      {{}, {-1}},
  };
  for (const auto& c : cases) {
    auto args = Child<StatusBarArgs>(top, {0, 678, 462, 20});
    for (std::int32_t w : c.widths)
      args.parts.push_back({w, 0, "t"});
    WindowHandle bar = system_.CreateStatusBar(args);
    ASSERT_NE(bar, 0u);
    int edges[8] = {};
    auto count =
        static_cast<std::size_t>(Send(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)));
    EXPECT_EQ(std::vector<int>(edges, edges + count), c.edges);
  }
}

TEST_F(Win32WindowSystemTest, StatusBarBorderAndDocking) {
  WindowHandle top = TopLevel();
  auto args = Child<StatusBarArgs>(top, {0, 678, 462, 20});
  args.parts = {{100, 0, ""}, {-1, 0, ""}};
  WindowHandle bar = system_.CreateStatusBar(args);
  ASSERT_NE(bar, 0u);
  system_.SetStatusText(bar, 1, 0x100, "b");
  wchar_t part[16] = {};
  LRESULT got = Send(bar, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(part));
  EXPECT_EQ(HIWORD(got), SBT_NOBORDERS);

  // Docked at the bottom of the client area wherever it was put, also after a resize.
  for (int height : {533, 300}) {
    system_.SetRect(top, {50, 60, 468, height});
    RECT client, bar_rect;
    GetClientRect(ToHwnd(top), &client);
    GetWindowRect(ToHwnd(bar), &bar_rect);
    MapWindowPoints(HWND_DESKTOP, ToHwnd(top), reinterpret_cast<POINT*>(&bar_rect), 2);
    EXPECT_EQ(bar_rect.bottom, client.bottom) << height;
    EXPECT_EQ(bar_rect.right - bar_rect.left, client.right) << height;
  }
}

TEST_F(Win32WindowSystemTest, ClicksReachTheSinkAlsoFromInsideAGroupBox) {
  WindowHandle top = TopLevel();
  WindowHandle group = system_.CreateGroupBox(Child<GroupBoxArgs>(top, {8, 48, 448, 432}));
  WindowHandle direct = system_.CreateButton(Child<ButtonArgs>(top));
  WindowHandle inside = system_.CreateButton(Child<ButtonArgs>(top, {8, 21, 80, 25}));
  system_.SetContainer(inside, group);
  for (WindowHandle w : {top, group, direct, inside})
    system_.Show(w, ShowMode::kNormal);
  recorder_.events.clear();
  for (WindowHandle button : {direct, inside}) {
    Send(button, BM_CLICK);
    ASSERT_FALSE(recorder_.events.empty());
    EXPECT_EQ(recorder_.events.back(), (Event{"click", button, 0}));
  }
}

TEST_F(Win32WindowSystemTest, AContainerClipsTheControlsMovedIntoIt) {
  WindowHandle top = TopLevel();
  WindowHandle group = system_.CreateGroupBox(Child<GroupBoxArgs>(top, {8, 48, 448, 432}));
  WindowHandle edit = system_.CreateEdit(Child<EditArgs>(top, {8, 21, 432, 402}));
  system_.SetContainer(edit, group);
  EXPECT_EQ(GetParent(ToHwnd(edit)), ToHwnd(group));
  EXPECT_TRUE(Style(group) & WS_CLIPCHILDREN);
}

// What a control's colour message answers, sent to its parent as the control would.
TEST_F(Win32WindowSystemTest, ColoursComeFromTheControlAlsoInsideAGroupBox) {
  WindowHandle top = TopLevel();
  WindowHandle group = system_.CreateGroupBox(Child<GroupBoxArgs>(top, {8, 48, 448, 432}));
  auto args = Child<EditArgs>(top, {8, 21, 432, 402});
  args.text_color = 0x000080;
  args.background = 0x00FF00;
  WindowHandle edit = system_.CreateEdit(args);
  system_.SetContainer(edit, group);
  HDC dc = CreateCompatibleDC(nullptr);
  for (UINT message : {WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC}) {
    SetTextColor(dc, 0);
    SetBkColor(dc, 0);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(ToHwnd(edit)), message,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(ToHwnd(edit))));
    ASSERT_NE(brush, nullptr) << message;
    LOGBRUSH info{};
    GetObjectW(brush, sizeof info, &info);
    EXPECT_EQ(info.lbColor, 0x00FF00u) << message;
    EXPECT_EQ(GetBkColor(dc), 0x00FF00u) << message;
    EXPECT_EQ(GetTextColor(dc), 0x000080u) << message;
  }
  DeleteDC(dc);
}

// The top-level window clips its children out, so a group box must paint its own inside.
TEST_F(Win32WindowSystemTest, GroupBoxPaintsItsBackground) {
  WindowHandle top = TopLevel();
  auto coloured = Child<GroupBoxArgs>(top, {8, 48, 100, 100});
  coloured.background = 0x0000FF;
  const struct {
    GroupBoxArgs args;
    COLORREF expected;
  } cases[] = {{Child<GroupBoxArgs>(top, {8, 48, 100, 100}), GetSysColor(COLOR_BTNFACE)},
               {coloured, 0x0000FF}};
  for (const auto& c : cases) {
    WindowHandle group = system_.CreateGroupBox(c.args);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 100);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 100, 100};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    Send(group, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
    EXPECT_EQ(GetPixel(dc, 50, 50), c.expected);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
}

// Should the end request get lost, ends the loop anyway rather than hang.
VOID CALLBACK EndLoopAnyway(HWND, UINT, UINT_PTR, DWORD) {
  PostQuitMessage(99);
}

TEST_F(Win32WindowSystemTest, EndRequestFromAnotherThreadRunsOnTheGuiThread) {
  WindowHandle owner = system_.CreateHiddenOwner();
  ASSERT_NE(owner, 0u);
  EXPECT_FALSE(system_.IsVisible(owner));
  UINT_PTR guard = SetTimer(nullptr, 0, 10000, EndLoopAnyway);
  std::thread other([&] { system_.SendEndRequest(owner, -1); });
  system_.RunMessageLoop({});
  other.join();
  KillTimer(nullptr, guard);
  ASSERT_EQ(recorder_.events, (std::vector<Event>{{"end", 0, -1}}));
  EXPECT_EQ(recorder_.end_thread, GetCurrentThreadId());
}

// Idle work runs with a rising count while no message waits; user activity starts it afresh,
// painting and the caret's blink do not.
TEST_F(Win32WindowSystemTest, IdleProcessing) {
  WindowHandle top = TopLevel();
  const struct {
    UINT posted;  // posted at idle count 2
    std::vector<int> counts;
  } cases[] = {
      {WM_KEYDOWN, {0, 1, 2, 0, 1, 2, 3}},
      {WM_USER + 1, {0, 1, 2, 0, 1, 2, 3}},
      {0x0118, {0, 1, 2, 3}},
  };
  for (const auto& c : cases) {
    std::vector<int> counts;
    bool posted = false;
    system_.RunMessageLoop([&](int count) {
      counts.push_back(count);
      if (count == 2 && !posted) {
        posted = true;
        PostMessageW(ToHwnd(top), c.posted, 0, 0);
      }
      if (count == 3) system_.PostQuit(0);
      return count < 3;
    });
    EXPECT_EQ(counts, c.counts) << c.posted;
  }
}

TEST_F(Win32WindowSystemTest, AnUnmovableWindowHasNoMoveEntry) {
  TopLevelArgs args;
  args.caption = kChinese;
  args.rect = {50, 60, 468, 533};
  args.minimize_box = true;
  args.movable = false;
  WindowHandle top = system_.CreateTopLevel(args);
  ASSERT_NE(top, 0u);
  EXPECT_EQ(GetMenuState(GetSystemMenu(ToHwnd(top), FALSE), SC_MOVE, MF_BYCOMMAND), ~0u);
}

// The runtime shows each component whose visible flag is set.
TEST_F(Win32WindowSystemTest, ControlsStartHidden) {
  WindowHandle top = TopLevel();
  EXPECT_FALSE(system_.IsVisible(system_.CreateButton(Child<ButtonArgs>(top))));
}

TEST_F(Win32WindowSystemTest, FocusChangesAreReported) {
  WindowHandle top = TopLevel();
  WindowHandle edit = system_.CreateEdit(Child<EditArgs>(top));
  WindowHandle button = system_.CreateButton(Child<ButtonArgs>(top));
  auto args = Child<ComboBoxArgs>(top);
  args.kind = ComboKind::kDropDown;
  WindowHandle combo = system_.CreateComboBox(args);
  for (WindowHandle w : {top, edit, button, combo})
    system_.Show(w, ShowMode::kNormal);
  SetForegroundWindow(ToHwnd(top));
  SetFocus(ToHwnd(edit));
  recorder_.events.clear();
  SetFocus(ToHwnd(button));
  EXPECT_EQ(recorder_.events,
            (std::vector<Event>{{"focus", edit, false}, {"focus", button, true}}));
  EXPECT_EQ(system_.GetFocus(), button);

  recorder_.events.clear();
  SetFocus(ToHwnd(combo));  // the combo box hands the focus to its field
  EXPECT_EQ(system_.GetFocus(), combo);
  EXPECT_EQ(recorder_.events,
            (std::vector<Event>{{"focus", button, false}, {"focus", combo, true}}));
}

}  // namespace
}  // namespace marvane::os::win32
