// The form description: the program's windows and their units (components), read from the
// embedded stream at start-up.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marvane::ui {

// Identifiers: bits 31-28 kind flags, 27-24 type (2 window, 6 unit), 23-0 serial number.
inline constexpr std::uint32_t IdSerial(std::uint32_t id) {
  return id & 0x00FFFFFF;
}
inline constexpr std::uint32_t IdType(std::uint32_t id) {
  return (id >> 24) & 0xF;
}
inline constexpr std::uint32_t IdKind(std::uint32_t id) {
  return id >> 28;
}
inline constexpr bool IsValidId(std::uint32_t id) {
  return IdSerial(id) != 0 && IdType(id) != 0;
}
inline constexpr bool IsMenuItemId(std::uint32_t id) {
  return IdType(id) == 6 && IdKind(id) == 0x2;
}

inline constexpr std::uint32_t kNoHandler = 0xFFFFFFFF;

struct EventBinding {
  std::int32_t event = 0;
  // The handler's identifier as stored (an offset from the program's code base) or kNoHandler.
  std::uint32_t handler = kNoHandler;
};

// Unit flags.
inline constexpr std::uint32_t kUnitVisible = 0x1;
inline constexpr std::uint32_t kUnitDisabled = 0x2;
inline constexpr std::uint32_t kUnitTabStop = 0x4;

struct Unit {
  std::uint32_t id = 0;
  std::uint32_t class_type = 0;    // (library << 16) | class
  std::uint32_t event_source = 0;  // unit whose handlers this one uses; 0 = its own
  std::string name;                // GBK
  std::string second_name;
  std::int32_t left = 0, top = 0, width = 0, height = 0;
  std::uint32_t container = 0;  // 0 = the window
  std::vector<std::uint32_t> children;
  std::string cursor;  // stored mouse cursor block
  std::string tag;
  std::uint32_t flags = 0;
  std::vector<EventBinding> events;
  std::string component_data;  // the class's own stored properties, starting with its version
  // A menu item's record is shorter and carries one handler; its layout is not decoded here, so
  // component_data holds the whole record and the fields above stay at their defaults.
  bool menu_item = false;
};

struct WindowRecord {
  std::uint32_t id = 0;
  std::uint32_t stored[2] = {0, 0};
  std::string texts[2];
  std::vector<Unit> units;  // unit 0 is the window's own unit
};

struct FormDescription {
  std::vector<WindowRecord> windows;
};

// Decodes the stream. False when it is truncated or malformed (including bytes left over after
// the last window, an invalid or repeated identifier, or a window without its own unit); the
// caller reports the fatal "载入窗口模板数据段出错!". An empty stream is a form without windows.
// Component data is kept undecoded: each class checks its own version when it is created.
bool ReadFormDescription(std::string_view stream, FormDescription* form);

// Null when absent.
const WindowRecord* FindWindow(const FormDescription& form, std::uint32_t window_id);
const Unit* FindUnit(const WindowRecord& window, std::uint32_t unit_id);

}  // namespace marvane::ui
