#include "runtime/ui/runtime_state.h"

#include "platform/platform.h"
#include "runtime/values/runtime_error.h"

namespace marvane::ui {

RuntimeState& State() {
  static RuntimeState state;
  return state;
}

os::WindowSystem& Windows() {
  return *os::Current().windows;
}

LoadedWindow* FindLoaded(std::uint32_t window_id) {
  for (auto& window : State().loaded) {
    if (window->record->id == window_id) return window.get();
  }
  return nullptr;
}

int FindUnitIndex(const WindowRecord& record, std::uint32_t unit_id) {
  if (record.units.empty()) return -1;
  if (unit_id == 0) return 0;
  for (std::size_t i = 0; i < record.units.size(); ++i) {
    if (record.units[i].id == unit_id) return static_cast<int>(i);
  }
  return -1;
}

Component* FindComponent(std::uint32_t window_id, std::uint32_t unit_id) {
  LoadedWindow* window = FindLoaded(window_id);
  if (!window) return nullptr;
  int index = FindUnitIndex(*window->record, unit_id);
  return index < 0 ? nullptr : window->objects[static_cast<std::size_t>(index)].get();
}

std::int32_t ControlNumberOf(const WindowRecord& record, std::size_t index) {
  constexpr std::int32_t kFirst = 100;
  constexpr std::int32_t kStep = 10;
  if (index == 0) return 0;
  std::int32_t number = kFirst;
  for (std::size_t i = 1; i < index && i < record.units.size(); ++i) {
    if (!record.units[i].menu_item) number += kStep;
  }
  return number;
}

Component* ComponentByHandle(os::WindowHandle handle) {
  if (!handle) return nullptr;
  for (auto& window : State().loaded) {
    for (auto& object : window->objects) {
      if (object && object->handle() == handle) return object.get();
    }
  }
  return nullptr;
}

const ComponentClassInfo* FindClass(std::uint32_t class_type) {
  const ProgramHeader* program = State().program;
  if (!program) return nullptr;
  std::uint32_t library = class_type >> 16;
  std::uint32_t number = class_type & 0xFFFF;
  if (library < 1 || library > static_cast<std::uint32_t>(program->library_count)) return nullptr;
  const LibraryDescriptor* descriptor = program->libraries[library - 1];
  if (!descriptor || number < 1 || number > static_cast<std::uint32_t>(descriptor->class_count)) {
    return nullptr;
  }
  return &descriptor->classes[number - 1];
}

void Fatal(const char* message, std::uint32_t window_id, std::uint32_t unit_id) {
  ReportFatal(message, 0, static_cast<std::int32_t>(window_id), static_cast<std::int32_t>(unit_id));
}

}  // namespace marvane::ui
