// The entry points the program's logic calls, in their fixed order. The window runtime fills the
// entries that belong to it when it starts.
#pragma once

#include <cstdint>

#include "runtime/values/command.h"

namespace marvane {

struct ServiceTable {
  // 0: fatal run-time error from the error table.
  void (*report_runtime_error)(int number, std::int32_t location_a, std::int32_t location_b);
  // 1: resolving functions of external libraries: this program declares none.
  void* resolve_external;
  // 2, 3: command calls.
  ValueRecord (*call_library_command)(Command command, std::int32_t arg_count, ValueRecord* args);
  ValueRecord (*call_core_command)(Command command, std::int32_t arg_count, ValueRecord* args);
  // 4, 5: component properties (window id, unit id, property, element index[, value]).
  std::int64_t (*get_property)(std::uint32_t window, std::uint32_t unit, std::int32_t property,
                               std::int32_t index);
  void (*set_property)(std::uint32_t window, std::uint32_t unit, std::int32_t property,
                       std::int32_t index, std::uint32_t low, std::uint32_t high);
  // 6, 7, 8: the runtime heap.
  void* (*allocate)(std::size_t size);
  void* (*reallocate)(void* block, std::size_t size);
  void (*free)(void* block);
  // 9, 10, 11: the end of the program, the message loop, loading a window.
  void (*end_program)(int code);
  void (*run_message_loop)();
  std::intptr_t (*load_window)(std::uint32_t window);
  // 12: indexed entry (6: initialise the runtime; 3: register an exit procedure).
  std::intptr_t (*indexed_entry)(int index, std::intptr_t argument);
};

ServiceTable& Services();

}  // namespace marvane
