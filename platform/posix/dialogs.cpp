#include "platform/posix/dialogs.h"

#include <cstdio>
#include <string>

#include "platform/posix/codec.h"

namespace marvane::os::posix {

int ConsoleDialogs::ShowMessageBox(const MessageBoxRequest& request) {
  // Appended piece by piece: prepending to a temporary trips a false -Wrestrict at -O3.
  std::string line = "[";
  line += GbkToUtf8(request.caption);
  line += "] ";
  line += GbkToUtf8(request.text);
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
  return 1;  // IDOK
}

}  // namespace marvane::os::posix
