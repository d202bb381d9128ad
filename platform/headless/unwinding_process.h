#pragma once

#include "platform/platform.h"

namespace marvane::os::headless {

// Thrown by UnwindingProcess::Exit in place of ending the process, so a test can watch a fatal
// path to its end and go on. Only test harnesses catch it.
struct ProcessExit {
  int code;
};

class UnwindingProcess final : public Process {
 public:
  [[noreturn]] void Exit(int code) override;
  std::string ProgramPath() override { return program_path_; }
  bool SetCurrentDirectory(std::string_view path) override;
  std::uint32_t Id() override { return 1; }

  void set_program_path(std::string path) { program_path_ = std::move(path); }
  const std::string& current_directory() const { return current_directory_; }

 private:
  std::string program_path_;
  std::string current_directory_;
};

}  // namespace marvane::os::headless
