#include "platform/posix/codec.h"
#include "platform/posix/dialogs.h"
#include "platform/posix/file_system.h"
#include "platform/posix/heap.h"
#include "platform/posix/process.h"

namespace marvane::os {

Services DefaultServices() {
  static posix::ProcessHeap heap;
  static posix::ConsoleDialogs dialogs;
  static posix::PosixProcess process;
  static posix::IconvCodec codec;
  static posix::PosixFileSystem files;
  Services services;
  services.heap = &heap;
  services.dialogs = &dialogs;
  services.process = &process;
  services.codec = &codec;
  services.files = &files;
  return services;
}

}  // namespace marvane::os
