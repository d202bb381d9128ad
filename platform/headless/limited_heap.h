#pragma once

#include <cstddef>

#include "platform/platform.h"

namespace marvane::os::headless {

// A heap over another that refuses chosen requests, to drive the runtime's out-of-memory path.
class LimitedHeap final : public Heap {
 public:
  explicit LimitedHeap(Heap* base) : base_(base) {}
  void* Allocate(std::size_t size) override;
  void* Reallocate(void* block, std::size_t size) override;
  void Free(void* block) override { base_->Free(block); }

  // Requests larger than this fail.
  void set_largest(std::size_t largest) { largest_ = largest; }
  // After this many more successful requests every request fails.
  void fail_after(std::size_t count) { remaining_ = count; }

 private:
  bool Permit(std::size_t size);

  Heap* base_;
  std::size_t largest_ = static_cast<std::size_t>(-1);
  std::size_t remaining_ = static_cast<std::size_t>(-1);
};

}  // namespace marvane::os::headless
