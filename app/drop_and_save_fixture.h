// Drops a file on the program as a user would, after a list was saved before, and presses "保存";
// records what the window showed, the message boxes and how long the program took.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "app/program_test_fixture.h"
#include "runtime/ui/runtime.h"

namespace marvane::app {

inline constexpr char kPreviousList[] = "00-11-22-33-44-55 OLD";

struct Outcome {
  WindowState state;
  std::vector<std::string> boxes;  // texts of the message boxes, in order
  int exit_code = 0;
  double seconds = 0;
};

class DropAndSaveTest : public ProgramTest {
 protected:
  // Drops the paths on a program that saved a list before, then presses "保存".
  Outcome DropAndSave(const std::vector<std::string>& paths) {
    dir_.Write("mac_sample.txt", kPreviousList);
    dialogs_.Clear();
    Outcome out;
    Drop(paths);
    Look(&out.state);
    ClickSave();
    const auto start = std::chrono::steady_clock::now();
    out.exit_code = Run();
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const auto& box : boxes())
      out.boxes.push_back(box.text);
    ui::ResetRuntime();
    return out;
  }
};

}  // namespace marvane::app
