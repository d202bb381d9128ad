// What a program hands the runtime: its header, its libraries with their component classes, and
// the procedures the form description binds to events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/window_system.h"
#include "runtime/values/command.h"

namespace marvane::ui {

class Component;

// A handler receives the event's arguments converted to words, first argument first.
using Handler = std::int64_t (*)(const std::uintptr_t* args, std::int32_t count);
// A procedure without arguments or result (exit procedures, the program's start procedure).
using Procedure = void (*)();

// Property type codes.
namespace property_type {
inline constexpr std::uint16_t kInteger = 1001;
inline constexpr std::uint16_t kLong = 1002;
inline constexpr std::uint16_t kLogical = 1003;
inline constexpr std::uint16_t kDouble = 1004;
inline constexpr std::uint16_t kText = 1005;
inline constexpr std::uint16_t kChoice = 1006;
inline constexpr std::uint16_t kCursor = 1011;
inline constexpr std::uint16_t kFont = 1013;
inline constexpr std::uint16_t kColor = 1014;
inline constexpr std::uint16_t kColor2 = 1017;
// A combo box's item values.
inline constexpr std::uint16_t kItemValues = 1020;
// A block of bytes kept as stored (an image list, a status bar's part table).
inline constexpr std::uint16_t kBinaryBlock = 1024;
inline constexpr std::uint16_t kPicture = 1009;
bool IsText(std::uint16_t code);
bool IsBinary(std::uint16_t code);
bool IsTwoWords(std::uint16_t code);
}  // namespace property_type

struct PropertyInfo {
  std::uint16_t type;
  std::uint16_t flags;
};

// A value handed from a class's get-property procedure: a number, or bytes for text and binary
// types.
struct PropertyValue {
  std::int64_t number = 0;
  std::string bytes;
};

// A value handed to a class's set-property procedure. The bytes are the caller's, valid for the
// call: a list of tens of megabytes reaches the control without a copy on the way.
struct PropertyInput {
  std::int64_t number = 0;
  std::string_view bytes;
};

// What a class's create procedure receives.
struct CreateParams {
  std::string_view data;  // the component data, starting with its version
  bool disabled = false;  // extra styles from the unit flags
  bool tab_stop = false;
  os::WindowHandle parent = 0;
  std::int32_t control_number = 0;
  os::Rect rect;
  std::uint32_t window_id = 0;
  std::uint32_t unit_id = 0;
};

// Interface numbers a class answers.
namespace interface_number {
inline constexpr int kCreate = 1;
inline constexpr int kSetProperty = 4;
inline constexpr int kGetAllPropertyData = 5;
inline constexpr int kGetProperty = 6;
}  // namespace interface_number

using CreateProc = Component* (*)(const CreateParams& params);
// index = property number - 8. Returns 1 when the change needs the control created anew.
using SetPropertyProc = int (*)(Component* object, std::int32_t index, const PropertyInput& value);
using GetPropertyProc = void (*)(Component* object, std::int32_t index, PropertyValue* value);
// The component's stored data as it stands now, for creating it anew.
using GetAllPropertyDataProc = std::string (*)(Component* object);
// Given an interface number, the class's procedure for it (cast to its type), or null.
using InterfaceProc = void* (*)(int number);

// Class state flags.
inline constexpr std::uint32_t kClassNoWindow = 0x8000;
inline constexpr std::uint32_t kClassRaisesEvents = 0x44;

struct ComponentClassInfo {
  const char* name;  // GBK
  const char* english_name;
  std::uint32_t state_flags;
  std::int32_t property_count;  // own properties, numbered from 8
  const PropertyInfo* properties;
  InterfaceProc interface_proc;
};

// The runtime's notification entry, which libraries use to reach it.
using NotifyEntry = std::intptr_t (*)(int code, std::intptr_t p1, std::intptr_t p2);

struct LibraryDescriptor {
  char signature[4];
  const char* identity;
  std::uint32_t versions[7];
  const char* display_name;
  std::int32_t language;
  std::int32_t class_count;
  const ComponentClassInfo* classes;  // numbered from 1
  std::int32_t command_count;
  const Command* commands;
  // library_notify::kStart hands the library the notification entry (as p1); kEnd says the
  // program ends.
  std::intptr_t (*notify)(int code, std::intptr_t p1, std::intptr_t p2);
};

namespace library_notify {
inline constexpr int kStart = 1;
inline constexpr int kEnd = 6;
}  // namespace library_notify

struct ProgramHeader {
  std::uint32_t format_version;
  std::uint32_t reserved;
  std::uint32_t build_serial;
  // Event handler identifiers in the form description are offsets into this table.
  const Handler* code_base;
  std::size_t handler_count;
  const void* constants;
  std::size_t constants_size;
  const unsigned char* form_description;
  std::size_t form_description_size;
  std::int32_t library_count;
  const LibraryDescriptor* const* libraries;
  std::int32_t global_count;
};

}  // namespace marvane::ui
