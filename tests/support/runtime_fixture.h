// A test fixture that stands the headless doubles in for the message box and the process end, so
// that a fatal report can be watched to its end without ending the test process.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/headless/limited_heap.h"
#include "platform/headless/scripted_dialogs.h"
#include "platform/headless/unwinding_process.h"
#include "platform/platform.h"

namespace marvane::testing {

class RuntimeTest : public ::testing::Test {
 protected:
  RuntimeTest();
  ~RuntimeTest() override;

  // Runs body; returns the exit code when it ended the program, nothing when it returned.
  std::optional<int> RunToEnd(const std::function<void()>& body);

  os::headless::ScriptedDialogs dialogs_;
  os::headless::UnwindingProcess process_;
  os::headless::LimitedHeap heap_{os::DefaultServices().heap};

 private:
  os::ScopedServices services_;
};

// A string of GBK bytes from a UTF-8 literal, for readable expectations.
std::string Gbk(std::string_view utf8);

}  // namespace marvane::testing
