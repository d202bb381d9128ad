#pragma once

#include <string>
#include <string_view>

namespace marvane::os::posix {

// Runtime paths are GBK and use "\" as Windows does ("/" works as well). The kernel's are the
// locale's encoding, taken to be UTF-8, with "/" only.

// The kernel's name for a runtime path; empty when the path holds bytes that are no GBK character
// (an invalid byte pair, a lead byte at the end), since such a path names no file.
std::string ToNativePath(std::string_view path);
// A kernel path in the runtime's form: UTF-8 to GBK, "/" to "\". Characters GBK lacks, and bytes
// that are no UTF-8, become "?", which names no file the runtime could then find again.
std::string ToRuntimePath(std::string_view path);

}  // namespace marvane::os::posix
