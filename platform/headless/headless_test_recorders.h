// Recorders for the headless window system's tests: what the window system reported, and what a
// drop target was asked.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace marvane::os::headless::testing {

struct Event {
  enum Kind { kClicked, kFocusGained, kFocusLost, kDestroyed, kEndRequest, kContentChanged };
  Kind kind;
  WindowHandle window = 0;
  int code = 0;
  bool operator==(const Event&) const = default;
};

inline void PrintTo(const Event& e, std::ostream* os) {
  static const char* const kNames[] = {"clicked",   "focus+", "focus-",
                                       "destroyed", "end",    "changed"};
  *os << kNames[e.kind] << "(" << e.window << (e.kind == Event::kEndRequest ? ", " : "")
      << (e.kind == Event::kEndRequest ? std::to_string(e.code) : "") << ")";
}

class EventLog final : public WindowEvents {
 public:
  void OnClicked(WindowHandle control) override { Record({Event::kClicked, control}); }
  void OnFocusChanged(WindowHandle control, bool gained) override {
    Record({gained ? Event::kFocusGained : Event::kFocusLost, control});
  }
  void OnDestroyed(WindowHandle window) override { Record({Event::kDestroyed, window}); }
  void OnEndRequest(int code) override { Record({Event::kEndRequest, 0, code}); }
  void OnContentChanged(WindowHandle edit) override { Record({Event::kContentChanged, edit}); }

  std::vector<Event> events;
  // Runs after each event is recorded: a test reacts as the runtime would.
  std::function<void(const Event&)> react;

 private:
  void Record(const Event& e) {
    events.push_back(e);
    if (react) react(e);
  }
};

class RecordingSink final : public DropSink {
 public:
  std::uint32_t DragEnter(DragData& data, std::uint32_t keys, std::uint32_t allowed) override {
    calls.push_back("enter");
    seen_keys = keys;
    seen_allowed = allowed;
    has_files = data.HasFormat(kFilesFormat);
    if (during_enter) during_enter();
    return enter_effect;
  }
  std::uint32_t DragOver(std::uint32_t, std::uint32_t) override {
    calls.push_back("over");
    return over_effect;
  }
  void DragLeave() override { calls.push_back("leave"); }
  std::uint32_t Drop(DragData& data, std::uint32_t, std::uint32_t) override {
    calls.push_back("drop");
    files_read = data.GetFiles(&files);
    return drop_effect;
  }

  std::uint32_t enter_effect = drag::kEffectCopy;
  std::uint32_t over_effect = drag::kEffectCopy;
  std::uint32_t drop_effect = drag::kEffectCopy;
  std::function<void()> during_enter;

  std::vector<std::string> calls;
  std::uint32_t seen_keys = 0;
  std::uint32_t seen_allowed = 0;
  bool has_files = false;
  bool files_read = false;
  std::vector<std::string> files;
};

}  // namespace marvane::os::headless::testing
