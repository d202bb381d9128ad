#include "platform/win32/base_services.h"

#include "platform/win32/codec.h"
#include "platform/win32/files.h"
#include "platform/win32/heap.h"
#include "platform/win32/process.h"

namespace marvane::os::win32 {

Services BaseServices(Dialogs* dialogs, WindowSystem* windows) {
  static ProcessHeap heap;
  static Win32Process process;
  static Win32Codec codec;
  static Win32FileSystem files;
  Services services;
  services.heap = &heap;
  services.dialogs = dialogs;
  services.process = &process;
  services.codec = &codec;
  services.files = &files;
  services.windows = windows;
  return services;
}

}  // namespace marvane::os::win32
