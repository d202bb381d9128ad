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

// For a process that converts one list and ends: blocks the size of the list that are freed stay
// with the process for the next ones, instead of going back to the system and being faulted in
// again page by page. Memory is returned when the process ends.
void KeepFreedMemory();

// Also for such a process: a large list converts about twice as fast with the C library's heap in
// huge pages, a page fault per 2 MiB instead of per 4 KiB. The library takes that setting only
// from the environment at start-up, so the process starts itself once more with it set, unless
// the setting is there already; when that cannot be done it goes on as it is.
void RestartWithLargePages(char** argv);

}  // namespace marvane::os::posix
