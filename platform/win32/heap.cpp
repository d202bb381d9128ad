#include "platform/win32/heap.h"

#include "platform/win32/windows_api.h"

namespace marvane::os::win32 {

void* ProcessHeap::Allocate(std::size_t size) {
  return HeapAlloc(GetProcessHeap(), 0, size);
}

// HeapReAlloc refuses a null block; treat it as a fresh allocation like realloc does.
void* ProcessHeap::Reallocate(void* block, std::size_t size) {
  if (!block) return Allocate(size);
  return HeapReAlloc(GetProcessHeap(), 0, block, size);
}

void ProcessHeap::Free(void* block) {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace marvane::os::win32
