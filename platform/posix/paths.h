#pragma once

#include <string>
#include <string_view>

namespace marvane::os::posix {

// Runtime paths use "\" as Windows does; "/" works as well. The native form uses "/" only.
std::string ToNativePath(std::string_view path);
// A native path in the runtime's form: "/" becomes "\".
std::string ToRuntimePath(std::string_view path);

}  // namespace marvane::os::posix
