// Standard output and error of a console program, written as Windows readers take them.
#pragma once

#include <string_view>

namespace marvane::os::win32 {

enum class StandardStream { kOutput, kError };

// Writes one line of GBK text and CR LF to the stream. A console gets it as Unicode, so that it
// reads right in whatever code page the console is set to; a file or pipe gets it in the console's
// output code page, as the system's own console programs write it, or, when the process has no
// console, in the OEM code page, the one its console would have. Characters the code page lacks
// become "?". False when the stream is missing or the line could not be written whole.
bool WriteStandardLine(StandardStream stream, std::string_view gbk);

}  // namespace marvane::os::win32
