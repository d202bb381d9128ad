#include "runtime/commands/file/file_commands.h"
#include "runtime/values/core.h"

namespace marvane::commands {

void GetRunDirectory(ValueRecord* result, std::int32_t, ValueRecord*) {
  // The core keeps its own text; the caller gets a copy it may free.
  auto directory = reinterpret_cast<const char*>(RuntimeRequest(request::kRunDirectory, 0, 0));
  *result = PointerValue(MakeText(directory), type::kText);
}

}  // namespace marvane::commands
