// marvane-convert: the program's own logic without a screen, the same on every system. A front
// end per system (posix/main.cpp, win32/main.cpp) reads the command line with ParseOptions, makes
// the paths full and GBK as that system's window program would hold them, and hands them here
// with its console.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "tools/marvane-convert/options.h"

namespace marvane::convert {

// Standard output and error as the system's consoles read them, one GBK line at a time (the
// front end adds its line end), and the message boxes shown there.
class Console {
 public:
  virtual ~Console() = default;
  virtual void Out(std::string_view gbk_line) = 0;
  virtual void Err(std::string_view gbk_line) = 0;
  virtual os::Dialogs& MessageBoxes() = 0;
};

// The answer to an action that converts nothing: the usage (on standard output when asked for,
// on standard error after a usage error) or the version. Returns the exit code.
int Answer(Action action, Console& console);

// Starts the program with run_directory as its directory (GBK, full, no separator at the end:
// "D:" for a drive's root), drops file (GBK, full) on the list box as a user would and, unless
// the drop showed a message box, presses "保存". The status bar's count goes to standard output;
// message boxes go to the console and are answered OK. Ends the process: 0 when the list was
// saved, 1 when the drop was refused or nothing was saved.
[[noreturn]] void Convert(const std::string& run_directory, const std::string& file,
                          Console& console);

}  // namespace marvane::convert
