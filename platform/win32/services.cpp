#include "platform/win32/codec.h"
#include "platform/win32/dialogs.h"
#include "platform/win32/files.h"
#include "platform/win32/heap.h"
#include "platform/win32/process.h"
#include "platform/win32/window_system.h"

namespace marvane::os {

Services DefaultServices() {
  static win32::ProcessHeap heap;
  static win32::Win32Dialogs dialogs;
  static win32::Win32Process process;
  static win32::Win32Codec codec;
  static win32::Win32FileSystem files;
  static win32::Win32WindowSystem windows;
  Services services;
  services.heap = &heap;
  services.dialogs = &dialogs;
  services.process = &process;
  services.codec = &codec;
  services.files = &files;
  services.windows = &windows;
  return services;
}

}  // namespace marvane::os
