#include "runtime/values/values.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace marvane {
namespace {

// The empty text (one NUL) and the empty ByteSet (1, 0) of the program's constant data.
alignas(8) const unsigned char kStaticEmpties[12] = {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};

std::uint32_t ReadU32(const void* p) {
  std::uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

}  // namespace

const char* StaticEmptyText() {
  return reinterpret_cast<const char*>(kStaticEmpties);
}
const void* StaticEmptyByteSet() {
  return kStaticEmpties + 4;
}

bool IsStaticEmpty(const void* p) {
  auto c = static_cast<const unsigned char*>(p);
  return std::less_equal<>()(kStaticEmpties, c) &&
         std::less<>()(c, kStaticEmpties + sizeof kStaticEmpties);
}

std::size_t StaticEmptyBytesFrom(const void* p) {
  if (!IsStaticEmpty(p)) return 0;
  return static_cast<std::size_t>(kStaticEmpties + sizeof kStaticEmpties -
                                  static_cast<const unsigned char*>(p));
}

Text MakeText(const char* p) {
  if (!p || !*p) return nullptr;
  return MakeTextFromBytes(p, static_cast<std::int64_t>(std::strlen(p)));
}

Text MakeTextFromBytes(const void* p, std::int64_t n) {
  if (n < 1) return nullptr;
  auto size = static_cast<std::size_t>(n);
  auto text = static_cast<char*>(Allocate(size + 1));
  std::memcpy(text, p, size);
  text[size] = '\0';
  return text;
}

void* MakeByteSet(const void* p, std::size_t n) {
  if (n == 0) return nullptr;
  auto block = static_cast<unsigned char*>(Allocate(n + 8));
  const std::uint32_t header[2] = {1, static_cast<std::uint32_t>(n)};
  std::memcpy(block, header, sizeof header);
  std::memcpy(block + 8, p, n);
  return block;
}

Text TextFromOwnedByteSet(void* set) {
  if (!set) return nullptr;
  const std::string_view bytes = ByteSetView(set);
  const std::size_t n = std::min(bytes.find('\0'), bytes.size());
  if (n == 0) {
    Free(set);
    return nullptr;
  }
  // The bytes move down over the 8-byte header; the block, at least n + 8 bytes, then shrinks.
  auto text = static_cast<char*>(set);
  std::memmove(text, bytes.data(), n);
  text[n] = '\0';
  return static_cast<char*>(Reallocate(text, n + 1));
}

std::size_t TextLength(const char* text) {
  return text ? std::strlen(text) : 0;
}

std::uint32_t ByteSetLength(const void* block) {
  return block ? ReadU32(static_cast<const char*>(block) + 4) : 0;
}

const std::uint8_t* ByteSetData(const void* block) {
  return block ? static_cast<const std::uint8_t*>(block) + 8 : nullptr;
}

std::uint32_t ArrayDimensions(const void* block) {
  return block ? ReadU32(block) : 0;
}

std::uint64_t ArrayCount(const void* block) {
  if (!block) return 0;
  std::uint32_t d = ReadU32(block);
  std::uint64_t count = 1;
  for (std::uint32_t i = 0; i < d; ++i)
    count *= ReadU32(static_cast<const char*>(block) + 4 + 4 * i);
  return d ? count : 0;
}

const void* ArrayElements(const void* block) {
  std::uint32_t d = ReadU32(block);
  std::size_t header = 4 + 4 * static_cast<std::size_t>(d);
  // Text arrays are one-dimensional: their 8-byte header keeps the pointer slots aligned.
  return static_cast<const char*>(block) + header;
}

void* NewTextArray(std::uint32_t count) {
  std::size_t size = 8 + sizeof(Text) * static_cast<std::size_t>(count);
  auto block = static_cast<unsigned char*>(Allocate(size));
  const std::uint32_t header[2] = {1, count};
  std::memcpy(block, header, sizeof header);
  std::memset(block + 8, 0, size - 8);
  return block;
}

void FreeTextArray(void* block) {
  if (!block || IsConstant(block)) return;
  Text* elements = TextArrayElements(block);
  for (std::uint64_t i = 0, n = ArrayCount(block); i < n; ++i)
    Free(elements[i]);
  Free(block);
}

}  // namespace marvane
