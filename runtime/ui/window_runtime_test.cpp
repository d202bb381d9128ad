// The window runtime on the headless window system, with the real form description and test
// handlers in place of the program's.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/cursor_data.h"
#include "platform/headless/desktop.h"
#include "resources/embedded.h"
#include "runtime/ui/components/drop_target.h"
#include "runtime/ui/components/status_bar.h"
#include "runtime/ui/components/window.h"
#include "runtime/ui/dispatch.h"
#include "runtime/ui/idle.h"
#include "runtime/ui/libraries.h"
#include "runtime/ui/properties.h"
#include "runtime/ui/runtime.h"
#include "runtime/ui/runtime_state.h"
#include "runtime/values/core.h"
#include "tests/support/runtime_fixture.h"
#include "tests/support/values_helpers.h"

namespace marvane::ui {
namespace {

using os::headless::WindowKind;
using testing::Gbk;

constexpr std::uint32_t kWindow = 0x52010001;
constexpr std::uint32_t kCombo = 0x16010010;
constexpr std::uint32_t kLabel = 0x16010011;
constexpr std::uint32_t kGroup = 0x16010014;
constexpr std::uint32_t kEdit = 0x16010015;
constexpr std::uint32_t kButton = 0x16010016;
constexpr std::uint32_t kBar = 0x16010040;
constexpr std::uint32_t kDrop = 0x16010074;

std::vector<std::string> calls;
std::string dropped;
// When set, the drop handler ends the program with a fatal report, keeping the text it was given.
bool end_in_drop = false;
const char* dropped_block = nullptr;

std::int64_t Created(const std::uintptr_t*, std::int32_t) {
  // The created event comes with every component in place and the window not yet shown.
  auto* windows = static_cast<os::headless::HeadlessWindowSystem*>(os::Current().windows);
  auto tops = windows->WindowsOfKind(WindowKind::kTopLevel);
  calls.push_back(!tops.empty() && !windows->IsVisible(tops[0]) ? "created, hidden" : "created");
  return 0;
}
std::int64_t Dropped(const std::uintptr_t* args, std::int32_t count) {
  calls.push_back("dropped");
  dropped = count == 1 ? *reinterpret_cast<const char* const*>(args[0]) : "";
  if (end_in_drop && count == 1) {
    dropped_block = *reinterpret_cast<const char* const*>(args[0]);
    RuntimeRequest(request::kFatal, reinterpret_cast<std::intptr_t>("stop"), 0);
  }
  return 0;
}
std::int64_t Clicked(const std::uintptr_t*, std::int32_t) {
  calls.push_back("clicked");
  return 0;
}
void ExitA() {
  calls.push_back("exit a");
}
void ExitB() {
  calls.push_back("exit b");
}

const Handler kHandlers[] = {Created, Dropped, Clicked};

class WindowRuntimeTest : public testing::RuntimeTest {
 protected:
  WindowRuntimeTest() {
    calls.clear();
    dropped.clear();
    stream_.assign(reinterpret_cast<const char*>(resources::kFormDescription),
                   resources::kFormDescriptionSize);
    header_ = {3, 0, 100302, kHandlers, 3, nullptr, 0, nullptr, 0, kLibraryCount, Libraries(), 0};
    process_.set_program_path("C:\\tools\\marvane.exe");
  }
  ~WindowRuntimeTest() override { ResetRuntime(); }

  // Starts the runtime and loads the start-up window, without running the loop; `change` alters
  // a unit of the form as read before the window is loaded.
  void Start(std::uint32_t unit = 0, const std::function<void(Unit&)>& change = {}) {
    header_.form_description = reinterpret_cast<const unsigned char*>(stream_.data());
    header_.form_description_size = stream_.size();
    SetProgram(&header_);
    InitializeRuntime();
    for (Unit& u : State().form.windows[0].units) {
      if (change && u.id == unit) change(u);
    }
    LoadWindow(kWindow);
  }
  os::headless::HeadlessWindowSystem& windows() { return desktop_.windows(); }
  os::WindowHandle HandleOf(std::uint32_t unit) {
    std::intptr_t object = RuntimeRequest(2006, kWindow, unit);
    return object ? SystemWindowOf(object) : 0;
  }
  // The one report shown, or "" when none was.
  std::string Report() const {
    return dialogs_.shown().size() == 1 ? dialogs_.shown()[0].text : std::string();
  }

  std::string stream_;
  ProgramHeader header_{};
  os::headless::Desktop desktop_{&dialogs_};
};

TEST_F(WindowRuntimeTest, LoadsTheStartupWindowAsStored) {
  Start();
  EXPECT_EQ(calls, std::vector<std::string>{"created, hidden"});
  auto tops = windows().WindowsOfKind(WindowKind::kTopLevel);
  ASSERT_EQ(tops.size(), 1u);
  const os::TopLevelArgs* top = windows().top_level_args(tops[0]);
  EXPECT_EQ(top->caption, "Marvane");
  // Centred on a 1024 x 768 screen: the stored 50, 50 is ignored.
  EXPECT_EQ(top->rect, (os::Rect{(1024 - 468) / 2, (768 - 533) / 2, 468, 533}));
  EXPECT_TRUE(top->title_bar && top->system_menu && top->minimize_box);
  EXPECT_FALSE(top->maximize_box || top->sizing_frame);
  EXPECT_EQ(top->icon.size(), 9662u);
  EXPECT_TRUE(windows().IsVisible(tops[0]));

  // Control numbers from 100 in steps of 10, in unit order (the drop target takes 100).
  struct Expected {
    std::uint32_t unit;
    std::int32_t id;
    WindowKind kind;
  };
  const Expected controls[] = {
      {kBar, 110, WindowKind::kStatusBar}, {kButton, 120, WindowKind::kButton},
      {kEdit, 130, WindowKind::kEdit},     {kGroup, 140, WindowKind::kGroupBox},
      {kLabel, 150, WindowKind::kLabel},   {kCombo, 160, WindowKind::kComboBox}};
  for (const Expected& c : controls) {
    os::WindowHandle h = HandleOf(c.unit);
    ASSERT_NE(h, 0u) << c.unit;
    EXPECT_EQ(windows().KindOf(h), c.kind) << c.unit;
    EXPECT_TRUE(windows().IsVisible(h)) << c.unit;
  }
  EXPECT_EQ(windows().button_args(HandleOf(kButton))->id, 120);
  EXPECT_EQ(windows().edit_args(HandleOf(kEdit))->id, 130);
  EXPECT_EQ(windows().combo_box_args(HandleOf(kCombo))->id, 160);

  // The edit box lies inside the group box, 8 and 21 pixels from its edges.
  EXPECT_EQ(windows().ParentOf(HandleOf(kEdit)), HandleOf(kGroup));
  EXPECT_EQ(windows().GetRect(HandleOf(kEdit)).left, 8);
  EXPECT_EQ(windows().GetRect(HandleOf(kEdit)).top, 21);
  const os::EditArgs* edit = windows().edit_args(HandleOf(kEdit));
  EXPECT_TRUE(edit->multi_line && edit->vertical_scroll && !edit->horizontal_scroll);
  EXPECT_EQ(edit->input, os::EditInput::kReadOnly);
  EXPECT_EQ(edit->case_conversion, os::CaseConversion::kUpper);
  EXPECT_EQ(edit->border, os::Border::kPlain);
  EXPECT_EQ(edit->max_length, 0u);
  EXPECT_EQ(edit->background, 0xFFFFFFu);
  const os::ComboBoxArgs* combo = windows().combo_box_args(HandleOf(kCombo));
  EXPECT_EQ(combo->kind, os::ComboKind::kDropDownList);
  EXPECT_GE(combo->rect.height, 160);
  EXPECT_EQ(combo->items, (std::vector<std::string>{Gbk("云更新无盘"), Gbk("顺网无盘9系列")}));
  EXPECT_EQ(windows().GetText(HandleOf(kCombo)), Gbk("云更新无盘"));
  EXPECT_EQ(windows().GetText(HandleOf(kLabel)), Gbk("请选择无盘："));
  EXPECT_EQ(windows().GetText(HandleOf(kGroup)), Gbk("请将列表文件拖放至这里"));
  EXPECT_EQ(windows().GetText(HandleOf(kButton)), Gbk("保存"));
  const os::StatusBarArgs* bar = windows().status_bar_args(HandleOf(kBar));
  EXPECT_EQ(bar->dock, os::Dock::kBottom);
  ASSERT_EQ(bar->parts.size(), 1u);
  EXPECT_EQ(bar->parts[0].width, 500);
  // The drop target has an object but no window.
  EXPECT_NE(RuntimeRequest(2006, kWindow, kDrop), 0);
  EXPECT_EQ(HandleOf(kDrop), 0u);
  // The run directory is the program's.
  EXPECT_STREQ(RunDirectory(), "C:\\tools");
  EXPECT_EQ(process_.current_directory(), "C:\\tools");
}

TEST_F(WindowRuntimeTest, CommonPropertiesAreClamped) {
  Start();
  struct Case {
    std::int32_t property;
    std::int32_t written;
    std::int64_t read;
  };
  const Case cases[] = {
      {property::kLeft, -40000, -32627}, {property::kTop, 40000, 32627},
      {property::kWidth, 40000, 32627},  {property::kHeight, -5, 0},
      {property::kWidth, 100, 100},
  };
  for (const Case& c : cases) {
    SetProperty(kWindow, kButton, c.property, -1, static_cast<std::uint32_t>(c.written), 0);
    EXPECT_EQ(GetProperty(kWindow, kButton, c.property, -1), c.read) << c.property;
  }
  SetProperty(kWindow, kButton, property::kVisible, -1, 0, 0);
  EXPECT_FALSE(windows().IsVisible(HandleOf(kButton)));
  EXPECT_EQ(GetProperty(kWindow, kButton, property::kVisible, -1), 0);
}

TEST_F(WindowRuntimeTest, TheMouseCursorShowsFromTheStartAndWhenWritten) {
  Start(kButton, [](Unit& unit) { unit.cursor = os::cursor::DataOf(os::cursor::kHand); });
  EXPECT_EQ(windows().CursorOf(HandleOf(kButton)), os::cursor::kHand);
  EXPECT_EQ(windows().CursorOf(HandleOf(kEdit)), os::cursor::kDefault);
  std::string cross = os::cursor::DataOf(os::cursor::kCross);
  OwnedByteSet written(MakeByteSet(cross.data(), cross.size()));
  ValueRecord value = ByteSetArg(written.get());
  SetProperty(kWindow, kEdit, property::kCursor, -1, value.low, value.high);
  EXPECT_EQ(windows().CursorOf(HandleOf(kEdit)), os::cursor::kCross);
  SetProperty(kWindow, kEdit, 15, -1, 0, 0);  // made anew, it keeps its cursor
  EXPECT_EQ(windows().CursorOf(HandleOf(kEdit)), os::cursor::kCross);
}

TEST_F(WindowRuntimeTest, SettingTheEditBoxContentRaisesItsContentChangedEvent) {
  Start(kEdit, [](Unit& unit) { unit.events.push_back({0, 2}); });  // the click handler
  calls.clear();
  ValueRecord abc = PointerValue("abc", type::kText);
  SetProperty(kWindow, kEdit, 8, -1, abc.low, abc.high);
  SetProperty(kWindow, kEdit, 8, -1, 0, 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"clicked", "clicked"}));
}

TEST_F(WindowRuntimeTest, OwnPropertiesOfEditAndCombo) {
  Start();
  auto text = [](std::int64_t v) {
    return testing::TakeText({static_cast<std::uint32_t>(v),
                              static_cast<std::uint32_t>(static_cast<std::uint64_t>(v) >> 32), 0});
  };
  ValueRecord abc = PointerValue("abc", type::kText);
  SetProperty(kWindow, kEdit, 8, -1, abc.low, abc.high);
  EXPECT_EQ(text(GetProperty(kWindow, kEdit, 8, -1)), "ABC");  // the box shows capitals
  SetProperty(kWindow, kEdit, 8, -1, 0, 0);                    // a null text empties it
  EXPECT_EQ(text(GetProperty(kWindow, kEdit, 8, -1)), std::nullopt);

  struct Case {
    std::int32_t written;
    std::int32_t selection;
    std::string content;
  };
  const Case cases[] = {{1, 1, Gbk("顺网无盘9系列")},
                        {5, 1, Gbk("顺网无盘9系列")},
                        {-3, -1, ""},
                        {0, 0, Gbk("云更新无盘")}};
  for (const Case& c : cases) {
    SetProperty(kWindow, kCombo, 19, -1, static_cast<std::uint32_t>(c.written), 0);
    EXPECT_EQ(windows().GetComboSelection(HandleOf(kCombo)), c.selection) << c.written;
    EXPECT_EQ(text(GetProperty(kWindow, kCombo, 9, -1)).value_or(""), c.content) << c.written;
  }
  // A number beyond the class's properties does nothing and reads 0.
  EXPECT_EQ(GetProperty(kWindow, kCombo, 200, -1), 0);
  SetProperty(kWindow, kCombo, 200, -1, 1, 0);
}

TEST_F(WindowRuntimeTest, RebuildKeepsContentAndPlace) {
  Start();
  ValueRecord abc = PointerValue("abc", type::kText);
  SetProperty(kWindow, kEdit, 8, -1, abc.low, abc.high);
  os::WindowHandle before = HandleOf(kEdit);
  const std::int32_t number = windows().edit_args(before)->id;
  // What waits is handled first, against the old control and with events delivered.
  calls.clear();
  windows().Click(HandleOf(kButton));
  os::WindowHandle seen = 0;
  windows().Post([&] { seen = HandleOf(kEdit); });
  SetProperty(kWindow, kEdit, 15, -1, 0, 0);  // multi-line off: only a new control can do it
  EXPECT_EQ(calls, std::vector<std::string>{"clicked"});
  EXPECT_EQ(seen, before);
  os::WindowHandle after = HandleOf(kEdit);
  EXPECT_NE(after, before);
  EXPECT_EQ(windows().edit_args(after)->id, number);
  EXPECT_FALSE(windows().Exists(before));
  EXPECT_FALSE(windows().edit_args(after)->multi_line);
  EXPECT_EQ(windows().GetText(after), "ABC");
  EXPECT_EQ(windows().ParentOf(after), HandleOf(kGroup));
  EXPECT_EQ(GetProperty(kWindow, kEdit, 15, -1), 0);
}

// Each idle phase calls the callbacks of live windows, then from count 2 offers the window the time
// since idle began until it wants no more.
TEST_F(WindowRuntimeTest, IdleWorkOfCallbacksAndWindows) {
  Start();
  auto* top = reinterpret_cast<WindowComponent*>(RuntimeRequest(2006, kWindow, 0));
  ASSERT_NE(top, nullptr);
  auto record = [](std::intptr_t value) { calls.push_back("callback " + std::to_string(value)); };
  RegisterIdleCallback(top->handle(), record, 1);
  RegisterIdleCallback(HandleOf(kButton), record, 2);
  windows().Destroy(HandleOf(kButton));  // its callback goes with it
  int wanted = 0;
  top->set_idle_hook([&](std::uint32_t elapsed) {
    calls.push_back(elapsed >= 40 ? "offered" : "offered too early");
    return --wanted > 0;
  });
  struct Step {
    int count;
    int wanted;  // before the step
    bool more;
    std::vector<std::string> calls;
  };
  const Step steps[] = {
      {0, 2, true, {"callback 1"}}, {1, 2, true, {}},  {2, 2, true, {"offered"}},
      {3, 1, false, {"offered"}},   {4, 0, false, {}},  // left out for the rest of the phase
      {0, 1, true, {"callback 1"}}, {1, 1, true, {}},  {2, 1, false, {"offered"}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.count);
    calls.clear();
    wanted = step.wanted;
    EXPECT_EQ(IdleStep(step.count), step.more);
    if (step.count == 0) windows().AdvanceTicks(40);
    EXPECT_EQ(calls, step.calls);
  }
}

// A component whose window is gone tells the runtime (2000), which lets go of it; the window's own
// notice takes the window off the loaded ones, and the last one ends the loop.
TEST_F(WindowRuntimeTest, DestructionNoticeLetsGoOfTheComponent) {
  Start();
  Notify(notify::kComponentDestroyed, kWindow, kDrop);
  EXPECT_EQ(RuntimeRequest(2006, kWindow, kDrop), 0);
  EXPECT_NE(RuntimeRequest(2006, kWindow, kButton), 0);
  Notify(notify::kComponentDestroyed, kWindow, 0);
  EXPECT_EQ(RuntimeRequest(2006, kWindow, kButton), 0);

  // Closing a window sends the notices: the quit message ends the loop.
  ResetRuntime();
  Start();
  windows().Close(windows().WindowsOfKind(WindowKind::kTopLevel)[0]);
  EXPECT_EQ(RunToEnd([] { RunMessageLoop(); }), std::nullopt);
  EXPECT_EQ(windows().last_loop_end(), os::headless::LoopEnd::kQuit);
  EXPECT_EQ(RuntimeRequest(2006, kWindow, 0), 0);
}

// As the window shows, the control that takes the focus has its got-focus event raised once.
TEST_F(WindowRuntimeTest, GotFocusIsRaisedOnceAsTheWindowShows) {
  // The button's one binding, (event 0, handler 2), bound to got focus (-7) instead.
  const std::string binding("\x01\0\0\0\0\0\0\0\x02\0\0\0", 12);
  std::size_t at = stream_.find(binding);
  ASSERT_NE(at, std::string::npos);
  ASSERT_EQ(stream_.find(binding, at + 1), std::string::npos);
  stream_.replace(at + 4, 4, "\xF9\xFF\xFF\xFF", 4);
  Start();
  EXPECT_EQ(calls, (std::vector<std::string>{"created, hidden", "clicked"}));
}

TEST_F(WindowRuntimeTest, EventsReachTheBoundHandlers) {
  Start();
  calls.clear();
  EXPECT_EQ(RaiseSimpleEvent(kWindow, kButton, 0), 1);
  EXPECT_EQ(RaiseSimpleEvent(kWindow, kButton, 5), 0);  // not bound: dropped silently
  EXPECT_EQ(RaiseSimpleEvent(kWindow, kEdit, 0), 0);
  EXPECT_EQ(calls, std::vector<std::string>{"clicked"});
  windows().Click(HandleOf(kButton));
  windows().Close(windows().WindowsOfKind(WindowKind::kTopLevel)[0]);
  EXPECT_EQ(RunToEnd([] { RunMessageLoop(); }), std::nullopt);  // the loop returns on close
  EXPECT_EQ(calls, (std::vector<std::string>{"clicked", "clicked"}));
}

TEST_F(WindowRuntimeTest, DropTargetDeliversFilesOnlyToTheRegisteredBox) {
  Start();
  ValueRecord self{kWindow, kDrop, type::kDropTarget};
  auto edit = static_cast<std::uint32_t>(HandleOf(kEdit));
  ValueRecord registered =
      CallLibrary(RegisterDropArea, {self, IntValue(static_cast<std::int32_t>(edit))});
  EXPECT_EQ(registered.low, 1u);
  EXPECT_EQ(registered.type, type::kBool);
  EXPECT_EQ(
      CallLibrary(RegisterDropArea, {self, IntValue(static_cast<std::int32_t>(HandleOf(kButton)))})
          .low,
      0u);

  struct Case {
    const char* name;
    os::headless::FakeDragData data;
    std::uint32_t keys;
    std::uint32_t allowed;
    std::uint32_t effect;
    std::string delivered;  // "" when no event is raised
  };
  using os::headless::FakeDragData;
  using namespace os::drag;
  const std::uint32_t all = kEffectCopy | kEffectMove | kEffectLink;
  Case cases[] = {
      {"one file", FakeDragData::Files({"C:\\a.ini"}), 0, all, kEffectCopy, "C:\\a.ini"},
      {"two files", FakeDragData::Files({"C:\\a", "C:\\b"}), 0, all, kEffectCopy,
       "C:\\a\r\nC:\\b\r\n"},
      {"text", FakeDragData::Text("hello"), 0, all, kEffectNone, ""},
      {"control", FakeDragData::Files({"x"}), kControl, all, kEffectCopy, "x"},
      {"shift", FakeDragData::Files({"x"}), kShift, all, kEffectMove, "x"},
      {"control shift", FakeDragData::Files({"x"}), kControl | kShift, all, kEffectNone, ""},
      {"move only", FakeDragData::Files({"x"}), 0, kEffectMove, kEffectMove, "x"},
      {"link only", FakeDragData::Files({"x"}), 0, kEffectLink, kEffectLink, "x"},
      {"control, copy not allowed", FakeDragData::Files({"x"}), kControl, kEffectMove, kEffectNone,
       ""},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    dropped.clear();
    calls.clear();
    auto outcome = windows().Drag(edit, c.data, c.keys, c.allowed);
    EXPECT_EQ(outcome.result, c.effect);
    EXPECT_EQ(dropped, c.delivered);
    EXPECT_EQ(calls.size(), c.delivered.empty() ? 0u : 1u);
  }
  // Anywhere else on the window is not a drop area.
  auto data = os::headless::FakeDragData::Files({"x"});
  EXPECT_EQ(windows().Drag(HandleOf(kButton), data, 0, all).target, 0u);

  // The drop itself only answers the effect: the handler runs from the message loop after it, so
  // the program that started the drag is let go first.
  dropped.clear();
  os::DropSink* sink = windows().DropTargetOf(edit);
  ASSERT_NE(sink, nullptr);
  auto late = os::headless::FakeDragData::Files({"C:\\late.ini"});
  sink->DragEnter(late, 0, all);
  EXPECT_EQ(sink->Drop(late, 0, all), kEffectCopy);
  EXPECT_EQ(dropped, "");
  windows().Close(windows().WindowsOfKind(WindowKind::kTopLevel)[0]);
  EXPECT_EQ(RunToEnd([] { RunMessageLoop(); }), std::nullopt);
  EXPECT_EQ(dropped, "C:\\late.ini");
}

// A heap that remembers which blocks were freed.
class FreeRecordingHeap final : public os::Heap {
 public:
  explicit FreeRecordingHeap(os::Heap* base) : base_(base) {}
  void* Allocate(std::size_t size) override { return base_->Allocate(size); }
  void* Reallocate(void* block, std::size_t size) override {
    return base_->Reallocate(block, size);
  }
  void Free(void* block) override {
    freed_.push_back(block);
    base_->Free(block);
  }
  bool WasFreed(const void* block) const {
    return std::find(freed_.begin(), freed_.end(), block) != freed_.end();
  }

 private:
  os::Heap* base_;
  std::vector<const void*> freed_;
};

// Found by the sanitizers: the text lent to the handler was lost when the handler ended the
// program, since the end unwinds through the drop target.
TEST_F(WindowRuntimeTest, DroppedTextIsReleasedWhenTheHandlerEndsTheProgram) {
  FreeRecordingHeap heap(&heap_);
  os::Services services = os::Current();
  services.heap = &heap;
  os::ScopedServices installed(services);
  Start();
  auto edit = static_cast<std::int32_t>(HandleOf(kEdit));
  CallLibrary(RegisterDropArea, {ValueRecord{kWindow, kDrop, type::kDropTarget}, IntValue(edit)});
  end_in_drop = true;
  dropped_block = nullptr;
  auto data = os::headless::FakeDragData::Files({"C:\\a.ini"});
  EXPECT_EQ(RunToEnd([&] {
              windows().Drag(static_cast<os::WindowHandle>(edit), data, 0, os::drag::kEffectCopy);
            }),
            -1);
  end_in_drop = false;
  EXPECT_EQ(dropped, "C:\\a.ini");
  ASSERT_NE(dropped_block, nullptr);
  EXPECT_TRUE(heap.WasFreed(dropped_block));
}

TEST_F(WindowRuntimeTest, StatusBarPartText) {
  Start();
  ValueRecord self{kWindow, kBar, type::kStatusBar};
  CallLibrary(SetStatusPartText, {self, IntValue(0), TextArg("n")});
  CallLibrary(SetStatusPartText, {self, IntValue(1), TextArg("ignored")});
  CallLibrary(SetStatusPartText, {self, IntValue(-1), TextArg("ignored")});
  auto parts = windows().StatusParts(HandleOf(kBar));
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_EQ(parts[0].text, "n");
  CallLibrary(SetStatusPartText, {self, IntValue(0), {}});
  EXPECT_EQ(windows().StatusParts(HandleOf(kBar))[0].text, "");

  // Own properties 8-13 read the stored settings and the current part table; a table written
  // is laid out at once, and a setting that makes the bar anew keeps its parts.
  auto bytes = [](std::int64_t v) {
    return testing::TakeByteSet({static_cast<std::uint32_t>(v),
                                 static_cast<std::uint32_t>(static_cast<std::uint64_t>(v) >> 32),
                                 0});
  };
  CallLibrary(SetStatusPartText, {self, IntValue(0), TextArg("n")});
  EXPECT_EQ(GetProperty(kWindow, kBar, 8, -1), static_cast<std::int32_t>(0xFF000000));
  const std::string one_part("\x01\0\0\0\xF4\x01\0\0\0\0\0\0\xFF\xFF\xFF\xFFn\0\0", 19);
  EXPECT_EQ(bytes(GetProperty(kWindow, kBar, 13, -1)), one_part);
  // Two parts: 100 wide with "a", then "b" to the edge.
  const std::string two_parts(
      "\x02\0\0\0"
      "\x64\0\0\0\0\0\0\0\xFF\xFF\xFF\xFF"
      "a\0\0"
      "\xFF\xFF\xFF\xFF\0\0\0\0\xFF\xFF\xFF\xFF"
      "b\0\0",
      34);
  ValueRecord table = PointerValue(MakeByteSet(two_parts.data(), two_parts.size()), type::kByteSet);
  SetProperty(kWindow, kBar, 13, -1, table.low, table.high);
  Free(PointerOf(table));
  parts = windows().StatusParts(HandleOf(kBar));
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[1].text, "b");
  SetProperty(kWindow, kBar, 10, -1, 1, 0);  // a size grip
  EXPECT_TRUE(windows().status_bar_args(HandleOf(kBar))->size_grip);
  EXPECT_EQ(windows().StatusParts(HandleOf(kBar)).size(), 2u);
  EXPECT_EQ(bytes(GetProperty(kWindow, kBar, 13, -1)), two_parts);
}

TEST_F(WindowRuntimeTest, FatalPathsReportAndEndWithMinusOne) {
  Start();
  struct Case {
    const char* name;
    std::function<void()> body;
    std::string report;  // UTF-8
  };
  const Case cases[] = {
      {"handle of a missing component",
       [] {
         CallCore(GetWindowHandle, {ValueRecord{kWindow, 0x16019999, type::kEditBox}});
       },
       "运行时出错!\r\n\r\n错误信息：指定窗口或窗口组件不存在或尚未载入\r\n\r\n1375797249, "
       "369203609\r\n\"\"\r\n未找到所指定的窗口组件\r\n"},
      {"property of an unloaded window", [] { GetProperty(0x52010002, kEdit, 8, -1); },
       "运行时出错!\r\n\r\n错误信息：未载入欲访问窗口组件所在的窗口\r\n\r\n1375797250, "
       "369164309\r\n未找到所指定的窗口\r\n"},
      {"event from an unknown component", [] { RaiseSimpleEvent(kWindow, 0x16019999, 0); },
       "运行时出错!\r\n\r\n错误信息：未找到引发事件的窗口组件\r\n\r\n1375797249, "
       "369203609\r\n\"\"\r\n未找到所指定的窗口组件\r\n"},
      {"event from an unknown window", [] { RaiseSimpleEvent(0x52010009, 0, 0); },
       "运行时出错!\r\n\r\n错误信息：未找到引发事件的窗口\r\n\r\n1375797257, 0\r\n"
       "未找到所指定的窗口\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs_.Clear();
    EXPECT_EQ(RunToEnd(c.body), -1);
    EXPECT_EQ(Report(), Gbk(c.report));
    ResetRuntime();
    Start();
  }
}

TEST_F(WindowRuntimeTest, UnreadableFormAndTooNewComponent) {
  // A truncated stream cannot be read at all.
  stream_.resize(stream_.size() - 1);
  EXPECT_EQ(RunToEnd([&] { Start(); }), -1);
  EXPECT_EQ(Report(), Gbk("运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n\r\n0, 0\r\n"));
  ResetRuntime();

  // The edit box's data with version 3, which its class does not know: the window cannot load.
  stream_.assign(reinterpret_cast<const char*>(resources::kFormDescription),
                 resources::kFormDescriptionSize);
  const char edit_data[] = "\x02\0\0\0\x05\0\0\0\0\0\0\0\xFF\xFF\xFF\0";
  std::size_t at = stream_.find(std::string(edit_data, 16));
  ASSERT_NE(at, std::string::npos);
  ASSERT_EQ(stream_.find(std::string(edit_data, 16), at + 1), std::string::npos);
  stream_[at] = 3;
  dialogs_.Clear();
  EXPECT_EQ(RunToEnd([&] { Start(); }), -1);
  EXPECT_EQ(Report(), Gbk("运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n\r\n1375797249, 0\r\n"
                          "未找到所指定的窗口\r\n"));
  EXPECT_TRUE(windows().WindowsOfKind(WindowKind::kTopLevel).empty());
}

TEST_F(WindowRuntimeTest, EndSequenceRunsExitProceduresOnceInOrder) {
  Start();
  RegisterExitProcedure(ExitA);
  RegisterExitProcedure(ExitB);
  RegisterExitProcedure(ExitA);
  calls.clear();
  EXPECT_EQ(RunToEnd([] { EndProgram(0); }), 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"exit a", "exit b"}));
  EXPECT_TRUE(windows().WindowsOfKind(WindowKind::kTopLevel).empty());
  // Once the end has begun no event is delivered.
  EXPECT_EQ(FindEventHandler(kWindow, kButton, 0), nullptr);
}

// An end asked for on another thread runs the whole end sequence on the GUI thread.
TEST_F(WindowRuntimeTest, EndFromAnotherThreadRunsTheEndSequence) {
  Start();
  RegisterExitProcedure(ExitA);
  calls.clear();
  std::optional<int> worker_code;
  std::thread worker;
  // The loop is kept busy (for 5 s at most) until the request from the other thread arrives.
  int turns = 5000;
  std::function<void()> wait = [&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (--turns > 0) windows().Post(wait);
  };
  windows().Post([&] {
    worker = std::thread([&] { worker_code = RunToEnd([] { EndProgram(5); }); });
    windows().Post(wait);
  });
  EXPECT_EQ(RunToEnd([] { RunMessageLoop(); }), 5);
  worker.join();
  EXPECT_EQ(worker_code, 5);
  EXPECT_EQ(calls, std::vector<std::string>{"exit a"});
  EXPECT_TRUE(windows().WindowsOfKind(WindowKind::kTopLevel).empty());
}

TEST_F(WindowRuntimeTest, ProgramPathWithoutBackslash) {
  process_.set_program_path("marvane.exe");
  Start();
  EXPECT_EQ(RunDirectory(), nullptr);
  EXPECT_EQ(process_.current_directory(), "");
}

}  // namespace
}  // namespace marvane::ui
