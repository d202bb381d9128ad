#pragma once

#include "platform/platform.h"

namespace marvane::os::win32 {

// The process's default heap.
class ProcessHeap final : public Heap {
 public:
  void* Allocate(std::size_t size) override;
  void* Reallocate(void* block, std::size_t size) override;
  void Free(void* block) override;
};

}  // namespace marvane::os::win32
