// The identifiers of the start-up window and its components, fixed by the form description.
#pragma once

#include <cstdint>

#include "runtime/values/value_record.h"

namespace marvane::app {

inline constexpr std::uint32_t kStartupWindow = 0x52010001;
inline constexpr std::uint32_t kWindowUnit = 0x06010000;
inline constexpr std::uint32_t kComboSelectKind = 0x16010010;  // 组合框_选择无盘
inline constexpr std::uint32_t kLabelSelectKind = 0x16010011;  // 标签_选择无盘
inline constexpr std::uint32_t kGroupBox = 0x16010014;         // 分组框1
inline constexpr std::uint32_t kEditClientList = 0x16010015;   // 编辑框_客户机列表
inline constexpr std::uint32_t kButtonSave = 0x16010016;       // 按钮_保存
inline constexpr std::uint32_t kStatusBar = 0x16010040;        // 状态条
inline constexpr std::uint32_t kDropTarget = 0x16010074;       // 拖放对象

// A component reference as commands receive it: window id low, unit id high, class as type.
inline ValueRecord ComponentRef(std::uint32_t unit, std::uint32_t class_type) {
  return {kStartupWindow, unit, class_type};
}
inline ValueRecord StartupWindowRef() {
  return {kStartupWindow, kWindowUnit, type::kWindow};
}

// Own property numbers used here.
inline constexpr std::int32_t kEditContent = 8;
inline constexpr std::int32_t kComboContent = 9;
inline constexpr std::int32_t kComboSelection = 19;

}  // namespace marvane::app
