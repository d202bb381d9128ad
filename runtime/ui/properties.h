// Reading and writing component properties by window, unit and property number.
#pragma once

#include <cstdint>

namespace marvane::ui {

// Properties 0-7 are common: left, top, width, height, tag, visible, disabled, mouse cursor.
namespace property {
inline constexpr std::int32_t kLeft = 0;
inline constexpr std::int32_t kTop = 1;
inline constexpr std::int32_t kWidth = 2;
inline constexpr std::int32_t kHeight = 3;
inline constexpr std::int32_t kTag = 4;
inline constexpr std::int32_t kVisible = 5;
inline constexpr std::int32_t kDisabled = 6;
inline constexpr std::int32_t kCursor = 7;
inline constexpr std::int32_t kFirstOwn = 8;
}  // namespace property

// The value in 64 bits: an integer, a logical, or a new Text/ByteSet owned by the caller (null for
// an empty text). element_index -1 is the whole value.
std::int64_t GetProperty(std::uint32_t window_id, std::uint32_t unit_id, std::int32_t number,
                         std::int32_t element_index);
void SetProperty(std::uint32_t window_id, std::uint32_t unit_id, std::int32_t number,
                 std::int32_t element_index, std::uint32_t low, std::uint32_t high);

}  // namespace marvane::ui
