// Runs the whole program on the headless window system with a scripted user, and looks at the
// window between the user's steps.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/identifiers.h"
#include "app/program.h"
#include "platform/headless/desktop.h"
#include "tests/support/runtime_fixture.h"
#include "tests/support/temp_directory.h"

namespace marvane::app {

// What the window shows at one moment.
struct WindowState {
  std::string edit_text;
  std::int32_t combo_selection = -1;
  std::string combo_text;
  std::string status_text;
  std::string dropped_path;
  std::size_t boxes = 0;  // message boxes shown so far
  os::WindowHandle window = 0;
};

class ProgramTest : public testing::RuntimeTest {
 protected:
  ProgramTest();
  ~ProgramTest() override;

  // Queues a step of the scripted user; steps run in order inside the message loop.
  void Then(std::function<void()> step) { windows().Post(std::move(step)); }
  // Queues a drop of these paths (GBK) on the list box with the given keys held.
  void Drop(std::vector<std::string> paths, std::uint32_t keys = 0);
  void ClickSave();
  // Queues a snapshot of the window into *state.
  void Look(WindowState* state);
  // Runs the program to its end, given these files (GBK paths) as at start; returns its exit code.
  int Run(const std::vector<std::string>& files = {});

  os::headless::HeadlessWindowSystem& windows() { return desktop_.windows(); }
  os::WindowHandle Handle(std::uint32_t unit, std::uint32_t class_type);
  // The run directory in the runtime's form and the saved list's path on this system.
  std::string run_directory() const { return run_directory_; }
  std::string saved_list() const { return dir_ / "mac_sample.txt"; }
  const std::vector<os::headless::ScriptedDialogs::Shown>& boxes() const {
    return dialogs_.shown();
  }

  testing::TempDirectory dir_;

 private:
  os::headless::Desktop desktop_{&dialogs_};
  std::string run_directory_;
};

}  // namespace marvane::app
