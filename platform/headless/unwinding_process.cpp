#include "platform/headless/unwinding_process.h"

namespace marvane::os::headless {

void UnwindingProcess::Exit(int code) {
  throw ProcessExit{code};
}

bool UnwindingProcess::SetCurrentDirectory(std::string_view path) {
  current_directory_ = std::string(path);
  return true;
}

}  // namespace marvane::os::headless
