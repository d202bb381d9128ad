#pragma once

#include "platform/platform.h"

namespace marvane::os::posix {

// The C library's heap is the process heap here.
class ProcessHeap final : public Heap {
 public:
  void* Allocate(std::size_t size) override;
  void* Reallocate(void* block, std::size_t size) override;
  void Free(void* block) override;
};

}  // namespace marvane::os::posix
