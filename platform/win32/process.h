#pragma once

#include "platform/platform.h"

namespace marvane::os::win32 {

class Win32Process final : public Process {
 public:
  [[noreturn]] void Exit(int code) override;
  // As GbkPath gives it. Never empty: a path that cannot be had, or that GBK cannot write in any
  // form, names no directory, so that no file is written anywhere on its behalf.
  std::string ProgramPath() override;
  bool SetCurrentDirectory(std::string_view path) override;
  std::uint32_t Id() override;
};

}  // namespace marvane::os::win32
