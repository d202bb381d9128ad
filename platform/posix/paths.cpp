#include "platform/posix/paths.h"

namespace marvane::os::posix {

// A GBK trail byte may be 0x5C; it must not turn into a separator.
std::string ToNativePath(std::string_view path) {
  std::string out(path);
  for (std::size_t i = 0; i < out.size(); ++i) {
    auto c = static_cast<unsigned char>(out[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < out.size()) {
      ++i;
    } else if (c == '\\') {
      out[i] = '/';
    }
  }
  return out;
}

std::string ToRuntimePath(std::string_view path) {
  std::string out(path);
  for (std::size_t i = 0; i < out.size(); ++i) {
    auto c = static_cast<unsigned char>(out[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < out.size()) {
      ++i;
    } else if (c == '/') {
      out[i] = '\\';
    }
  }
  return out;
}

}  // namespace marvane::os::posix
