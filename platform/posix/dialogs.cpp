#include "platform/posix/dialogs.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/posix/codec.h"

namespace marvane::os::posix {

int ConsoleDialogs::ShowMessageBox(const MessageBoxRequest& request) {
  // The runtime writes paths with "\" as on Windows; here a path in a message must be one the user
  // can paste. Once in UTF-8 no character holds a 0x5C byte, so every "\" left is a separator.
  std::string text = GbkToUtf8(request.text);
  std::replace(text.begin(), text.end(), '\\', '/');
  // Appended piece by piece: prepending to a temporary trips a false -Wrestrict at -O3.
  std::string line = "[";
  line += GbkToUtf8(request.caption);
  line += "] ";
  line += text;
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
  return 1;  // IDOK
}

}  // namespace marvane::os::posix
