#pragma once

#include "platform/platform.h"

namespace marvane::os::win32 {

class Win32Process final : public Process {
 public:
  [[noreturn]] void Exit(int code) override;
  // Empty as well when the path holds a character that GBK cannot express.
  std::string ProgramPath() override;
  bool SetCurrentDirectory(std::string_view path) override;
};

}  // namespace marvane::os::win32
