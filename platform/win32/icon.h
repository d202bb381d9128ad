#pragma once

#include "platform/win32/windows_api.h"

#include <string_view>

namespace marvane::os::win32 {

// An icon of the given size from the bytes of an icon file: the image closest in size (the
// deepest colour among equals), scaled when none fits exactly. A larger 32-bit image is averaged
// down to exactly width x height, each pixel the alpha-weighted mean of the area it covers; other
// images are scaled by the system. The bytes are only read. Null when the bytes are not an icon
// file or point outside themselves.
HICON IconFromFile(std::string_view file, int width, int height);

}  // namespace marvane::os::win32
