#include "platform/posix/process.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/posix/paths.h"

namespace marvane::os::posix {

void PosixProcess::Exit(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}

// The runtime splits the program path at its last backslash, as on Windows; hand it a path in
// that form, in GBK, so the run directory comes out right.
std::string PosixProcess::ProgramPath() {
  std::string path(4096, '\0');
  ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(n));
  return ToRuntimePath(path);
}

bool PosixProcess::SetCurrentDirectory(std::string_view path) {
  return chdir(ToNativePath(path).c_str()) == 0;
}

std::uint32_t PosixProcess::Id() {
  return static_cast<std::uint32_t>(getpid());
}

}  // namespace marvane::os::posix
