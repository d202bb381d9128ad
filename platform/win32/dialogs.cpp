#include "platform/win32/dialogs.h"

#include "platform/win32/windows_api.h"

#include "platform/win32/codec.h"

namespace marvane::os::win32 {

int Win32Dialogs::ShowMessageBox(const MessageBoxRequest& request) {
  std::wstring text = Wide(request.text);
  std::wstring caption = Wide(request.caption);
  return MessageBoxW(reinterpret_cast<HWND>(request.owner), text.c_str(), caption.c_str(),
                     request.style);
}

}  // namespace marvane::os::win32
