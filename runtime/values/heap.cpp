#include "runtime/values/heap.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "platform/platform.h"
#include "runtime/values/runtime_error.h"
#include "runtime/values/texts.h"
#include "runtime/values/values.h"

namespace marvane {
namespace {

struct Range {
  const char* start = nullptr;
  const char* end = nullptr;
  bool Holds(const void* p) const {
    auto c = static_cast<const char*>(p);
    return start && std::less_equal<>()(start, c) && std::less<>()(c, end);
  }
};

Range& ProgramConstants() {
  static Range range;
  return range;
}

[[noreturn]] void ReportAllocationFailure(std::size_t size) {
  // The report is built in ordinary C++ memory: the runtime heap has just failed.
  std::string message = text::kAllocationFailed;
  message.replace(message.find("%d"), 2, std::to_string(static_cast<long long>(size)));
  ReportFatal(message, 0, 0, 0);
}

}  // namespace

void SetConstantRange(const void* start, std::size_t size) {
  auto c = static_cast<const char*>(start);
  ProgramConstants() = size ? Range{c, c + size} : Range{};
}

bool IsConstant(const void* p) {
  if (!p) return false;
  return ProgramConstants().Holds(p) || IsStaticEmpty(p);
}

void* TryAllocate(std::size_t size) {
  return os::Current().heap->Allocate(size);
}

void* Allocate(std::size_t size) {
  void* block = os::Current().heap->Allocate(size);
  if (!block) ReportAllocationFailure(size);
  return block;
}

void* Reallocate(void* block, std::size_t size) {
  if (!block) return Allocate(size);
  if (IsConstant(block)) {
    void* copy = Allocate(size);
    std::size_t available = ConstantBytesFrom(block);
    std::memcpy(copy, block, size < available ? size : available);
    return copy;
  }
  void* moved = os::Current().heap->Reallocate(block, size);
  if (!moved) ReportAllocationFailure(size);
  return moved;
}

void Free(void* block) {
  if (!block || IsConstant(block)) return;
  os::Current().heap->Free(block);
}

std::size_t ConstantBytesFrom(const void* p) {
  auto c = static_cast<const char*>(p);
  const Range& r = ProgramConstants();
  if (r.Holds(p)) return static_cast<std::size_t>(r.end - c);
  return StaticEmptyBytesFrom(p);
}

}  // namespace marvane
