// A runtime test with a fresh directory and helpers that call the file commands as the program's
// logic does. Files a test leaves open are closed when it ends.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "runtime/commands/file/file_commands.h"
#include "tests/support/runtime_fixture.h"
#include "tests/support/temp_directory.h"
#include "tests/support/values_helpers.h"

namespace marvane::commands {

class FileCommandTest : public testing::RuntimeTest {
 protected:
  ~FileCommandTest() override {
    for (std::int32_t number : opened_)
      CallCore(CloseFile, {IntValue(number)});
  }

  std::int32_t Open(const std::string& path, ValueRecord mode = {}, ValueRecord sharing = {}) {
    std::int32_t number = IntOf(CallCore(OpenFile, {TextArg(path.c_str()), mode, sharing}));
    if (number != 0) opened_.push_back(number);
    return number;
  }
  std::optional<std::string> Line(std::int32_t number) {
    return testing::TakeText(CallCore(ReadLine, {IntValue(number)}));
  }
  bool AtEnd(std::int32_t number, ValueRecord stop = {}) {
    return CallCore(IsEndOfFile, {IntValue(number), stop}).low != 0;
  }
  void Close(std::int32_t number) { CallCore(CloseFile, {IntValue(number)}); }

  testing::TempDirectory dir_;
  std::vector<std::int32_t> opened_;
};

}  // namespace marvane::commands
