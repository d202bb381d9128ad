#include <gtest/gtest.h>

#include "platform/headless/fake_drag_data.h"
#include "platform/headless/headless_test_recorders.h"
#include "platform/headless/headless_window_system.h"

namespace marvane::os::headless {
namespace {

using testing::RecordingSink;
using Calls = std::vector<std::string>;

class DragTest : public ::testing::Test {
 protected:
  DragTest() {
    ws_.InitializeDragDrop();
    TopLevelArgs args;
    args.rect = {0, 0, 400, 300};
    top_ = ws_.CreateTopLevel(args);
    GroupBoxArgs group;
    group.parent = top_;
    group_ = ws_.CreateGroupBox(group);
    EditArgs edit;
    edit.parent = group_;
    edit_ = ws_.CreateEdit(edit);
    ws_.Show(group_, ShowMode::kNormal);
    ws_.Show(edit_, ShowMode::kNormal);
    ws_.Show(top_, ShowMode::kNormal);
  }

  HeadlessWindowSystem ws_;
  WindowHandle top_ = 0;
  WindowHandle group_ = 0;
  WindowHandle edit_ = 0;
};

TEST_F(DragTest, RegisteredFormatsAreStablePerNameWhateverTheCase) {
  std::uint32_t html = ws_.RegisterFormat("HTML Format");
  std::uint32_t link = ws_.RegisterFormat("UniformResourceLocator");
  EXPECT_GE(html, 0xC000u);
  EXPECT_GE(link, 0xC000u);
  EXPECT_NE(html, link);
  EXPECT_EQ(ws_.RegisterFormat("HTML Format"), html);
  EXPECT_EQ(ws_.RegisterFormat("html FORMAT"), html);
  EXPECT_EQ(ws_.RegisterFormat(""), 0u);
}

TEST(DragRegistrationTest, RefusedBeforeInitialisationAndForMissingOrTakenWindows) {
  HeadlessWindowSystem ws;
  RecordingSink first;
  RecordingSink second;
  TopLevelArgs args;
  WindowHandle top = ws.CreateTopLevel(args);
  WindowHandle other = ws.CreateTopLevel(args);
  EXPECT_FALSE(ws.RegisterDropTarget(top, &first));  // drag and drop not initialised
  EXPECT_TRUE(ws.InitializeDragDrop());
  EXPECT_EQ(ws.drag_drop_initializations(), 1);
  struct {
    const char* name;
    WindowHandle window;
    DropSink* sink;
    bool accepted;
  } steps[] = {
      {"missing window", 0x999, &first, false},
      {"no sink", top, nullptr, false},
      {"first", top, &first, true},
      {"second on the same window", top, &second, false},
      {"another window", other, &second, true},
  };
  for (const auto& s : steps)
    EXPECT_EQ(ws.RegisterDropTarget(s.window, s.sink), s.accepted) << s.name;
  EXPECT_EQ(ws.DropTargetOf(top), &first);
  ws.RevokeDropTarget(top);
  EXPECT_EQ(ws.DropTargetOf(top), nullptr);
  EXPECT_TRUE(ws.RegisterDropTarget(top, &second));
  ws.ReleaseDragDrop();
  EXPECT_EQ(ws.drag_drop_initializations(), 0);
}

TEST_F(DragTest, TheTargetsEffectsDecideBetweenDropAndLeave) {
  struct {
    const char* name;
    std::uint32_t enter;
    std::uint32_t over;
    Calls calls;
    bool dropped;
    std::uint32_t result;
  } cases[] = {
      {"accepted",
       drag::kEffectCopy,
       drag::kEffectCopy,
       {"enter", "over", "drop"},
       true,
       drag::kEffectMove},
      {"refused",
       drag::kEffectNone,
       drag::kEffectNone,
       {"enter", "over", "leave"},
       false,
       drag::kEffectNone},
      {"refused on the way",
       drag::kEffectCopy,
       drag::kEffectNone,
       {"enter", "over", "leave"},
       false,
       drag::kEffectNone},
      {"accepted on the way",
       drag::kEffectNone,
       drag::kEffectLink,
       {"enter", "over", "drop"},
       true,
       drag::kEffectMove},
  };
  for (const auto& c : cases) {
    RecordingSink sink;
    sink.enter_effect = c.enter;
    sink.over_effect = c.over;
    sink.drop_effect = drag::kEffectMove;
    ASSERT_TRUE(ws_.RegisterDropTarget(edit_, &sink));
    FakeDragData data = FakeDragData::Files({"C:\\a.ini", "D:\\b.xml"});
    DragOutcome outcome =
        ws_.Drag(edit_, data, drag::kControl, drag::kEffectCopy | drag::kEffectLink);
    EXPECT_EQ(sink.calls, c.calls) << c.name;
    EXPECT_EQ(outcome.target, edit_) << c.name;
    EXPECT_EQ(outcome.enter, c.enter) << c.name;
    EXPECT_EQ(outcome.over, c.over) << c.name;
    EXPECT_EQ(outcome.dropped, c.dropped) << c.name;
    EXPECT_EQ(outcome.result, c.result) << c.name;
    EXPECT_EQ(sink.seen_keys, drag::kControl) << c.name;
    EXPECT_EQ(sink.seen_allowed, drag::kEffectCopy | drag::kEffectLink) << c.name;
    EXPECT_TRUE(sink.has_files) << c.name;
    std::vector<std::string> want_files;
    if (c.dropped) want_files = {"C:\\a.ini", "D:\\b.xml"};
    EXPECT_EQ(sink.files, want_files) << c.name;
    ws_.RevokeDropTarget(edit_);
  }
}

TEST_F(DragTest, ADropGoesToTheNearestRegisteredWindowOnTheScreen) {
  RecordingSink outer;
  RecordingSink inner;
  ASSERT_TRUE(ws_.RegisterDropTarget(top_, &outer));
  FakeDragData data = FakeDragData::Text("x");
  EXPECT_EQ(ws_.Drag(edit_, data, 0, drag::kEffectCopy).target, top_);
  ASSERT_TRUE(ws_.RegisterDropTarget(group_, &inner));
  EXPECT_EQ(ws_.Drag(edit_, data, 0, drag::kEffectCopy).target, group_);
  EXPECT_EQ(ws_.Drag(top_, data, 0, drag::kEffectCopy).target, top_);
  ws_.Show(group_, ShowMode::kHide);
  EXPECT_EQ(ws_.Drag(edit_, data, 0, drag::kEffectCopy).target, 0u);  // not on the screen
  ws_.Show(group_, ShowMode::kNormal);
  ws_.ReleaseDragDrop();
  EXPECT_EQ(ws_.Drag(edit_, data, 0, drag::kEffectCopy).target, 0u);  // no drag and drop
  EXPECT_EQ(inner.calls, (Calls{"enter", "over", "drop"}));
  EXPECT_EQ(outer.calls, (Calls{"enter", "over", "drop", "enter", "over", "drop"}));
  TopLevelArgs args;
  WindowHandle unregistered = ws_.CreateTopLevel(args);
  ws_.Show(unregistered, ShowMode::kNormal);
  ws_.InitializeDragDrop();
  EXPECT_EQ(ws_.Drag(unregistered, data, 0, drag::kEffectCopy).target, 0u);
}

TEST_F(DragTest, ATargetWhoseWindowGoesDuringTheDragIsNotCalledAgain) {
  RecordingSink sink;
  sink.during_enter = [&] { ws_.Destroy(top_); };
  ASSERT_TRUE(ws_.RegisterDropTarget(edit_, &sink));
  FakeDragData data = FakeDragData::Files({"a"});
  DragOutcome outcome = ws_.Drag(edit_, data, 0, drag::kEffectCopy);
  EXPECT_EQ(sink.calls, (Calls{"enter"}));
  EXPECT_FALSE(outcome.dropped);
  EXPECT_EQ(outcome.result, drag::kEffectNone);
  EXPECT_EQ(ws_.DropTargetOf(edit_), nullptr);  // the registration went with the window
}

TEST_F(DragTest, APostedDragHappensInTheLoop) {
  RecordingSink sink;
  ASSERT_TRUE(ws_.RegisterDropTarget(edit_, &sink));
  ws_.PostDrag(edit_, FakeDragData::Files({"C:\\list.ini"}), 0, drag::kEffectCopy);
  EXPECT_TRUE(sink.calls.empty());
  ws_.set_close_when_dry(false);
  ws_.RunMessageLoop(nullptr);
  EXPECT_EQ(sink.files, (std::vector<std::string>{"C:\\list.ini"}));
  EXPECT_TRUE(ws_.last_drag().dropped);
  EXPECT_EQ(ws_.last_drag().target, edit_);
}

TEST(FakeDragDataTest, OffersWhatItWasGiven) {
  std::uint32_t html = 0xC001;
  struct {
    const char* name;
    FakeDragData data;
    bool has_text, has_files, has_html;
    bool text_read, files_read;
  } cases[] = {
      {"files", FakeDragData::Files({"a", "b"}), false, true, false, false, true},
      {"no files at all", FakeDragData::Files({}), false, true, false, false, true},
      {"text", FakeDragData::Text("t"), true, false, false, true, false},
      {"html beside text", FakeDragData::Text("t").AddText(html, "<b>"), true, false, true, true,
       false},
      {"unreadable text", FakeDragData().AddUnreadable(kTextFormat), true, false, false, false,
       false},
      {"unreadable files", FakeDragData().AddUnreadable(kFilesFormat), false, true, false, false,
       false},
  };
  for (auto& c : cases) {
    EXPECT_EQ(c.data.HasFormat(kTextFormat), c.has_text) << c.name;
    EXPECT_EQ(c.data.HasFormat(kFilesFormat), c.has_files) << c.name;
    EXPECT_EQ(c.data.HasFormat(html), c.has_html) << c.name;
    std::string text;
    EXPECT_EQ(c.data.GetText(kTextFormat, &text), c.text_read) << c.name;
    EXPECT_FALSE(c.data.GetText(kFilesFormat, &text)) << c.name;  // a file list is no text
    std::vector<std::string> files;
    EXPECT_EQ(c.data.GetFiles(&files), c.files_read) << c.name;
    EXPECT_EQ(c.data.reads(), 3) << c.name;
  }
  FakeDragData two = FakeDragData::Files({"a", "b"});
  std::vector<std::string> files;
  ASSERT_TRUE(two.GetFiles(&files));
  EXPECT_EQ(files, (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace marvane::os::headless
