// Mouse cursor data as a component stores it (its common property 7): empty, or 4 bytes holding a
// little-endian number. 0 is the window's own default cursor; any other number must be one of the
// platform's standard cursors below, in its own numbering. Both window systems read it here.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace marvane::os::cursor {

inline constexpr std::uint32_t kDefault = 0;
inline constexpr std::uint32_t kArrow = 32512;
inline constexpr std::uint32_t kIBeam = 32513;
inline constexpr std::uint32_t kWait = 32514;
inline constexpr std::uint32_t kCross = 32515;
inline constexpr std::uint32_t kUpArrow = 32516;
inline constexpr std::uint32_t kSizeNwSe = 32642;
inline constexpr std::uint32_t kSizeNeSw = 32643;
inline constexpr std::uint32_t kSizeWe = 32644;
inline constexpr std::uint32_t kSizeNs = 32645;
inline constexpr std::uint32_t kSizeAll = 32646;
inline constexpr std::uint32_t kNo = 32648;
inline constexpr std::uint32_t kHand = 32649;
inline constexpr std::uint32_t kAppStarting = 32650;
inline constexpr std::uint32_t kHelp = 32651;

inline constexpr std::uint32_t kStandard[] = {
    kArrow,  kIBeam,  kWait,    kCross, kUpArrow, kSizeNwSe,    kSizeNeSw,
    kSizeWe, kSizeNs, kSizeAll, kNo,    kHand,    kAppStarting, kHelp,
};

inline constexpr std::size_t kDataSize = 4;

// The cursor the data names: kDefault or a standard cursor's number; nothing when it names none.
inline std::optional<std::uint32_t> Named(std::string_view data) {
  if (data.empty()) return kDefault;
  if (data.size() != kDataSize) return std::nullopt;
  std::uint32_t number = 0;
  for (std::size_t i = kDataSize; i-- > 0;)
    number = (number << 8) | static_cast<unsigned char>(data[i]);
  if (number == kDefault || std::ranges::find(kStandard, number) != std::end(kStandard)) {
    return number;
  }
  return std::nullopt;
}

// The data that names a cursor by its number.
inline std::string DataOf(std::uint32_t number) {
  std::string data(kDataSize, '\0');
  for (std::size_t i = 0; i < kDataSize; ++i)
    data[i] = static_cast<char>(number >> (8 * i));
  return data;
}

}  // namespace marvane::os::cursor
