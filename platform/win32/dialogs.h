#pragma once

#include "platform/platform.h"

namespace marvane::os::win32 {

class Win32Dialogs final : public Dialogs {
 public:
  int ShowMessageBox(const MessageBoxRequest& request) override;
};

// For a console program: a message box is a line on standard error, "[caption] text", answered
// OK. Paths in the text stay as the window shows them, with "\".
class ConsoleDialogs final : public Dialogs {
 public:
  int ShowMessageBox(const MessageBoxRequest& request) override;
};

}  // namespace marvane::os::win32
