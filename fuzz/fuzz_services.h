// Services for fuzz targets: a fatal run-time report must show up as a crash, not as a quiet exit
// of the fuzzer, and message boxes must not wait for anyone.
#pragma once

#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace marvane::fuzz {

class AbortingProcess final : public os::Process {
 public:
  [[noreturn]] void Exit(int) override { std::abort(); }
  std::string ProgramPath() override { return {}; }
  bool SetCurrentDirectory(std::string_view) override { return false; }
  std::uint32_t Id() override { return 1; }
};

class SilentDialogs final : public os::Dialogs {
 public:
  int ShowMessageBox(const os::MessageBoxRequest&) override { return 1; }
};

// Installs the two for the life of the process.
inline void InstallFuzzServices() {
  static AbortingProcess process;
  static SilentDialogs dialogs;
  static os::ScopedServices installed([] {
    os::Services services = os::Current();
    services.process = &process;
    services.dialogs = &dialogs;
    return services;
  }());
}

inline void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace marvane::fuzz
