#include "runtime/values/service_table.h"

#include "runtime/values/core.h"
#include "runtime/values/heap.h"
#include "runtime/values/runtime_error.h"

namespace marvane {

ServiceTable& Services() {
  static ServiceTable table = {
      ReportRuntimeError, nullptr, CallLibraryCommand, CallCoreCommand, nullptr, nullptr, Allocate,
      Reallocate,         Free,    EndProgram,         nullptr,         nullptr, nullptr,
  };
  return table;
}

}  // namespace marvane
