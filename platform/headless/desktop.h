// The headless window system and the scripted message boxes, installed together over the services
// in force for the lifetime of the object: everything a test or the command-line front end needs
// to run windows without a screen.
#pragma once

#include "platform/headless/headless_window_system.h"
#include "platform/headless/scripted_dialogs.h"
#include "platform/platform.h"

namespace marvane::os::headless {

class Desktop {
 public:
  // dialogs: a ScriptedDialogs to use (a fixture's, say); null: the desktop's own.
  explicit Desktop(ScriptedDialogs* dialogs = nullptr);
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  HeadlessWindowSystem& windows() { return windows_; }
  ScriptedDialogs& dialogs() { return *dialogs_; }

 private:
  ScriptedDialogs own_dialogs_;
  ScriptedDialogs* dialogs_;
  HeadlessWindowSystem windows_;
  ScopedServices installed_;  // last: installed once the members exist, removed first
};

}  // namespace marvane::os::headless
