#include "runtime/values/command.h"

namespace marvane {

ValueRecord CallCoreCommand(Command command, std::int32_t arg_count, ValueRecord* args) {
  ValueRecord result{};
  command(&result, arg_count, args);
  return result;
}

ValueRecord CallLibraryCommand(Command command, std::int32_t arg_count, ValueRecord* args) {
  ValueRecord result{};
  command(&result, arg_count, args);
  return result;
}

}  // namespace marvane
