// An in-memory window system with a scripted user, for the test suite and the command-line front
// end. It keeps windows and controls as records, behaves as the platform's controls do where the
// components rely on it (case conversion of edit boxes, drop-down list text, status-bar parts,
// destruction order, drag and drop, the message queue), and lets a script act as the user:
// clicks, typing, focus, closing windows and drags arrive through the message queue in order.
//
// When the message loop has nothing left to do (no message waits, idle work is done and nothing
// can arrive any more) the scripted user is taken to have finished: the top-level windows are
// closed, as the user would close them, and if that brings no quit message either the loop returns
// on its own. A test therefore never hangs on a loop that would wait for input for ever.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/headless/fake_drag_data.h"
#include "platform/window_system.h"

namespace marvane::os::headless {

enum class WindowKind {
  kTopLevel,
  kHiddenOwner,
  kEdit,
  kButton,
  kGroupBox,
  kLabel,
  kComboBox,
  kStatusBar,
};

// What one scripted drag did.
struct DragOutcome {
  WindowHandle target = 0;  // the registered window that received it; 0: no drop target there
  std::uint32_t enter = drag::kEffectNone;  // effects the target gave back
  std::uint32_t over = drag::kEffectNone;
  bool dropped = false;  // Drop was called; otherwise DragLeave (when there was a target)
  std::uint32_t result = drag::kEffectNone;  // the effect the drag source is told in the end
};

enum class LoopEnd { kNotRun, kQuit, kRanDry };

class HeadlessWindowSystem final : public WindowSystem {
 public:
  HeadlessWindowSystem();
  ~HeadlessWindowSystem() override;
  HeadlessWindowSystem(const HeadlessWindowSystem&) = delete;
  HeadlessWindowSystem& operator=(const HeadlessWindowSystem&) = delete;

  // --- WindowSystem
  void SetEventSink(WindowEvents* events) override { events_ = events; }
  bool InitializeDragDrop() override;
  void ReleaseDragDrop() override;
  WindowHandle CreateTopLevel(const TopLevelArgs& args) override;
  WindowHandle CreateHiddenOwner() override;
  WindowHandle CreateEdit(const EditArgs& args) override;
  WindowHandle CreateButton(const ButtonArgs& args) override;
  WindowHandle CreateGroupBox(const GroupBoxArgs& args) override;
  WindowHandle CreateLabel(const LabelArgs& args) override;
  WindowHandle CreateComboBox(const ComboBoxArgs& args) override;
  WindowHandle CreateStatusBar(const StatusBarArgs& args) override;
  void Destroy(WindowHandle window) override;
  bool Exists(WindowHandle window) override;
  void SetContainer(WindowHandle control, WindowHandle container) override;
  void Show(WindowHandle window, ShowMode mode) override;
  bool IsVisible(WindowHandle window) override;
  void Enable(WindowHandle window, bool enabled) override;
  bool IsEnabled(WindowHandle window) override;
  Rect GetRect(WindowHandle window) override;
  void SetRect(WindowHandle window, const Rect& rect) override;
  WindowHandle GetFocus() override { return focus_; }
  void ScreenSize(std::int32_t* width, std::int32_t* height) override;
  bool SetCursor(WindowHandle window, std::string_view cursor) override;
  void SetText(WindowHandle window, std::string_view text) override;
  std::string GetText(WindowHandle window) override;
  void SetComboSelection(WindowHandle combo, std::int32_t index) override;
  std::int32_t GetComboSelection(WindowHandle combo) override;
  void SetStatusParts(WindowHandle bar, const std::vector<StatusPart>& parts) override;
  void SetStatusText(WindowHandle bar, std::int32_t index, std::uint32_t border,
                     std::string_view text) override;
  std::uint32_t RegisterFormat(std::string_view name) override;
  bool RegisterDropTarget(WindowHandle window, DropSink* sink) override;
  void RevokeDropTarget(WindowHandle window) override;
  void RunMessageLoop(const std::function<bool(int count)>& idle) override;
  void ProcessPendingMessages() override;
  void PostQuit(int code) override { quit_ = code; }
  void SendEndRequest(WindowHandle owner, int code) override;
  void PostTask(WindowHandle window, std::function<void()> task) override;
  std::uint32_t TickCount() override;

  // --- The scripted user. Each action is posted and carried out, in order, by RunMessageLoop;
  // each counts as user activity. An action on a window that is gone, hidden or disabled (itself
  // or a container) does nothing, as the user cannot reach it.

  // Clicks a push button: it takes the focus and OnClicked is reported.
  void Click(WindowHandle button);
  // Closes a top-level window: it is destroyed.
  void Close(WindowHandle window);
  // Puts the keyboard focus on a window or control.
  void Focus(WindowHandle window);
  // Types text at the end of an edit box, which takes the focus first. A read-only box takes
  // nothing; the length limit and the case conversion apply as to keyboard input.
  void Type(WindowHandle edit, std::string_view text);
  // Drags data onto a window and releases it there; the outcome is kept in last_drag().
  void PostDrag(WindowHandle window, FakeDragData data, std::uint32_t keys, std::uint32_t allowed);
  // Any other step of a script.
  void Post(std::function<void()> action);

  // The same drag at once, outside the queue, with what the drop posts to run right after it. The
  // drop reaches the window's own registered target or, failing that, its nearest registered
  // container; nothing is reached over a window that is not on the screen, or while drag and drop
  // is not initialised.
  DragOutcome Drag(WindowHandle window, DragData& data, std::uint32_t keys, std::uint32_t allowed);
  const DragOutcome& last_drag() const { return last_drag_; }

  // --- Settings.
  void set_screen_size(std::int32_t width, std::int32_t height);
  // Off: a loop with nothing left to do returns without closing the windows first.
  void set_close_when_dry(bool close) { close_when_dry_ = close; }
  // The most idle calls of one idle phase; an idle step that never says "done" is cut off there.
  void set_idle_limit(int calls) { idle_limit_ = calls; }
  // Moves the tick count on, as if that much time had passed.
  void AdvanceTicks(std::uint32_t milliseconds) { tick_offset_ += milliseconds; }
  // The creation after `successes` more successful ones fails (returns 0); -1 cancels.
  void FailCreationAfter(int successes) { fail_countdown_ = successes; }

  // --- Inspection.
  std::optional<WindowKind> KindOf(WindowHandle window) const;
  WindowHandle ParentOf(WindowHandle window) const;
  std::vector<WindowHandle> ChildrenOf(WindowHandle window) const;
  // Existing windows of a kind, in creation order.
  std::vector<WindowHandle> WindowsOfKind(WindowKind kind) const;
  // The first existing window of the kind whose text is `text`; 0 when there is none.
  WindowHandle FindByText(WindowKind kind, std::string_view text);
  ShowMode GetShowMode(WindowHandle window) const;
  // The standard cursor shown over the window; cursor::kDefault for its own.
  std::uint32_t CursorOf(WindowHandle window) const;
  // The arguments a window was created with (their texts copied); null for another kind.
  const TopLevelArgs* top_level_args(WindowHandle window) const;
  const EditArgs* edit_args(WindowHandle window) const;
  const ButtonArgs* button_args(WindowHandle window) const;
  const GroupBoxArgs* group_box_args(WindowHandle window) const;
  const LabelArgs* label_args(WindowHandle window) const;
  const ComboBoxArgs* combo_box_args(WindowHandle window) const;
  const StatusBarArgs* status_bar_args(WindowHandle window) const;
  // What a combo box lists now (sorted when it keeps its items sorted).
  std::vector<std::string> ComboItems(WindowHandle combo) const;
  // The parts a status bar shows now.
  std::vector<StatusPart> StatusParts(WindowHandle bar) const;
  DropSink* DropTargetOf(WindowHandle window) const;
  // InitializeDragDrop calls not yet matched by ReleaseDragDrop.
  int drag_drop_initializations() const { return drag_drop_count_; }
  // Scripted actions still waiting in the queue.
  std::size_t pending() const { return queue_.size(); }
  bool quit_pending() const { return quit_.has_value(); }
  LoopEnd last_loop_end() const { return last_loop_end_; }
  int quit_code() const { return quit_code_; }
  // True when the last loop had to cut an idle phase off at the idle limit.
  bool idle_cut_off() const { return idle_cut_off_; }

 private:
  struct Window;

  Window* Find(WindowHandle window) const;
  // The window when it exists and is not being destroyed.
  Window* Live(WindowHandle window) const;
  // Exists, and it and all its containers are visible and enabled: the user can reach it.
  bool Reachable(WindowHandle window) const;
  bool Within(WindowHandle window, WindowHandle ancestor) const;
  // It and all its containers are visible.
  bool OnScreen(WindowHandle window) const;
  bool PassCreation();
  Window& Add(std::unique_ptr<Window> window);
  Window* NewControl(const ControlBase& base);
  void DestroyTree(WindowHandle window);
  void SetFocusTo(WindowHandle window);
  void DropFocusWithin(WindowHandle window);
  WindowHandle FirstTabStop(WindowHandle top) const;
  void DockBar(Window& bar);
  void DockChildren(const Window& parent);
  bool CloseTopLevels();  // false when there was none
  void DeliverSentRequests();
  // Runs the posted tasks, oldest first; true when there was one.
  bool RunPostedTasks();
  // Handles what waits ahead of the quit message: sent requests, then the posted tasks or else the
  // user's next action; true when a task or an action ran.
  bool HandleWaiting();
  void DeliverEndRequest(WindowHandle owner, int code);

  std::map<WindowHandle, std::unique_ptr<Window>> windows_;
  WindowHandle next_handle_ = 0x10000;
  WindowEvents* events_ = nullptr;
  WindowHandle focus_ = 0;
  std::int32_t screen_width_ = 1024;
  std::int32_t screen_height_ = 768;
  int fail_countdown_ = -1;

  int drag_drop_count_ = 0;
  std::map<std::string, std::uint32_t> formats_;  // by upper-cased name
  DragOutcome last_drag_;

  std::deque<std::function<void()>> queue_;
  // Posted by the program: they run before the next scripted action.
  std::deque<std::pair<WindowHandle, std::function<void()>>> posted_;
  std::optional<int> quit_;
  int quit_code_ = 0;
  LoopEnd last_loop_end_ = LoopEnd::kNotRun;
  bool close_when_dry_ = true;
  int idle_limit_ = 1000000;
  bool idle_cut_off_ = false;
  std::uint32_t tick_offset_ = 0;

  // End requests sent from other threads wait here until the GUI thread's loop takes them.
  struct SentRequest {
    WindowHandle owner;
    int code;
    bool done = false;
  };
  std::thread::id gui_thread_;
  std::mutex sent_mutex_;
  std::condition_variable sent_done_;
  std::deque<SentRequest*> sent_;
  int senders_waiting_ = 0;
  bool closing_ = false;
};

}  // namespace marvane::os::headless
