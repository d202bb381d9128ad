#include "platform/win32/icon.h"

#include <cstdint>
#include <cstdlib>

namespace marvane::os::win32 {
namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;

std::uint32_t Little(std::string_view bytes, std::size_t at, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

}  // namespace

HICON IconFromFile(std::string_view file, int width, int height) {
  if (file.size() < kHeaderSize || Little(file, 0, 2) != 0 || Little(file, 2, 2) != 1) {
    return nullptr;
  }
  std::size_t count = Little(file, 4, 2);
  if (count == 0 || file.size() < kHeaderSize + count * kEntrySize) return nullptr;

  std::size_t best = count;
  long best_distance = 0;
  std::uint32_t best_depth = 0;
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t entry = kHeaderSize + i * kEntrySize;
    long w = Little(file, entry, 1);
    w = w == 0 ? 256 : w;  // 0 stands for 256
    std::uint32_t depth = Little(file, entry + 6, 2);
    std::uint64_t size = Little(file, entry + 8, 4);
    std::uint64_t offset = Little(file, entry + 12, 4);
    if (size == 0 || offset + size > file.size()) continue;
    long distance = std::labs(w - width);
    if (best == count || distance < best_distance ||
        (distance == best_distance && depth > best_depth)) {
      best = i;
      best_distance = distance;
      best_depth = depth;
    }
  }
  if (best == count) return nullptr;
  std::size_t entry = kHeaderSize + best * kEntrySize;
  DWORD size = Little(file, entry + 8, 4);
  std::size_t offset = Little(file, entry + 12, 4);
  // The image data is read, never written, despite the parameter's type.
  auto image = reinterpret_cast<PBYTE>(const_cast<char*>(file.data() + offset));
  return CreateIconFromResourceEx(image, size, TRUE, 0x00030000, width, height, LR_DEFAULTCOLOR);
}

}  // namespace marvane::os::win32
