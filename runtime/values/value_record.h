// The record in which every value crosses between the program's logic and the runtime.
#pragma once

#include <cstdint>
#include <cstring>

namespace marvane {

// Payload low, payload high, type: 12 bytes on every host. A pointer payload fills both words on
// a 64-bit host and sits in the low word (high 0) on a 32-bit one.
struct ValueRecord {
  std::uint32_t low = 0;
  std::uint32_t high = 0;
  std::uint32_t type = 0;
};
static_assert(sizeof(ValueRecord) == 12, "ValueRecord is 12 bytes on every host");

// Type codes of values.
namespace type {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kByte = 0x80000101;
inline constexpr std::uint32_t kShort = 0x80000201;
inline constexpr std::uint32_t kInt = 0x80000301;
inline constexpr std::uint32_t kLong = 0x80000401;
inline constexpr std::uint32_t kFloat = 0x80000501;
inline constexpr std::uint32_t kDouble = 0x80000601;
inline constexpr std::uint32_t kBool = 0x80000002;
inline constexpr std::uint32_t kDateTime = 0x80000003;
inline constexpr std::uint32_t kText = 0x80000004;
inline constexpr std::uint32_t kByteSet = 0x80000005;
inline constexpr std::uint32_t kArrayFlag = 0x20000000;

inline constexpr std::uint32_t kWindow = 0x00010001;
inline constexpr std::uint32_t kEditBox = 0x00010005;
inline constexpr std::uint32_t kGroupBox = 0x00010009;
inline constexpr std::uint32_t kLabel = 0x0001000A;
inline constexpr std::uint32_t kButton = 0x0001000B;
inline constexpr std::uint32_t kComboBox = 0x0001000E;
inline constexpr std::uint32_t kDropTarget = 0x00020001;
inline constexpr std::uint32_t kStatusBar = 0x00030002;
inline constexpr std::uint32_t kXmlTree = 0x00040001;

constexpr std::uint32_t BaseOf(std::uint32_t code) {
  return code & ~kArrayFlag;
}
// Basic: 0x80000000 up to, not including, 0xC0000000 once the array flag is cleared.
constexpr bool IsBasic(std::uint32_t code) {
  std::uint32_t base = BaseOf(code);
  return base >= 0x80000000u && base < 0xC0000000u;
}
constexpr bool IsArray(std::uint32_t code) {
  return (code & kArrayFlag) != 0 && IsBasic(code);
}
constexpr bool IsNumeric(std::uint32_t code) {
  return IsBasic(code) && (BaseOf(code) & 0xFF) == 0x01;
}
constexpr bool IsUserRecord(std::uint32_t code) {
  return code >= 0x40000000u && code <= 0x7FFFFFFFu;
}
constexpr bool IsLibraryDefined(std::uint32_t code) {
  return code != 0 && !IsBasic(code) && !IsUserRecord(code);
}
constexpr std::uint32_t LibraryOf(std::uint32_t code) {
  return code >> 16;
}
// Raw element size of a numeric base type: byte 1, short 2, int 4, long 8, float 4, double 8.
constexpr int NumericSize(std::uint32_t code) {
  switch (BaseOf(code)) {
    case kByte:
      return 1;
    case kShort:
      return 2;
    case kInt:
      return 4;
    case kLong:
      return 8;
    case kFloat:
      return 4;
    case kDouble:
      return 8;
    default:
      return 0;
  }
}
}  // namespace type

// --- payload access ------------------------------------------------------------------------------

inline void* PointerOf(const ValueRecord& r) {
  std::uint64_t v = r.low | (static_cast<std::uint64_t>(r.high) << 32);
  return reinterpret_cast<void*>(static_cast<std::uintptr_t>(v));
}
inline void SetPointer(ValueRecord& r, const void* p) {
  auto v = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(p));
  r.low = static_cast<std::uint32_t>(v);
  r.high = static_cast<std::uint32_t>(v >> 32);
}
inline std::int32_t IntOf(const ValueRecord& r) {
  return static_cast<std::int32_t>(r.low);
}
inline std::int64_t LongOf(const ValueRecord& r) {
  return static_cast<std::int64_t>(r.low | (static_cast<std::uint64_t>(r.high) << 32));
}
inline double DoubleOf(const ValueRecord& r) {
  std::uint64_t v = r.low | (static_cast<std::uint64_t>(r.high) << 32);
  double d;
  std::memcpy(&d, &v, sizeof d);
  return d;
}
inline float FloatOf(const ValueRecord& r) {
  float f;
  std::memcpy(&f, &r.low, sizeof f);
  return f;
}
inline bool IsOmitted(const ValueRecord& r) {
  return r.type == type::kNone;
}

inline ValueRecord IntValue(std::int32_t v) {
  return {static_cast<std::uint32_t>(v), 0, type::kInt};
}
inline ValueRecord BoolValue(bool v) {
  return {v ? 1u : 0u, 0, type::kBool};
}
inline ValueRecord LongValue(std::int64_t v) {
  auto u = static_cast<std::uint64_t>(v);
  return {static_cast<std::uint32_t>(u), static_cast<std::uint32_t>(u >> 32), type::kLong};
}
inline ValueRecord DoubleValue(double d) {
  std::uint64_t v;
  std::memcpy(&v, &d, sizeof v);
  return {static_cast<std::uint32_t>(v), static_cast<std::uint32_t>(v >> 32), type::kDouble};
}
inline ValueRecord PointerValue(const void* p, std::uint32_t code) {
  ValueRecord r;
  SetPointer(r, p);
  r.type = code;
  return r;
}

}  // namespace marvane
