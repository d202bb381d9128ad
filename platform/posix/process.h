#pragma once

#include "platform/platform.h"

namespace marvane::os::posix {

class PosixProcess final : public Process {
 public:
  [[noreturn]] void Exit(int code) override;
  std::string ProgramPath() override;
  bool SetCurrentDirectory(std::string_view path) override;
  std::uint32_t Id() override;
};

}  // namespace marvane::os::posix
