#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/headless/desktop.h"
#include "platform/headless/headless_test_recorders.h"
#include "platform/headless/headless_window_system.h"

namespace marvane::os::headless {
namespace {

using testing::Event;
using testing::EventLog;

class LoopTest : public ::testing::Test {
 protected:
  LoopTest() { ws_.SetEventSink(&log_); }

  WindowHandle Top() {
    TopLevelArgs args;
    args.caption = "Marvane";
    args.rect = {0, 0, 400, 300};
    return ws_.CreateTopLevel(args);
  }
  template <typename Args>
  Args Child(WindowHandle parent) {
    Args args;
    args.parent = parent;
    args.rect = {1, 2, 30, 40};
    return args;
  }
  std::vector<Event> Only(Event::Kind kind) const {
    std::vector<Event> found;
    for (const Event& e : log_.events) {
      if (e.kind == kind) found.push_back(e);
    }
    return found;
  }

  HeadlessWindowSystem ws_;
  EventLog log_;
};

TEST_F(LoopTest, ActionsRunInOrderAndTheQuitMessageComesAfterThem) {
  std::vector<int> ran;
  ws_.Post([&] { ran.push_back(1); });
  ws_.PostQuit(3);
  ws_.Post([&] {
    ran.push_back(2);
    ws_.Post([&] { ran.push_back(3); });  // posted later, still before the quit message
  });
  ws_.RunMessageLoop(nullptr);
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(ws_.last_loop_end(), LoopEnd::kQuit);
  EXPECT_EQ(ws_.quit_code(), 3);
  EXPECT_EQ(ws_.pending(), 0u);
  EXPECT_FALSE(ws_.quit_pending());
}

TEST_F(LoopTest, IdleCountRisesUntilDoneAndStartsAfreshAfterUserActivity) {
  std::vector<int> counts;
  bool posted = false;
  ws_.RunMessageLoop([&](int count) {
    counts.push_back(count);
    if (count == 1 && !posted) {
      posted = true;
      ws_.Post([] {});
    }
    return count < 2;
  });
  EXPECT_EQ(counts, (std::vector<int>{0, 1, 0, 1, 2}));
  EXPECT_EQ(ws_.last_loop_end(), LoopEnd::kRanDry);
  EXPECT_FALSE(ws_.idle_cut_off());
}

TEST_F(LoopTest, AnIdleStepThatNeverFinishesIsCutOff) {
  ws_.set_idle_limit(50);
  int calls = 0;
  ws_.RunMessageLoop([&](int) {
    ++calls;
    return true;
  });
  EXPECT_EQ(calls, 50);
  EXPECT_TRUE(ws_.idle_cut_off());
  EXPECT_EQ(ws_.last_loop_end(), LoopEnd::kRanDry);
}

TEST_F(LoopTest, RunningDryClosesTheWindowsAndNeverHangs) {
  struct {
    const char* name;
    bool close_when_dry;
    bool runtime_quits_on_destroy;
    LoopEnd end;
    bool windows_left;
  } cases[] = {
      {"runtime posts quit", true, true, LoopEnd::kQuit, false},
      {"runtime posts nothing", true, false, LoopEnd::kRanDry, false},
      {"closing switched off", false, true, LoopEnd::kRanDry, true},
  };
  for (const auto& c : cases) {
    HeadlessWindowSystem ws;
    EventLog log;
    ws.SetEventSink(&log);
    ws.set_close_when_dry(c.close_when_dry);
    TopLevelArgs args;
    WindowHandle top = ws.CreateTopLevel(args);
    ButtonArgs button_args;
    button_args.parent = top;
    WindowHandle button = ws.CreateButton(button_args);
    WindowHandle owner = ws.CreateHiddenOwner();
    log.react = [&](const Event& e) {
      if (c.runtime_quits_on_destroy && e.kind == Event::kDestroyed && e.window == top) {
        ws.PostQuit(0);
      }
    };
    ws.RunMessageLoop(nullptr);
    EXPECT_EQ(ws.last_loop_end(), c.end) << c.name;
    EXPECT_EQ(ws.Exists(top), c.windows_left) << c.name;
    EXPECT_TRUE(ws.Exists(owner)) << c.name;  // the hidden owner is no window the user closes
    if (!c.windows_left) {
      EXPECT_EQ(log.events,
                (std::vector<Event>{{Event::kDestroyed, button}, {Event::kDestroyed, top}}))
          << c.name;
    }
  }
}

TEST_F(LoopTest, AClickReachesOnlyAButtonTheUserCanReach) {
  enum Setup { kReady, kDisabled, kHiddenWindow, kDisabledWindow, kGone, kNotAButton };
  struct {
    Setup setup;
    bool clicked;
  } cases[] = {{kReady, true},           {kDisabled, false}, {kHiddenWindow, false},
               {kDisabledWindow, false}, {kGone, false},     {kNotAButton, false}};
  ws_.set_close_when_dry(false);
  for (const auto& c : cases) {
    log_.events.clear();
    WindowHandle top = Top();
    ws_.Show(top, ShowMode::kNormal);
    WindowHandle target = c.setup == kNotAButton ? ws_.CreateLabel(Child<LabelArgs>(top))
                                                 : ws_.CreateButton(Child<ButtonArgs>(top));
    ws_.Show(target, ShowMode::kNormal);
    if (c.setup == kDisabled) ws_.Enable(target, false);
    if (c.setup == kHiddenWindow) ws_.Show(top, ShowMode::kHide);
    if (c.setup == kDisabledWindow) ws_.Enable(top, false);
    ws_.Click(target);
    if (c.setup == kGone) ws_.Destroy(target);
    log_.events.clear();
    ws_.RunMessageLoop(nullptr);
    std::vector<Event> want;
    if (c.clicked)
      want = {{Event::kFocusLost, top}, {Event::kFocusGained, target}, {Event::kClicked, target}};
    EXPECT_EQ(log_.events, want) << c.setup;
    ws_.Destroy(top);
  }
}

TEST_F(LoopTest, CloseAndFocusActThroughTheQueue) {
  WindowHandle top = Top();
  WindowHandle edit = ws_.CreateEdit(Child<EditArgs>(top));
  ws_.Show(edit, ShowMode::kNormal);
  ws_.Show(top, ShowMode::kNormal);
  ws_.Focus(edit);
  ws_.Close(edit);  // not a top-level window: nothing
  ws_.Post([&] { EXPECT_EQ(ws_.GetFocus(), edit); });
  ws_.Close(top);
  ws_.set_close_when_dry(false);
  ws_.RunMessageLoop(nullptr);
  EXPECT_FALSE(ws_.Exists(top));
  EXPECT_EQ(Only(Event::kDestroyed),
            (std::vector<Event>{{Event::kDestroyed, edit}, {Event::kDestroyed, top}}));
}

TEST_F(LoopTest, TypingHonoursReadOnlyTheLengthLimitAndCaseConversion) {
  struct {
    const char* name;
    EditInput input;
    std::uint32_t max_length;
    CaseConversion conversion;
    const char* before;
    const char* typed;
    const char* after;
  } cases[] = {
      {"normal", EditInput::kNormal, 0, CaseConversion::kNone, "ab", "cd", "abcd"},
      {"read-only", EditInput::kReadOnly, 0, CaseConversion::kNone, "ab", "cd", "ab"},
      {"limit keeps whole characters", EditInput::kNormal, 5, CaseConversion::kNone, "abc",
       "d\xB0\xA1", "abcd"},
      {"limit already reached", EditInput::kNormal, 2, CaseConversion::kNone, "abc", "d", "abc"},
      {"capitals", EditInput::kPassword, 0, CaseConversion::kUpper, "", "ab\xB0\x61", "AB\xB0\x61"},
  };
  ws_.set_close_when_dry(false);
  WindowHandle top = Top();
  ws_.Show(top, ShowMode::kNormal);
  for (const auto& c : cases) {
    EditArgs args = Child<EditArgs>(top);
    args.input = c.input;
    args.max_length = c.max_length;
    args.case_conversion = c.conversion;
    args.text = c.before;
    WindowHandle edit = ws_.CreateEdit(args);
    ws_.Show(edit, ShowMode::kNormal);
    ws_.Type(edit, c.typed);
    ws_.RunMessageLoop(nullptr);
    EXPECT_EQ(ws_.GetText(edit), c.after) << c.name;
    EXPECT_EQ(ws_.GetFocus(), edit) << c.name;
  }
}

TEST_F(LoopTest, EndRequestReachesTheProgramOnlyThroughTheHiddenOwner) {
  WindowHandle owner = ws_.CreateHiddenOwner();
  WindowHandle top = Top();
  ws_.SendEndRequest(top, 1);
  ws_.SendEndRequest(owner, -1);
  EXPECT_EQ(log_.events, (std::vector<Event>{{Event::kEndRequest, 0, -1}}));
}

TEST(EndRequestTest, AnEndRequestFromAnotherThreadIsHandledOnTheLoopsThread) {
  auto ws = std::make_unique<HeadlessWindowSystem>();
  EventLog log;
  ws->SetEventSink(&log);
  WindowHandle owner = ws->CreateHiddenOwner();
  std::thread::id handled_on;
  log.react = [&](const Event& e) {
    if (e.kind != Event::kEndRequest) return;
    handled_on = std::this_thread::get_id();
    ws->PostQuit(e.code);
  };
  std::atomic<bool> sender_returned = false;
  std::thread sender([&] {
    ws->SendEndRequest(owner, 9);
    sender_returned = true;
  });
  // Idle work goes on until the request has come in, as a window with idle work would; the limit
  // makes a lost request fail the test in seconds instead of hanging it.
  ws->set_idle_limit(20000);
  ws->RunMessageLoop([&](int) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
  });
  EXPECT_EQ(ws->last_loop_end(), LoopEnd::kQuit);
  EXPECT_EQ(ws->quit_code(), 9);
  EXPECT_EQ(handled_on, std::this_thread::get_id());
  // Going away releases a sender whose request was never taken.
  ws.reset();
  sender.join();
  EXPECT_TRUE(sender_returned);
}

TEST(DesktopTest, InstallsItsWindowsAndDialogsForItsLifetime) {
  Services before = Current();
  ScriptedDialogs fixture_dialogs;
  {
    Desktop desktop(&fixture_dialogs);
    EXPECT_EQ(Current().windows, &desktop.windows());
    EXPECT_EQ(Current().dialogs, &fixture_dialogs);
    EXPECT_EQ(Current().heap, before.heap);
    {
      Desktop own;
      EXPECT_EQ(Current().dialogs, &own.dialogs());
    }
    EXPECT_EQ(Current().windows, &desktop.windows());
  }
  EXPECT_EQ(Current().windows, before.windows);
  EXPECT_EQ(Current().dialogs, before.dialogs);
}

TEST(DesktopTest, AMessageBoxHookSeesTheStateWhileTheBoxIsUp) {
  Desktop desktop;
  HeadlessWindowSystem& ws = desktop.windows();
  TopLevelArgs args;
  WindowHandle top = ws.CreateTopLevel(args);
  std::vector<std::string> seen;
  desktop.dialogs().set_on_show(
      [&](const ScriptedDialogs::Shown& box) { seen.push_back(box.text + "|" + ws.GetText(top)); });
  desktop.dialogs().Answer(7);
  ws.Post([&] {
    ws.SetText(top, "saving");
    MessageBoxRequest request;
    request.owner = top;
    request.text = "saved";
    EXPECT_EQ(Current().dialogs->ShowMessageBox(request), 7);
    ws.SetText(top, "done");
  });
  ws.set_close_when_dry(false);
  ws.RunMessageLoop(nullptr);
  EXPECT_EQ(seen, (std::vector<std::string>{"saved|saving"}));
  EXPECT_EQ(ws.GetText(top), "done");
}

}  // namespace
}  // namespace marvane::os::headless
