#include "platform/win32/base_services.h"
#include "platform/win32/dialogs.h"
#include "platform/win32/window_system.h"

namespace marvane::os {

Services DefaultServices() {
  static win32::Win32Dialogs dialogs;
  static win32::Win32WindowSystem windows;
  return win32::BaseServices(&dialogs, &windows);
}

}  // namespace marvane::os
