// What the window-system contract suite needs from a backend: the window system under test, and a
// look at what the interface itself cannot read back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace marvane::os::contract {

class Harness {
 public:
  virtual ~Harness() = default;
  virtual WindowSystem& system() = 0;
  // The text each part of a status bar shows, in part order.
  virtual std::vector<std::string> StatusTexts(WindowHandle bar) = 0;
  // The standard cursor shown with the mouse over the window's client area; cursor::kDefault
  // when it is the window's own default.
  virtual std::uint32_t CursorOver(WindowHandle window) = 0;
  // The user types one character at the end of an edit box; it is handled before this returns.
  virtual void Type(WindowHandle edit, char character) = 0;
};

// Defined once per backend, beside that backend.
std::unique_ptr<Harness> MakeHarness();

}  // namespace marvane::os::contract
