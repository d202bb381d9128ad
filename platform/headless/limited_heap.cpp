#include "platform/headless/limited_heap.h"

namespace marvane::os::headless {

bool LimitedHeap::Permit(std::size_t size) {
  if (size > largest_ || remaining_ == 0) return false;
  if (remaining_ != static_cast<std::size_t>(-1)) --remaining_;
  return true;
}

void* LimitedHeap::Allocate(std::size_t size) {
  return Permit(size) ? base_->Allocate(size) : nullptr;
}

void* LimitedHeap::Reallocate(void* block, std::size_t size) {
  return Permit(size) ? base_->Reallocate(block, size) : nullptr;
}

}  // namespace marvane::os::headless
