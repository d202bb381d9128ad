// The message queue, the scripted user's actions, end requests and the tick count.
#include <chrono>
#include <utility>

#include "platform/gbk_bytes.h"
#include "platform/headless/gbk_case.h"
#include "platform/headless/headless_window_record.h"
#include "platform/headless/headless_window_system.h"

namespace marvane::os::headless {
namespace {

// The longest prefix of text made of whole characters that fits in `room` bytes.
std::size_t WholeCharacters(std::string_view text, std::size_t room) {
  std::size_t i = 0;
  while (i < text.size()) {
    auto b = static_cast<unsigned char>(text[i]);
    std::size_t step = gbk::IsLeadByte(b) && i + 1 < text.size() ? 2 : 1;
    if (i + step > room) break;
    i += step;
  }
  return i;
}

}  // namespace

// --- The loop.

void HeadlessWindowSystem::RunMessageLoop(const std::function<bool(int count)>& idle) {
  int count = 0;
  bool idle_done = false;
  bool closed_windows = false;
  idle_cut_off_ = false;
  for (;;) {
    // Every task and queued action is user activity here: idle work starts afresh after it.
    if (HandleWaiting()) {
      count = 0;
      idle_done = false;
      continue;
    }
    // As on the platform, the quit message comes only once nothing else is waiting.
    if (quit_) {
      quit_code_ = *quit_;
      quit_.reset();
      last_loop_end_ = LoopEnd::kQuit;
      return;
    }
    if (!idle_done) {
      if (count >= idle_limit_) {
        idle_cut_off_ = true;
        idle_done = true;
      } else if (!idle || !idle(count++)) {
        idle_done = true;
      }
      continue;
    }
    // Nothing waits and nothing can come: the scripted user has finished and closes the windows.
    if (close_when_dry_ && !closed_windows) {
      closed_windows = true;
      if (CloseTopLevels()) {
        count = 0;
        idle_done = false;
        continue;
      }
    }
    last_loop_end_ = LoopEnd::kRanDry;
    return;
  }
}

void HeadlessWindowSystem::ProcessPendingMessages() {
  while (HandleWaiting()) {
  }
}

bool HeadlessWindowSystem::HandleWaiting() {
  DeliverSentRequests();
  if (RunPostedTasks()) return true;
  if (queue_.empty()) return false;
  std::function<void()> action = std::move(queue_.front());
  queue_.pop_front();
  action();
  return true;
}

bool HeadlessWindowSystem::CloseTopLevels() {
  std::vector<WindowHandle> windows = WindowsOfKind(WindowKind::kTopLevel);
  for (WindowHandle window : windows)
    Destroy(window);
  return !windows.empty();
}

void HeadlessWindowSystem::PostTask(WindowHandle window, std::function<void()> task) {
  if (Live(window) && task) posted_.emplace_back(window, std::move(task));
}

bool HeadlessWindowSystem::RunPostedTasks() {
  bool ran = false;
  while (!posted_.empty()) {
    auto [window, task] = std::move(posted_.front());
    posted_.pop_front();
    // A task whose window went first is dropped, as its message would be.
    if (!Live(window)) continue;
    ran = true;
    task();
  }
  return ran;
}

// --- The scripted user.

void HeadlessWindowSystem::Post(std::function<void()> action) {
  queue_.push_back(std::move(action));
}

void HeadlessWindowSystem::Click(WindowHandle button) {
  Post([this, button] {
    Window* w = Live(button);
    if (!w || w->kind != WindowKind::kButton || !Reachable(button)) return;
    // A push button takes the focus when it is pressed.
    SetFocusTo(button);
    if (events_ && Live(button)) events_->OnClicked(button);
  });
}

void HeadlessWindowSystem::Close(WindowHandle window) {
  Post([this, window] {
    Window* w = Live(window);
    if (w && w->kind == WindowKind::kTopLevel) Destroy(window);
  });
}

void HeadlessWindowSystem::Focus(WindowHandle window) {
  Post([this, window] {
    if (Reachable(window)) SetFocusTo(window);
  });
}

void HeadlessWindowSystem::Type(WindowHandle edit, std::string_view text) {
  Post([this, edit, typed = std::string(text)] {
    Window* w = Live(edit);
    if (!w || w->kind != WindowKind::kEdit || !Reachable(edit)) return;
    SetFocusTo(edit);
    w = Live(edit);  // the focus handler may have destroyed it
    if (!w || w->input == EditInput::kReadOnly) return;
    std::size_t take = typed.size();
    if (w->max_length != 0) {
      std::size_t room = w->max_length > w->text.size() ? w->max_length - w->text.size() : 0;
      take = WholeCharacters(typed, room);
    }
    if (take == 0) return;
    std::string inserted = typed.substr(0, take);
    ConvertCase(inserted, w->case_conversion);
    w->ConvertPendingCase();
    w->text += inserted;
    if (events_) events_->OnContentChanged(edit);
  });
}

void HeadlessWindowSystem::PostDrag(WindowHandle window, FakeDragData data, std::uint32_t keys,
                                    std::uint32_t allowed) {
  Post([this, window, data = std::move(data), keys, allowed]() mutable {
    Drag(window, data, keys, allowed);
  });
}

// --- End requests.

void HeadlessWindowSystem::SendEndRequest(WindowHandle owner, int code) {
  if (std::this_thread::get_id() == gui_thread_) {
    DeliverEndRequest(owner, code);
    return;
  }
  // Like a message sent across threads: the caller waits until the GUI thread's loop has
  // handled it (or the window system goes away).
  SentRequest request{owner, code};
  std::unique_lock lock(sent_mutex_);
  if (closing_) return;
  ++senders_waiting_;
  sent_.push_back(&request);
  sent_done_.wait(lock, [&] { return request.done || closing_; });
  if (!request.done) std::erase(sent_, &request);
  --senders_waiting_;
  sent_done_.notify_all();
}

void HeadlessWindowSystem::DeliverSentRequests() {
  std::deque<SentRequest*> taken;
  {
    std::lock_guard lock(sent_mutex_);
    if (sent_.empty()) return;
    taken.swap(sent_);
  }
  // The senders are let go also when handling a request ends the program (a test's process end
  // unwinds through here).
  struct Release {
    HeadlessWindowSystem* system;
    std::deque<SentRequest*>& taken;
    ~Release() {
      std::lock_guard lock(system->sent_mutex_);
      for (SentRequest* request : taken)
        request->done = true;
      system->sent_done_.notify_all();
    }
  } release{this, taken};
  for (SentRequest* request : taken)
    DeliverEndRequest(request->owner, request->code);
}

void HeadlessWindowSystem::DeliverEndRequest(WindowHandle owner, int code) {
  Window* w = Live(owner);
  if (w && w->kind == WindowKind::kHiddenOwner && events_) events_->OnEndRequest(code);
}

std::uint32_t HeadlessWindowSystem::TickCount() {
  using namespace std::chrono;
  auto now = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<std::uint32_t>(now) + tick_offset_;
}

}  // namespace marvane::os::headless
