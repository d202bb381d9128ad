#pragma once

#include <deque>
#include <functional>
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
  // Called with each box as it shows, before it is answered, so a test can look at the state the
  // program is in while the box holds it.
  void set_on_show(std::function<void(const Shown&)> hook) { on_show_ = std::move(hook); }
  const std::vector<Shown>& shown() const { return shown_; }
  void Clear() { shown_.clear(); }

 private:
  std::vector<Shown> shown_;
  std::deque<int> answers_;
  std::function<void(const Shown&)> on_show_;
};

}  // namespace marvane::os::headless
