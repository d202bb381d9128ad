#include "platform/posix/dialogs.h"

#include <cstdio>
#include <string>

#include "platform/posix/codec.h"

namespace marvane::os::posix {

int ConsoleDialogs::ShowMessageBox(const MessageBoxRequest& request) {
  std::string line = "[" + GbkToUtf8(request.caption) + "] " + GbkToUtf8(request.text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
  return 1;  // IDOK
}

}  // namespace marvane::os::posix
