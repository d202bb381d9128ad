#include "platform/win32/dialogs.h"

#include "platform/win32/windows_api.h"

#include <string>

#include "platform/win32/codec.h"
#include "platform/win32/console.h"

namespace marvane::os::win32 {

int Win32Dialogs::ShowMessageBox(const MessageBoxRequest& request) {
  std::wstring text = Wide(request.text);
  std::wstring caption = Wide(request.caption);
  return MessageBoxW(reinterpret_cast<HWND>(request.owner), text.c_str(), caption.c_str(),
                     request.style);
}

int ConsoleDialogs::ShowMessageBox(const MessageBoxRequest& request) {
  std::string line = "[";
  line += request.caption;
  line += "] ";
  line += request.text;
  WriteStandardLine(StandardStream::kError, line);
  return IDOK;
}

}  // namespace marvane::os::win32
