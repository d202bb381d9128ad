// What the window-system interface promises, run against each backend through its harness: the
// headless one natively, the Windows one under Wine. Geometry assumes 96 DPI, as both run in tests.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/cursor_data.h"
#include "platform/window_system_contract.h"

namespace marvane::os::contract {
namespace {

const char kChinese[] = "\xC7\xEB\xD1\xA1\xD4\xF1\xCE\xDE\xC5\xCC\xA3\xBA";  // 请选择无盘：
const char kCount[] = " \xB9\xB2 3 \xCC\xF5";                                // " 共 3 条"

struct Event {
  enum Kind { kFocusGained, kFocusLost, kDestroyed, kContentChanged };
  Kind kind;
  WindowHandle window = 0;
  bool operator==(const Event&) const = default;
};

class Recorder final : public WindowEvents {
 public:
  void OnClicked(WindowHandle) override {}
  void OnFocusChanged(WindowHandle control, bool gained) override {
    events.push_back({gained ? Event::kFocusGained : Event::kFocusLost, control});
  }
  void OnDestroyed(WindowHandle window) override { events.push_back({Event::kDestroyed, window}); }
  void OnEndRequest(int) override {}
  void OnContentChanged(WindowHandle edit) override {
    events.push_back({Event::kContentChanged, edit});
  }

  // Where the window was reported destroyed, or -1; each report is counted.
  int DestroyedAt(WindowHandle window, int* reports) const {
    int at = -1;
    *reports = 0;
    for (std::size_t i = 0; i < events.size(); ++i) {
      if (events[i] == Event{Event::kDestroyed, window}) {
        at = static_cast<int>(i);
        ++*reports;
      }
    }
    return at;
  }

  std::vector<Event> events;
};

class WindowSystemContract : public ::testing::Test {
 protected:
  WindowSystemContract() : harness_(MakeHarness()), ws_(harness_->system()) {
    ws_.SetEventSink(&recorder_);
  }
  ~WindowSystemContract() override { ws_.SetEventSink(nullptr); }

  WindowHandle Top(Rect rect = {50, 60, 468, 533}) {
    TopLevelArgs args;
    args.caption = "Marvane";
    args.rect = rect;
    WindowHandle top = ws_.CreateTopLevel(args);
    EXPECT_NE(top, 0u);
    return top;
  }
  template <typename Args>
  Args Child(WindowHandle parent, Rect rect = {8, 8, 120, 24}, bool tab_stop = false) {
    Args args;
    args.parent = parent;
    args.id = next_id_ += 10;
    args.rect = rect;
    args.tab_stop = tab_stop;
    return args;
  }
  // Runs the message loop until everything posted so far, and all it posts, has run.
  void RunPosted() {
    ws_.PostQuit(0);
    ws_.RunMessageLoop([](int) { return false; });
  }

  std::unique_ptr<Harness> harness_;
  WindowSystem& ws_;
  Recorder recorder_;
  int next_id_ = 90;
};

// One way to create each kind of control under a parent.
struct ControlKind {
  const char* name;
  std::function<WindowHandle(WindowSystem&, WindowHandle parent, Rect rect)> create;
};

template <typename Args>
ControlKind Kind(const char* name, WindowHandle (WindowSystem::*create)(const Args&),
                 std::function<void(Args&)> adjust = {}) {
  return {name, [create, adjust](WindowSystem& ws, WindowHandle parent, Rect rect) {
            Args args;
            args.parent = parent;
            args.rect = rect;
            if (adjust) adjust(args);
            return (ws.*create)(args);
          }};
}

const std::vector<ControlKind>& AllKinds() {
  static const std::vector<ControlKind> kinds = {
      Kind("edit", &WindowSystem::CreateEdit),
      Kind<EditArgs>("multi-line edit", &WindowSystem::CreateEdit,
                     [](EditArgs& a) { a.multi_line = true; }),
      Kind("button", &WindowSystem::CreateButton),
      Kind("group box", &WindowSystem::CreateGroupBox),
      Kind("label", &WindowSystem::CreateLabel),
      Kind("drop-down list", &WindowSystem::CreateComboBox),
      Kind<ComboBoxArgs>("drop-down combo box", &WindowSystem::CreateComboBox,
                         [](ComboBoxArgs& a) { a.kind = ComboKind::kDropDown; }),
      Kind("status bar", &WindowSystem::CreateStatusBar),
  };
  return kinds;
}

TEST_F(WindowSystemContract, EachKindIsCreatedInALiveParentAndOnlyThere) {
  WindowHandle top = Top();
  WindowHandle gone = Top();
  ws_.Destroy(gone);
  std::set<WindowHandle> seen = {top};
  for (const ControlKind& kind : AllKinds()) {
    WindowHandle control = kind.create(ws_, top, {8, 8, 120, 24});
    EXPECT_NE(control, 0u) << kind.name;
    EXPECT_TRUE(ws_.Exists(control)) << kind.name;
    EXPECT_FALSE(ws_.IsVisible(control)) << kind.name;  // until it is shown
    EXPECT_TRUE(seen.insert(control).second) << kind.name;
    EXPECT_EQ(kind.create(ws_, 0, {8, 8, 120, 24}), 0u) << kind.name;
    EXPECT_EQ(kind.create(ws_, gone, {8, 8, 120, 24}), 0u) << kind.name;
  }
  WindowHandle owner = ws_.CreateHiddenOwner();
  EXPECT_NE(owner, 0u);
  EXPECT_TRUE(seen.insert(owner).second);
  EXPECT_FALSE(ws_.IsVisible(owner));
  EXPECT_FALSE(ws_.Exists(0));
}

TEST_F(WindowSystemContract, TextsGoInAndComeBackAsGbk) {
  std::string given = std::string("Marvane ") + kChinese;
  TopLevelArgs top_args;
  top_args.caption = given;
  WindowHandle top = ws_.CreateTopLevel(top_args);
  ButtonArgs button = Child<ButtonArgs>(top);
  button.caption = given;
  GroupBoxArgs group = Child<GroupBoxArgs>(top);
  group.caption = given;
  LabelArgs label = Child<LabelArgs>(top);
  label.caption = given;
  EditArgs edit = Child<EditArgs>(top);
  edit.text = given;
  EditArgs multi = Child<EditArgs>(top, {8, 8, 200, 100});
  multi.text = given;
  multi.multi_line = true;
  const struct {
    const char* kind;
    WindowHandle window;
  } cases[] = {
      {"top-level", top},
      {"button", ws_.CreateButton(button)},
      {"group box", ws_.CreateGroupBox(group)},
      {"label", ws_.CreateLabel(label)},
      {"edit", ws_.CreateEdit(edit)},
      {"multi-line edit", ws_.CreateEdit(multi)},
  };
  for (const auto& c : cases) {
    ASSERT_NE(c.window, 0u) << c.kind;
    EXPECT_EQ(ws_.GetText(c.window), given) << c.kind << ", as created";
    ws_.SetText(c.window, kChinese);
    EXPECT_EQ(ws_.GetText(c.window), kChinese) << c.kind;
    ws_.SetText(c.window, "");
    EXPECT_EQ(ws_.GetText(c.window), "") << c.kind;
  }
}

TEST_F(WindowSystemContract, EditBoxGivesBackWhatItWasGivenAfterItsCaseConversion) {
  WindowHandle top = Top();
  const struct {
    CaseConversion conversion;
    std::string set;
    std::string held;
  } cases[] = {
      {CaseConversion::kNone, "aB\r\nc\n", "aB\r\nc\n"},
      {CaseConversion::kUpper, "00-1a-2b pc\xB0\x61", "00-1A-2B PC\xB0\x61"},
      {CaseConversion::kLower, "PC\xA3\xC1", "pc\xA3\xE1"},
      {CaseConversion::kUpper, std::string(kChinese) + "abc", std::string(kChinese) + "ABC"},
      {CaseConversion::kUpper, "", ""},
  };
  for (const auto& c : cases) {
    EditArgs args = Child<EditArgs>(top);
    args.case_conversion = c.conversion;
    args.text = c.set;
    args.max_length = 2;  // a limit on typing, not on what the program sets
    WindowHandle edit = ws_.CreateEdit(args);
    EXPECT_EQ(ws_.GetText(edit), c.held) << c.set << ", as created";
    ws_.SetText(edit, "");
    ws_.SetText(edit, c.set);
    EXPECT_EQ(ws_.GetText(edit), c.held) << c.set;
  }
}

TEST_F(WindowSystemContract, DropDownListTextIsTheSelectedItem) {
  WindowHandle top = Top();
  ComboBoxArgs args = Child<ComboBoxArgs>(top, {96, 18, 224, 20});
  args.items = {"\xD4\xC6\xB8\xFC\xD0\xC2",  // 云更新
                kChinese};
  args.selection = 0;
  WindowHandle combo = ws_.CreateComboBox(args);
  EXPECT_EQ(ws_.GetComboSelection(combo), 0);
  EXPECT_EQ(ws_.GetText(combo), args.items[0]);
  const struct {
    std::int32_t select;
    std::int32_t selected;
  } steps[] = {{1, 1}, {0, 0}, {-1, -1}, {1, 1}, {-3, -1}, {1, 1}, {2, -1}};
  for (const auto& s : steps) {
    ws_.SetComboSelection(combo, s.select);
    EXPECT_EQ(ws_.GetComboSelection(combo), s.selected) << s.select;
    EXPECT_EQ(ws_.GetText(combo), s.selected < 0 ? "" : args.items[s.selected]) << s.select;
  }
}

TEST_F(WindowSystemContract, AnEditBoxReportsEachSetAndEachEditOfItsText) {
  WindowHandle top = Top();
  EditArgs single = Child<EditArgs>(top);
  single.text = "a";
  EditArgs multi = Child<EditArgs>(top, {8, 40, 200, 100});
  multi.multi_line = true;
  multi.text = "b";
  const WindowHandle edits[] = {ws_.CreateEdit(single), ws_.CreateEdit(multi)};
  WindowHandle button = ws_.CreateButton(Child<ButtonArgs>(top));
  for (WindowHandle edit : edits)
    ws_.Show(edit, ShowMode::kNormal);
  ws_.Show(top, ShowMode::kNormal);
  for (WindowHandle edit : edits) {
    recorder_.events.clear();
    ws_.SetText(edit, kChinese);
    ws_.SetText(edit, kChinese);  // the same text again is a change all the same
    ws_.SetText(button, "x");
    harness_->Type(edit, 'x');
    std::erase_if(recorder_.events,
                  [](const Event& e) { return e.kind != Event::kContentChanged; });
    EXPECT_EQ(recorder_.events, std::vector<Event>(3, {Event::kContentChanged, edit}));
    EXPECT_EQ(ws_.GetText(edit), std::string(kChinese) + "x");
  }
}

TEST_F(WindowSystemContract, AWindowShowsTheStandardCursorItsDataNames) {
  using cursor::DataOf;
  const struct {
    std::string data;
    bool named;
    std::uint32_t shown;
  } cases[] = {
      {DataOf(cursor::kHand), true, cursor::kHand},
      {DataOf(cursor::kDefault), true, cursor::kDefault},
      {DataOf(cursor::kCross), true, cursor::kCross},
      {"", true, cursor::kDefault},
      {DataOf(cursor::kCross), true, cursor::kCross},
      {DataOf(12345), false, cursor::kDefault},
      {DataOf(cursor::kHand) + "\x01", false, cursor::kDefault},
  };
  WindowHandle top = Top();
  const WindowHandle windows[] = {top, ws_.CreateButton(Child<ButtonArgs>(top)),
                                  ws_.CreateLabel(Child<LabelArgs>(top))};
  for (WindowHandle window : windows) {
    for (const auto& c : cases) {
      EXPECT_EQ(ws_.SetCursor(window, c.data), c.named) << window << " " << c.shown;
      EXPECT_EQ(harness_->CursorOver(window), c.shown) << window << " " << c.shown;
    }
  }
  ws_.Destroy(top);
  EXPECT_FALSE(ws_.SetCursor(windows[1], DataOf(cursor::kHand)));
}

TEST_F(WindowSystemContract, DropDownComboBoxTextIsItsFieldUntilAnItemIsSelected) {
  WindowHandle top = Top();
  ComboBoxArgs args = Child<ComboBoxArgs>(top);
  args.kind = ComboKind::kDropDown;
  args.sorted = true;
  args.items = {"b", "C", "a"};
  args.text = "typed";
  args.selection = 0;
  WindowHandle combo = ws_.CreateComboBox(args);
  EXPECT_EQ(ws_.GetText(combo), "typed");
  const struct {
    std::int32_t select;
    const char* text;
  } steps[] = {{2, "C"}, {0, "a"}, {-1, ""}};  // in sorted order
  for (const auto& s : steps) {
    ws_.SetComboSelection(combo, s.select);
    EXPECT_EQ(ws_.GetComboSelection(combo), s.select);
    EXPECT_EQ(ws_.GetText(combo), s.text) << s.select;
  }
}

TEST_F(WindowSystemContract, VisibleIsTheWindowsOwnStateWhateverItsContainersShow) {
  WindowHandle top = Top();
  WindowHandle group = ws_.CreateGroupBox(Child<GroupBoxArgs>(top, {8, 48, 300, 200}));
  WindowHandle label = ws_.CreateLabel(Child<LabelArgs>(group));
  EXPECT_FALSE(ws_.IsVisible(top));  // top-level windows start hidden
  ws_.Show(label, ShowMode::kNormal);
  EXPECT_TRUE(ws_.IsVisible(label));  // although neither container is shown
  ws_.Show(group, ShowMode::kHide);
  ws_.Show(top, ShowMode::kMinimized);
  EXPECT_TRUE(ws_.IsVisible(top));
  EXPECT_FALSE(ws_.IsVisible(group));
  EXPECT_TRUE(ws_.IsVisible(label));
  ws_.Show(label, ShowMode::kHide);
  EXPECT_FALSE(ws_.IsVisible(label));
  ws_.Show(top, ShowMode::kHide);
  EXPECT_FALSE(ws_.IsVisible(top));
  ws_.Destroy(top);
  EXPECT_FALSE(ws_.IsVisible(label));  // gone
}

TEST_F(WindowSystemContract, EnabledIsTheWindowsOwnState) {
  WindowHandle top = Top();
  ButtonArgs args = Child<ButtonArgs>(top);
  args.disabled = true;
  WindowHandle disabled = ws_.CreateButton(args);
  WindowHandle button = ws_.CreateButton(Child<ButtonArgs>(top));
  EXPECT_FALSE(ws_.IsEnabled(disabled));
  EXPECT_TRUE(ws_.IsEnabled(button));
  ws_.Enable(disabled, true);
  ws_.Enable(button, false);
  EXPECT_TRUE(ws_.IsEnabled(disabled));
  EXPECT_FALSE(ws_.IsEnabled(button));
  ws_.Enable(top, false);
  EXPECT_FALSE(ws_.IsEnabled(top));
  EXPECT_TRUE(ws_.IsEnabled(disabled));  // its container's state is not its own
}

TEST_F(WindowSystemContract, ShowingATopLevelWindowFocusesItsFirstTabStop) {
  WindowHandle top = Top();
  ButtonArgs disabled_args = Child<ButtonArgs>(top, {8, 8, 80, 24}, true);
  disabled_args.disabled = true;
  const WindowHandle controls[] = {
      ws_.CreateLabel(Child<LabelArgs>(top, {8, 40, 80, 24})),
      ws_.CreateButton(disabled_args),
      ws_.CreateEdit(Child<EditArgs>(top, {8, 72, 80, 24}, true)),
      ws_.CreateButton(Child<ButtonArgs>(top, {8, 104, 80, 24}, true)),
  };
  for (WindowHandle control : controls)
    ws_.Show(control, ShowMode::kNormal);
  recorder_.events.clear();
  ws_.Show(top, ShowMode::kNormal);
  EXPECT_EQ(ws_.GetFocus(), controls[2]);
  EXPECT_EQ(recorder_.events, (std::vector<Event>{{Event::kFocusGained, controls[2]}}));
}

TEST_F(WindowSystemContract, SetContainerKeepsThePositionRelativeToTheNewContainer) {
  WindowHandle top = Top();
  WindowHandle group = ws_.CreateGroupBox(Child<GroupBoxArgs>(top, {8, 48, 448, 432}));
  WindowHandle edit = ws_.CreateEdit(Child<EditArgs>(top, {8, 21, 432, 402}));
  ws_.SetContainer(edit, group);
  EXPECT_EQ(ws_.GetRect(edit), (Rect{8, 21, 432, 402}));
  ws_.Destroy(group);  // takes its new child along
  EXPECT_FALSE(ws_.Exists(edit));
  EXPECT_TRUE(ws_.Exists(top));
}

TEST_F(WindowSystemContract, RectsAreInTheFormsPixelsBothWays) {
  const Rect top_rect{50, 60, 468, 533};
  WindowHandle top = Top(top_rect);
  EXPECT_EQ(ws_.GetRect(top), top_rect);  // the outer size, on the screen
  ws_.SetRect(top, {70, 80, 500, 400});
  EXPECT_EQ(ws_.GetRect(top), (Rect{70, 80, 500, 400}));
  for (const ControlKind& kind : AllKinds()) {
    std::string name = kind.name;
    if (name == "status bar") continue;  // it docks to its window
    WindowHandle control = kind.create(ws_, top, {12, 34, 156, 78});
    if (name == "drop-down list" || name == "drop-down combo box") {
      // Closed, it is as high as its field, whatever height it was given.
      std::int32_t closed = ws_.GetRect(kind.create(ws_, top, {12, 34, 156, 300})).height;
      EXPECT_GT(closed, 0) << name;
      EXPECT_LT(closed, 78) << name;
      EXPECT_EQ(ws_.GetRect(control), (Rect{12, 34, 156, closed})) << name;
      ws_.SetRect(control, {3, 5, 201, 99});
      EXPECT_EQ(ws_.GetRect(control), (Rect{3, 5, 201, closed})) << name;
      continue;
    }
    EXPECT_EQ(ws_.GetRect(control), (Rect{12, 34, 156, 78})) << name;
    ws_.SetRect(control, {3, 5, 201, 99});
    EXPECT_EQ(ws_.GetRect(control), (Rect{3, 5, 201, 99})) << name;
  }
}

TEST_F(WindowSystemContract, StatusBarKeepsATextPerPart) {
  WindowHandle top = Top();
  StatusBarArgs args = Child<StatusBarArgs>(top, {0, 678, 462, 20});
  args.parts = {{100, 0, "a"}, {-1, 0, "b"}};
  WindowHandle bar = ws_.CreateStatusBar(args);
  EXPECT_EQ(harness_->StatusTexts(bar), (std::vector<std::string>{"a", "b"}));
  ws_.SetStatusText(bar, 0, 0x200, kChinese);
  ws_.SetStatusText(bar, 1, 0x100, kCount);
  ws_.SetStatusText(bar, 2, 0, "no such part");
  ws_.SetStatusText(bar, -1, 0, "no such part");
  EXPECT_EQ(harness_->StatusTexts(bar), (std::vector<std::string>{kChinese, kCount}));
  EXPECT_EQ(ws_.GetText(bar), kChinese);  // the first part's
  ws_.SetStatusParts(bar, {{50, 0, "x"}, {60, 0, "y"}, {-1, 0, ""}});
  ws_.SetStatusText(bar, 2, 0, "z");
  EXPECT_EQ(harness_->StatusTexts(bar), (std::vector<std::string>{"x", "y", "z"}));
}

TEST_F(WindowSystemContract, DestroyReportsEachChildOnceBeforeItsParent) {
  WindowHandle top = Top();
  WindowHandle other = Top();
  WindowHandle group = ws_.CreateGroupBox(Child<GroupBoxArgs>(top, {8, 48, 448, 432}));
  WindowHandle inner = ws_.CreateEdit(Child<EditArgs>(group));
  WindowHandle moved = ws_.CreateEdit(Child<EditArgs>(top));
  ws_.SetContainer(moved, group);
  WindowHandle label = ws_.CreateLabel(Child<LabelArgs>(top));
  WindowHandle combo = ws_.CreateComboBox(Child<ComboBoxArgs>(top));
  WindowHandle single = ws_.CreateButton(Child<ButtonArgs>(top));
  recorder_.events.clear();
  ws_.Destroy(single);
  EXPECT_EQ(recorder_.events, (std::vector<Event>{{Event::kDestroyed, single}}));
  EXPECT_FALSE(ws_.Exists(single));
  ws_.Destroy(top);
  const struct {
    WindowHandle child;
    WindowHandle parent;
  } pairs[] = {{inner, group}, {moved, group}, {group, top}, {label, top}, {combo, top}};
  for (const auto& p : pairs) {
    int child_reports = 0;
    int parent_reports = 0;
    int child_at = recorder_.DestroyedAt(p.child, &child_reports);
    int parent_at = recorder_.DestroyedAt(p.parent, &parent_reports);
    EXPECT_EQ(child_reports, 1) << p.child;
    EXPECT_EQ(parent_reports, 1) << p.parent;
    EXPECT_LT(child_at, parent_at) << p.child;
    EXPECT_FALSE(ws_.Exists(p.child));
  }
  EXPECT_EQ(recorder_.events.size(), 7u);  // nothing else reported
  EXPECT_FALSE(ws_.Exists(top));
  EXPECT_TRUE(ws_.Exists(other));
  ws_.Destroy(top);  // a second time: nothing more
  EXPECT_EQ(recorder_.events.size(), 7u);
}

TEST_F(WindowSystemContract, APostedTaskRunsFromTheLoopAfterTheTaskThatPostedIt) {
  WindowHandle top = Top();
  std::vector<std::string> ran;
  ws_.PostTask(top, [&] {
    ran.push_back("first");
    ws_.PostTask(top, [&] { ran.push_back("posted by first"); });
    ran.push_back("first ends");
  });
  ws_.PostTask(top, [&] { ran.push_back("second"); });
  EXPECT_TRUE(ran.empty());  // not before the loop
  RunPosted();
  EXPECT_EQ(ran, (std::vector<std::string>{"first", "first ends", "second", "posted by first"}));
}

TEST_F(WindowSystemContract, PendingMessagesAreHandledOutsideTheLoopAndTheQuitMessageStays) {
  WindowHandle top = Top();
  std::vector<std::string> ran;
  ws_.PostTask(top, [&] {
    ran.push_back("first");
    ws_.PostTask(top, [&] { ran.push_back("posted by first"); });
  });
  ws_.PostQuit(0);
  ws_.ProcessPendingMessages();
  EXPECT_EQ(ran, (std::vector<std::string>{"first", "posted by first"}));
  // The loop ends on the quit message still waiting, before any idle work; had it been lost, the
  // idle step would run and end the loop itself.
  bool idled = false;
  ws_.RunMessageLoop([&](int) {
    idled = true;
    ws_.PostQuit(0);
    return false;
  });
  EXPECT_FALSE(idled);
}

TEST_F(WindowSystemContract, APostedTaskIsDroppedWhenItsWindowGoesFirst) {
  WindowHandle top = Top();
  WindowHandle before = ws_.CreateEdit(Child<EditArgs>(top));
  WindowHandle during = ws_.CreateButton(Child<ButtonArgs>(top));
  std::vector<std::string> ran;
  ws_.PostTask(before, [&] { ran.push_back("before"); });
  ws_.PostTask(top, [&] {
    ran.push_back("destroys");
    ws_.Destroy(during);
  });
  ws_.PostTask(during, [&] { ran.push_back("during"); });
  ws_.PostTask(top, [&] { ran.push_back("kept"); });
  ws_.Destroy(before);
  RunPosted();
  EXPECT_EQ(ran, (std::vector<std::string>{"destroys", "kept"}));
}

}  // namespace
}  // namespace marvane::os::contract
