#pragma once

#include "platform/platform.h"

namespace marvane::os::win32 {

class Win32Dialogs final : public Dialogs {
 public:
  int ShowMessageBox(const MessageBoxRequest& request) override;
};

}  // namespace marvane::os::win32
