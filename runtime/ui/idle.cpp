#include "runtime/ui/idle.h"

#include <vector>

#include "runtime/ui/components/window.h"
#include "runtime/ui/runtime_state.h"

namespace marvane::ui {
namespace {

// Counts 0 and 1 belong to the framework's own idle work; the windows' turn comes after it.
constexpr int kFirstWindowCount = 2;

void RunIdleCallbacks() {
  auto& callbacks = State().idle_callbacks;
  std::erase_if(callbacks, [](const IdleCallback& c) { return !Windows().Exists(c.window); });
  // A callback may register another, or end the program: call a copy.
  for (const IdleCallback& c : std::vector<IdleCallback>(callbacks))
    c.procedure(c.value);
}

}  // namespace

void RegisterIdleCallback(os::WindowHandle window, IdleProcedure procedure, std::intptr_t value) {
  State().idle_callbacks.push_back({window, procedure, value});
}

void DropIdleCallbacks() {
  State().idle_callbacks.clear();
}

bool IdleStep(int count) {
  RuntimeState& state = State();
  if (count == 0) {
    state.idle_start = Windows().TickCount();
    for (auto& window : state.loaded)
      window->idle_done = false;
    RunIdleCallbacks();
  }
  if (count < kFirstWindowCount) return true;
  const std::uint32_t elapsed = Windows().TickCount() - state.idle_start;
  bool more = false;
  // A window's idle work may unload windows: walk the identifiers, not the list.
  std::vector<std::uint32_t> ids;
  for (const auto& window : state.loaded)
    ids.push_back(window->record->id);
  for (std::uint32_t id : ids) {
    LoadedWindow* window = FindLoaded(id);
    if (!window || window->idle_done || !Windows().Exists(window->handle())) continue;
    auto* top = static_cast<WindowComponent*>(window->objects[0].get());
    if (top->OnIdle(elapsed)) {
      more = true;
    } else if ((window = FindLoaded(id)) != nullptr) {
      window->idle_done = true;
    }
  }
  return more;
}

}  // namespace marvane::ui
