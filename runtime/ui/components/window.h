// The window itself: a top-level platform window made from the stored window settings.
#pragma once

#include <functional>
#include <utility>

#include "runtime/ui/component.h"
#include "runtime/ui/program_header.h"

namespace marvane::ui {

class WindowComponent final : public Component {
 public:
  // Given the milliseconds since the loop fell idle; true while it wants more idle time.
  using IdleHook = std::function<bool(std::uint32_t elapsed)>;

  using Component::Component;
  // How the window is first shown: its start position 2 minimised, 3 maximised, else normal.
  os::ShowMode start_mode() const { return start_mode_; }
  void set_start_mode(os::ShowMode mode) { start_mode_ = mode; }

  // Idle time offered to the window; without a hook it wants none.
  bool OnIdle(std::uint32_t elapsed) { return idle_hook_ && idle_hook_(elapsed); }
  void set_idle_hook(IdleHook hook) { idle_hook_ = std::move(hook); }

  // The platform window is gone: the runtime is told, and lets go of the window in answer.
  void OnDestroyed() override;

 private:
  os::ShowMode start_mode_ = os::ShowMode::kNormal;
  IdleHook idle_hook_;
};

void* WindowInterface(int number);
extern const PropertyInfo kWindowProperties[];
extern const std::int32_t kWindowPropertyCount;

}  // namespace marvane::ui
