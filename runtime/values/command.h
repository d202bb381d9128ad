// The one calling form of every runtime command.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <type_traits>

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

namespace detail {
// The commands may write to their arguments, so they get a copy. Only the records given are
// copied and the rest of the room stays unwritten (a command reads none past its count): these
// calls run several times per line of a list.
class InlineArgs {
 public:
  explicit InlineArgs(std::initializer_list<ValueRecord> args)
      : count_(static_cast<std::int32_t>(args.size())) {
    // An empty list may have no storage at all: its begin() can be null.
    if (args.size() != 0) std::memcpy(room_, args.begin(), args.size() * sizeof(ValueRecord));
  }
  std::int32_t count() const { return count_; }
  ValueRecord* records() { return reinterpret_cast<ValueRecord*>(room_); }

 private:
  static_assert(std::is_trivially_copyable_v<ValueRecord>);
  alignas(ValueRecord) unsigned char room_[sizeof(ValueRecord) * kMaxInlineArgs];
  std::int32_t count_;
};
}  // namespace detail

inline ValueRecord CallCore(Command command, std::initializer_list<ValueRecord> args) {
  if (args.size() > kMaxInlineArgs) return {};
  detail::InlineArgs copy(args);
  return CallCoreCommand(command, copy.count(), copy.records());
}
inline ValueRecord CallLibrary(Command command, std::initializer_list<ValueRecord> args) {
  if (args.size() > kMaxInlineArgs) return {};
  detail::InlineArgs copy(args);
  return CallLibraryCommand(command, copy.count(), copy.records());
}

// An argument of a command: the record at index i, or an omitted (all-zero) one past the count.
inline const ValueRecord& Arg(std::int32_t arg_count, const ValueRecord* args, std::int32_t i) {
  static const ValueRecord kOmitted{};
  return i < arg_count ? args[i] : kOmitted;
}

}  // namespace marvane
