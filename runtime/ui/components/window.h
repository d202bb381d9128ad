// The window itself: a top-level platform window made from the stored window settings.
#pragma once

#include "runtime/ui/component.h"
#include "runtime/ui/program_header.h"

namespace marvane::ui {

class WindowComponent final : public Component {
 public:
  using Component::Component;
  // How the window is first shown: its start position 2 minimised, 3 maximised, else normal.
  os::ShowMode start_mode() const { return start_mode_; }
  void set_start_mode(os::ShowMode mode) { start_mode_ = mode; }

 private:
  os::ShowMode start_mode_ = os::ShowMode::kNormal;
};

void* WindowInterface(int number);
extern const PropertyInfo kWindowProperties[];
extern const std::int32_t kWindowPropertyCount;

}  // namespace marvane::ui
