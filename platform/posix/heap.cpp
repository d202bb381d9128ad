#include "platform/posix/heap.h"

#include <cstdlib>

namespace marvane::os::posix {

// malloc(0) may give null; the runtime asks for size 0 only for empty blocks, so ask for one byte.
void* ProcessHeap::Allocate(std::size_t size) {
  return std::malloc(size ? size : 1);
}

void* ProcessHeap::Reallocate(void* block, std::size_t size) {
  return std::realloc(block, size ? size : 1);
}

void ProcessHeap::Free(void* block) {
  std::free(block);
}

}  // namespace marvane::os::posix
