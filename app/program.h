// The program as the runtime sees it: its header, its start-up procedure and the process entry.
#pragma once

#include <string>
#include <vector>

#include "runtime/ui/program_header.h"

namespace marvane::app {

const ui::ProgramHeader& Program();

// Initialises the runtime, registers the exit procedure, loads the start-up window and runs the
// message loop; returns the exit code 0 when the window is closed. Files given (GBK paths: the
// program's command line) are dropped on the list box once the window shows.
int StartUp(const std::vector<std::string>& files = {});

// The whole process: hands the runtime the program, runs the start-up procedure and ends the
// program through the runtime's end sequence. Does not return.
[[noreturn]] void RunProgram(const std::vector<std::string>& files = {});

}  // namespace marvane::app
