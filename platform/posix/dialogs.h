#pragma once

#include "platform/platform.h"

namespace marvane::os::posix {

// Without a screen a message box is a line on standard error, "[caption] text", answered OK; the
// paths in the text are written as this system writes them, with "/".
class ConsoleDialogs final : public Dialogs {
 public:
  int ShowMessageBox(const MessageBoxRequest& request) override;
};

}  // namespace marvane::os::posix
