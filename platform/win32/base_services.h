// The services every Windows program of ours has, whatever shows its message boxes and windows.
#pragma once

#include "platform/platform.h"

namespace marvane::os::win32 {

// The process heap, the process, code page 936 and the files through the wide API, with the
// dialogs and the window system given (the latter may be null).
Services BaseServices(Dialogs* dialogs, WindowSystem* windows);

}  // namespace marvane::os::win32
