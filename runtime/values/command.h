// The one calling form of every runtime command.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "runtime/values/value_record.h"

namespace marvane {

// result arrives all zero; args holds arg_count records, first argument first.
using Command = void (*)(ValueRecord* result, std::int32_t arg_count, ValueRecord* args);

// Calls a command of the core library / of the XML, drag-and-drop or extended-UI library.
// Both prepare an all-zero result, call, and hand the result record back.
ValueRecord CallCoreCommand(Command command, std::int32_t arg_count, ValueRecord* args);
ValueRecord CallLibraryCommand(Command command, std::int32_t arg_count, ValueRecord* args);

// Convenience for callers that lay out arguments inline.
inline constexpr std::size_t kMaxInlineArgs = 16;
inline ValueRecord CallCore(Command command, std::initializer_list<ValueRecord> args) {
  ValueRecord copy[kMaxInlineArgs];
  if (args.size() > kMaxInlineArgs) return {};
  std::int32_t n = 0;
  for (const ValueRecord& a : args)
    copy[n++] = a;
  return CallCoreCommand(command, n, copy);
}
inline ValueRecord CallLibrary(Command command, std::initializer_list<ValueRecord> args) {
  ValueRecord copy[kMaxInlineArgs];
  if (args.size() > kMaxInlineArgs) return {};
  std::int32_t n = 0;
  for (const ValueRecord& a : args)
    copy[n++] = a;
  return CallLibraryCommand(command, n, copy);
}

// An argument of a command: the record at index i, or an omitted (all-zero) one past the count.
inline const ValueRecord& Arg(std::int32_t arg_count, const ValueRecord* args, std::int32_t i) {
  static const ValueRecord kOmitted{};
  return i < arg_count ? args[i] : kOmitted;
}

}  // namespace marvane
