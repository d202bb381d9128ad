// Drag and drop: format registration, drop-target registration and the scripted drag.
#include "platform/gbk_bytes.h"
#include "platform/headless/headless_window_record.h"
#include "platform/headless/headless_window_system.h"

namespace marvane::os::headless {
namespace {

// Registered format numbers start where the platform starts them.
constexpr std::uint32_t kFirstRegisteredFormat = 0xC000;

}  // namespace

bool HeadlessWindowSystem::InitializeDragDrop() {
  ++drag_drop_count_;
  return true;
}

void HeadlessWindowSystem::ReleaseDragDrop() {
  if (drag_drop_count_ > 0) --drag_drop_count_;
}

std::uint32_t HeadlessWindowSystem::RegisterFormat(std::string_view name) {
  if (name.empty()) return 0;
  // Format names are matched without regard to case.
  std::string key(name);
  for (char& c : key)
    c = gbk::AsciiUpper(c);
  auto [it, added] =
      formats_.emplace(key, kFirstRegisteredFormat + static_cast<std::uint32_t>(formats_.size()));
  return it->second;
}

bool HeadlessWindowSystem::RegisterDropTarget(WindowHandle window, DropSink* sink) {
  // Refused before initialisation, for a missing window, and for a second registration.
  if (drag_drop_count_ == 0 || !sink) return false;
  Window* w = Live(window);
  if (!w || w->drop_sink) return false;
  w->drop_sink = sink;
  return true;
}

void HeadlessWindowSystem::RevokeDropTarget(WindowHandle window) {
  if (Window* w = Find(window)) w->drop_sink = nullptr;
}

DragOutcome HeadlessWindowSystem::Drag(WindowHandle window, DragData& data, std::uint32_t keys,
                                       std::uint32_t allowed) {
  DragOutcome outcome;
  last_drag_ = outcome;
  // The cursor can only be over a window on the screen.
  if (drag_drop_count_ == 0 || !Live(window) || !OnScreen(window)) return outcome;
  Window* target = Live(window);
  while (target && !target->drop_sink)
    target = Live(target->parent);
  if (!target) return outcome;
  const WindowHandle handle = target->handle;
  DropSink* sink = target->drop_sink;
  // A handler may revoke the target or destroy its window; the drag ends there.
  auto still_there = [&] {
    Window* w = Live(handle);
    return w && w->drop_sink == sink;
  };
  outcome.target = handle;
  outcome.enter = sink->DragEnter(data, keys, allowed);
  if (still_there()) {
    outcome.over = sink->DragOver(keys, allowed);
    if (still_there()) {
      if (outcome.over == drag::kEffectNone) {
        sink->DragLeave();
      } else {
        outcome.dropped = true;
        outcome.result = sink->Drop(data, keys, allowed);
      }
    }
  }
  last_drag_ = outcome;
  RunPostedTasks();
  return outcome;
}

}  // namespace marvane::os::headless
