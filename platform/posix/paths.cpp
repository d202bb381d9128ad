#include "platform/posix/paths.h"

#include <algorithm>

#include "platform/posix/codec.h"

namespace marvane::os::posix {

// Converted first: a GBK trail byte may be 0x5C, while in UTF-8 every 0x5C is a "\" of its own.
std::string ToNativePath(std::string_view path) {
  bool lossy = false;
  std::string out = GbkToUtf8(path, &lossy);
  if (lossy) return {};
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

// "/" is never a GBK trail byte (those start at 0x40), so every one left is a separator.
std::string ToRuntimePath(std::string_view path) {
  std::string out = Utf8ToGbk(path);
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

}  // namespace marvane::os::posix
