#pragma once

#include "platform/win32/windows_api.h"

#include <string_view>

namespace marvane::os::win32 {

// An icon of the given size from the bytes of an icon file: the image closest in size (the
// deepest colour among equals), scaled when none fits exactly. Null when the bytes are not an
// icon file or point outside themselves.
HICON IconFromFile(std::string_view file, int width, int height);

}  // namespace marvane::os::win32
