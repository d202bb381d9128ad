#include "platform/posix/heap.h"

#include <malloc.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

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

void KeepFreedMemory() {
  // Large blocks come from the heap rather than from mappings of their own, and the heap's top
  // is not trimmed: both would give freed pages back.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, INT_MAX);
}

void RestartWithLargePages(char** argv) {
  constexpr char kVariable[] = "GLIBC_TUNABLES";
  constexpr char kSetting[] = "glibc.malloc.hugetlb=";
  const char* current = std::getenv(kVariable);
  // Set already, by an earlier start or by the user, whose choice stands.
  if (current && std::strstr(current, kSetting)) return;
  const std::string before = current ? current : "";
  const std::string value = (before.empty() ? "" : before + ":") + kSetting + "1";
  if (setenv(kVariable, value.c_str(), 1) != 0) return;
  execv("/proc/self/exe", argv);
  if (current) {
    setenv(kVariable, before.c_str(), 1);
  } else {
    unsetenv(kVariable);
  }
}

}  // namespace marvane::os::posix
