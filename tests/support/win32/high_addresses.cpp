// A large-address-aware 32-bit program gets addresses above 2 GiB, where a pointer taken for a
// signed number turns negative and one widened that way gains a high word. Each test program
// of the 32-bit build starts with the address space below 2 GiB taken up, and the room left in
// the heaps that already lie there, so that what it allocates from then on lies above: such a
// fault in the runtime then shows in every test.
#include <cstdint>
#include <cstdlib>

#include "platform/win32/windows_api.h"

namespace {

constexpr std::uintptr_t kTwoGiB = 0x80000000u;
constexpr SIZE_T kLargestPiece = SIZE_T{256} << 20;
constexpr SIZE_T kSmallestPiece = SIZE_T{64} << 10;  // the system's allocation granularity
constexpr SIZE_T kSmallestBlock = 8;

bool High(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p) >= kTwoGiB;
}

// Takes pieces from largest to smallest until take() gives none below 2 GiB; the pieces it gave
// there are kept for good, the first above is given back.
template <typename Take, typename GiveBack>
void TakeLow(SIZE_T largest, SIZE_T smallest, Take take, GiveBack give_back) {
  for (SIZE_T piece = largest; piece >= smallest; piece /= 2) {
    while (void* p = take(piece)) {
      if (High(p)) {
        give_back(p);
        break;
      }
    }
  }
}

struct LowAddressesTaken {
  LowAddressesTaken() {
    if constexpr (sizeof(void*) == 4) {
      // Reserved, never committed: it costs address space only.
      TakeLow(
          kLargestPiece, kSmallestPiece,
          [](SIZE_T size) { return VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS); },
          [](void* p) { VirtualFree(p, 0, MEM_RELEASE); });
      HANDLE heap = GetProcessHeap();
      TakeLow(
          kSmallestPiece, kSmallestBlock, [heap](SIZE_T size) { return HeapAlloc(heap, 0, size); },
          [heap](void* p) { HeapFree(heap, 0, p); });
      TakeLow(kSmallestPiece, kSmallestBlock, std::malloc, std::free);
    }
  }
} const taken;

}  // namespace
