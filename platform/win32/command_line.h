// What a program is started with on Windows: its arguments and the paths among them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marvane::os::win32 {

// The arguments from the wide command line, split as the shell splits it, without the program's
// own name.
std::vector<std::wstring> CommandLineArguments();

// A path in full, taken from the current directory (of its drive) as the system takes it: "."
// and ".." resolved, "/" turned into "\". The path itself when the system cannot make it full.
std::wstring FullPath(std::wstring_view path);

}  // namespace marvane::os::win32
