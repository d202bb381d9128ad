// Layouts, constructors and ownership of the runtime's variable-size values.
//
//   Text       char* to NUL-terminated GBK bytes on the runtime heap; null is the empty text.
//   ByteSet    block: u32 dimension count (1), u32 length n, n bytes; null is the empty set.
//   Array      block: u32 dimension count d, d u32 sizes, the elements; texts are pointer slots
//              owned by the array. A TextArray is one-dimensional and always allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "runtime/values/heap.h"
#include "runtime/values/value_record.h"

namespace marvane {

using Text = char*;

// What a caller passes in place of a null Text or ByteSet argument.
const char* StaticEmptyText();
const void* StaticEmptyByteSet();
bool IsStaticEmpty(const void* p);
std::size_t StaticEmptyBytesFrom(const void* p);

Text MakeText(const char* p);
Text MakeTextFromBytes(const void* p, std::int64_t n);
inline Text MakeText(std::string_view s) {
  return MakeTextFromBytes(s.data(), static_cast<std::int64_t>(s.size()));
}
void* MakeByteSet(const void* p, std::size_t n);
// The text that ToText makes of a byte set, its bytes up to the first NUL, made in the set's own
// block, which the call takes over (null gives null): a file read whole becomes its text without
// a second copy of it.
Text TextFromOwnedByteSet(void* set);

std::size_t TextLength(const char* text);
inline std::string_view TextView(const char* text) {
  return text ? text : std::string_view();
}

std::uint32_t ByteSetLength(const void* block);
const std::uint8_t* ByteSetData(const void* block);
inline std::string_view ByteSetView(const void* block) {
  return {reinterpret_cast<const char*>(ByteSetData(block)), ByteSetLength(block)};
}

// Arrays.
std::uint32_t ArrayDimensions(const void* block);
std::uint64_t ArrayCount(const void* block);
const void* ArrayElements(const void* block);
void* NewTextArray(std::uint32_t count);  // count null slots
inline Text* TextArrayElements(void* block) {
  return static_cast<Text*>(const_cast<void*>(ArrayElements(block)));
}
// Frees every non-null element, then the block.
void FreeTextArray(void* block);

// RAII for values the program's logic or a command owns.
struct HeapDeleter {
  void operator()(void* p) const { Free(p); }
};
struct TextArrayDeleter {
  void operator()(void* p) const { FreeTextArray(p); }
};
using OwnedText = std::unique_ptr<char, HeapDeleter>;
using OwnedByteSet = std::unique_ptr<void, HeapDeleter>;
using OwnedTextArray = std::unique_ptr<void, TextArrayDeleter>;

// A Text argument record: null becomes the static empty text, as the passing rules require.
inline ValueRecord TextArg(const char* text) {
  return PointerValue(text ? text : StaticEmptyText(), type::kText);
}
inline ValueRecord ByteSetArg(const void* block) {
  return PointerValue(block ? block : StaticEmptyByteSet(), type::kByteSet);
}
// The text of a record of type Text ("" for null).
inline const char* TextOf(const ValueRecord& r) {
  auto p = static_cast<const char*>(PointerOf(r));
  return p ? p : "";
}

}  // namespace marvane
