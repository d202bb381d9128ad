#include "platform/headless/headless_window_system.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/headless/headless_test_recorders.h"

namespace marvane::os::headless {
namespace {

using testing::Event;
using testing::EventLog;

class WindowsTest : public ::testing::Test {
 protected:
  WindowsTest() { ws_.SetEventSink(&log_); }

  WindowHandle Top(std::string_view caption = "Marvane") {
    TopLevelArgs args;
    args.caption = caption;
    args.rect = {10, 20, 600, 400};
    return ws_.CreateTopLevel(args);
  }
  template <typename Args>
  Args Child(WindowHandle parent, bool tab_stop = false) {
    Args args;
    args.parent = parent;
    args.rect = {5, 6, 70, 20};
    args.tab_stop = tab_stop;
    return args;
  }
  std::vector<Event> Destroyed(std::initializer_list<WindowHandle> windows) {
    std::vector<Event> events;
    for (WindowHandle w : windows)
      events.push_back({Event::kDestroyed, w});
    return events;
  }

  HeadlessWindowSystem ws_;
  EventLog log_;
};

TEST_F(WindowsTest, HandlesAreDistinctNonZeroAndNeverReused) {
  std::set<WindowHandle> seen;
  for (int i = 0; i < 3; ++i) {
    WindowHandle top = Top();
    WindowHandle button = ws_.CreateButton(Child<ButtonArgs>(top));
    ASSERT_NE(top, 0u);
    ASSERT_NE(button, 0u);
    EXPECT_TRUE(seen.insert(top).second);
    EXPECT_TRUE(seen.insert(button).second);
    ws_.Destroy(top);
    EXPECT_FALSE(ws_.Exists(top));
    EXPECT_FALSE(ws_.Exists(button));
  }
}

TEST_F(WindowsTest, CreationFailsWithoutALiveContainerOrWhenScriptedToFail) {
  EXPECT_EQ(ws_.CreateEdit(Child<EditArgs>(0)), 0u);
  EXPECT_EQ(ws_.CreateLabel(Child<LabelArgs>(0x12345)), 0u);
  WindowHandle top = Top();
  ws_.FailCreationAfter(1);
  EXPECT_NE(ws_.CreateLabel(Child<LabelArgs>(top)), 0u);
  EXPECT_EQ(ws_.CreateButton(Child<ButtonArgs>(top)), 0u);
  EXPECT_NE(ws_.CreateButton(Child<ButtonArgs>(top)), 0u);  // only one creation fails
}

TEST_F(WindowsTest, KeepsCreationArgumentsWithTheirOwnCopiesOfTexts) {
  WindowHandle top;
  WindowHandle edit;
  {
    std::string caption = "caption";
    std::string content = "abc";
    TopLevelArgs top_args;
    top_args.caption = caption;
    top_args.icon = "ICON";
    top_args.minimize_box = true;
    top = ws_.CreateTopLevel(top_args);
    EditArgs args = Child<EditArgs>(top);
    args.text = content;
    args.multi_line = true;
    args.input = EditInput::kReadOnly;
    args.case_conversion = CaseConversion::kUpper;
    args.border = Border::kPlain;
    edit = ws_.CreateEdit(args);
    caption = content = "overwritten";
  }
  ASSERT_NE(ws_.top_level_args(top), nullptr);
  EXPECT_EQ(ws_.top_level_args(top)->caption, "caption");
  EXPECT_EQ(ws_.top_level_args(top)->icon, "ICON");
  EXPECT_TRUE(ws_.top_level_args(top)->minimize_box);
  const EditArgs* args = ws_.edit_args(edit);
  ASSERT_NE(args, nullptr);
  EXPECT_EQ(args->text, "abc");  // as asked for, not as the control converted it
  EXPECT_TRUE(args->multi_line);
  EXPECT_EQ(args->input, EditInput::kReadOnly);
  EXPECT_EQ(args->border, Border::kPlain);
  EXPECT_EQ(args->parent, top);
  EXPECT_EQ(ws_.button_args(edit), nullptr);
  EXPECT_EQ(ws_.KindOf(edit), WindowKind::kEdit);
  EXPECT_EQ(ws_.ParentOf(edit), top);
}

TEST_F(WindowsTest, HandlersSeeTheWindowDuringDestructionAndCannotDestroyItTwice) {
  WindowHandle top = Top();
  WindowHandle edit = ws_.CreateEdit(Child<EditArgs>(top));
  ws_.SetText(edit, "kept");
  log_.events.clear();
  std::vector<std::string> read;
  log_.react = [&](const Event& e) {
    if (e.kind != Event::kDestroyed) return;
    read.push_back(ws_.GetText(e.window));
    ws_.Destroy(top);   // already going: ignored
    ws_.Destroy(edit);  // likewise
    // No new window can go into one that is being destroyed.
    EXPECT_EQ(ws_.CreateLabel(Child<LabelArgs>(top)), 0u);
  };
  ws_.Destroy(top);
  EXPECT_EQ(read, (std::vector<std::string>{"kept", "Marvane"}));
  EXPECT_EQ(log_.events, Destroyed({edit, top}));
  EXPECT_TRUE(ws_.WindowsOfKind(WindowKind::kTopLevel).empty());
}

TEST_F(WindowsTest, SetContainerMovesAControlAndRefusesWhatCannotHoldIt) {
  WindowHandle top = Top();
  WindowHandle group = ws_.CreateGroupBox(Child<GroupBoxArgs>(top));
  WindowHandle edit = ws_.CreateEdit(Child<EditArgs>(top));
  ws_.SetContainer(edit, group);
  EXPECT_EQ(ws_.ParentOf(edit), group);
  EXPECT_EQ(ws_.ChildrenOf(top), (std::vector<WindowHandle>{group}));
  // Refused: into itself, into its own child, a top-level window, a missing container.
  ws_.SetContainer(group, group);
  ws_.SetContainer(group, edit);
  ws_.SetContainer(top, group);
  ws_.SetContainer(edit, 0x999);
  EXPECT_EQ(ws_.ParentOf(group), top);
  EXPECT_EQ(ws_.ParentOf(top), 0u);
  EXPECT_EQ(ws_.ParentOf(edit), group);
}

TEST_F(WindowsTest, TheShowModeIsKept) {
  WindowHandle top = Top();
  ws_.Show(top, ShowMode::kMinimized);
  EXPECT_EQ(ws_.GetShowMode(top), ShowMode::kMinimized);
}

TEST_F(WindowsTest, ShowingAWindowFocusesItsFirstReachableTabStop) {
  WindowHandle top = Top();
  ws_.CreateLabel(Child<LabelArgs>(top));
  ButtonArgs disabled_args = Child<ButtonArgs>(top, true);
  disabled_args.disabled = true;
  WindowHandle disabled = ws_.CreateButton(disabled_args);
  WindowHandle group = ws_.CreateGroupBox(Child<GroupBoxArgs>(top));
  WindowHandle nested = ws_.CreateEdit(Child<EditArgs>(group, true));
  WindowHandle later = ws_.CreateButton(Child<ButtonArgs>(top, true));
  for (WindowHandle control : ws_.ChildrenOf(top))
    ws_.Show(control, ShowMode::kNormal);
  ws_.Show(nested, ShowMode::kNormal);
  ws_.Show(top, ShowMode::kNormal);
  EXPECT_EQ(ws_.GetFocus(), nested);
  EXPECT_FALSE(ws_.IsEnabled(disabled));
  // Disabling, hiding or destroying what holds the focus takes it away, reported once.
  ws_.Enable(nested, false);
  EXPECT_EQ(ws_.GetFocus(), 0u);
  ws_.Enable(nested, true);
  ws_.Show(top, ShowMode::kHide);
  ws_.Show(top, ShowMode::kNormal);
  EXPECT_EQ(ws_.GetFocus(), nested);
  ws_.Destroy(group);
  EXPECT_EQ(ws_.GetFocus(), 0u);
  EXPECT_EQ(log_.events, (std::vector<Event>{{Event::kFocusGained, nested},
                                             {Event::kFocusLost, nested},
                                             {Event::kFocusGained, nested},
                                             {Event::kFocusLost, nested},
                                             {Event::kDestroyed, nested},
                                             {Event::kDestroyed, group}}));
  // Next time the window shows, the focus goes past the disabled button to the later one.
  ws_.Show(top, ShowMode::kHide);
  ws_.Show(top, ShowMode::kNormal);
  EXPECT_EQ(ws_.GetFocus(), later);
}

TEST_F(WindowsTest, AWindowWithoutTabStopsTakesTheFocusItself) {
  WindowHandle top = Top();
  ws_.CreateLabel(Child<LabelArgs>(top));
  ws_.Show(top, ShowMode::kNormal);
  EXPECT_EQ(ws_.GetFocus(), top);
}

TEST_F(WindowsTest, DropDownListSelectsNothingOutOfRangeAndSelectsByText) {
  WindowHandle top = Top();
  ComboBoxArgs args = Child<ComboBoxArgs>(top);
  args.items = {"first", "second"};
  args.selection = 7;  // out of range: nothing selected
  WindowHandle combo = ws_.CreateComboBox(args);
  EXPECT_EQ(ws_.GetComboSelection(combo), -1);
  EXPECT_EQ(ws_.GetText(combo), "");
  struct {
    std::int32_t select;
    std::int32_t selected;
    const char* text;
  } steps[] = {{1, 1, "second"}, {2, -1, ""}};
  for (const auto& s : steps) {
    ws_.SetComboSelection(combo, s.select);
    EXPECT_EQ(ws_.GetComboSelection(combo), s.selected) << s.select;
    EXPECT_EQ(ws_.GetText(combo), s.text) << s.select;
  }
  ws_.SetText(combo, "second");  // a list without a field selects the matching item
  EXPECT_EQ(ws_.GetComboSelection(combo), 1);
  ws_.SetText(combo, "neither");
  EXPECT_EQ(ws_.GetText(combo), "second");
  // The scripted user finds controls by what they show.
  WindowHandle save = ws_.CreateButton(Child<ButtonArgs>(top));
  ws_.SetText(save, "save");
  EXPECT_EQ(ws_.FindByText(WindowKind::kComboBox, "second"), combo);
  EXPECT_EQ(ws_.FindByText(WindowKind::kButton, "save"), save);
  EXPECT_EQ(ws_.FindByText(WindowKind::kButton, "second"), 0u);
}

TEST_F(WindowsTest, StatusBarKeepsPartsAndDocksToItsWindow) {
  WindowHandle top = Top();
  StatusBarArgs args = Child<StatusBarArgs>(top);
  args.rect = {0, 678, 50, 20};
  args.parts = {{500, 0, "start"}};
  WindowHandle bar = ws_.CreateStatusBar(args);
  EXPECT_EQ(ws_.GetRect(bar), (Rect{0, 380, 600, 20}));  // along the bottom, whatever its top
  ws_.SetStatusText(bar, 0, 0x200, "text");
  std::vector<StatusPart> parts = ws_.StatusParts(bar);
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_EQ(parts[0].border, 0x200u);
  EXPECT_EQ(parts[0].width, 500);
  ws_.SetRect(top, {0, 0, 300, 200});
  EXPECT_EQ(ws_.GetRect(bar), (Rect{0, 180, 300, 20}));
}

}  // namespace
}  // namespace marvane::os::headless
