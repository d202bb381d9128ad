#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace marvane::os::headless {

// Message boxes answered by a scripted user: each box is recorded, then answered with the next
// scripted button (IDOK when the script has run out).
class ScriptedDialogs final : public Dialogs {
 public:
  struct Shown {
    WindowHandle owner;
    std::string text;
    std::string caption;
    std::uint32_t style;
  };

  int ShowMessageBox(const MessageBoxRequest& request) override;

  void Answer(int button) { answers_.push_back(button); }
  const std::vector<Shown>& shown() const { return shown_; }
  void Clear() { shown_.clear(); }

 private:
  std::vector<Shown> shown_;
  std::deque<int> answers_;
};

}  // namespace marvane::os::headless
