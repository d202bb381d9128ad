// A component's live object: what a class's create procedure returns and its get/set procedures
// work on.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window_system.h"

namespace marvane::ui {

class Component {
 public:
  Component(std::uint32_t window_id, std::uint32_t unit_id, os::WindowHandle handle)
      : window_id_(window_id), unit_id_(unit_id), handle_(handle) {}
  virtual ~Component() = default;
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  std::uint32_t window_id() const { return window_id_; }
  std::uint32_t unit_id() const { return unit_id_; }
  // The platform window, 0 for a component without one (the drop target).
  os::WindowHandle handle() const { return handle_; }

  // The runtime tells the component that its platform window is gone.
  virtual void OnDestroyed() { handle_ = 0; }
  // A push button's click, reported by the window system.
  virtual void OnClicked() {}
  // An edit box's text changed, by the program or the user.
  virtual void OnContentChanged() {}

 protected:
  void set_handle(os::WindowHandle handle) { handle_ = handle; }

 private:
  std::uint32_t window_id_;
  std::uint32_t unit_id_;
  os::WindowHandle handle_;
};

}  // namespace marvane::ui
