// The window runtime's state, shared by its parts (start-up, dispatch, properties, components).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/ui/component.h"
#include "runtime/ui/form/form_description.h"
#include "runtime/ui/idle.h"
#include "runtime/ui/program_header.h"

namespace marvane::ui {

struct LoadedWindow {
  WindowRecord* record = nullptr;
  // The object slot of each unit, parallel to record->units; null for a unit without object.
  std::vector<std::unique_ptr<Component>> objects;
  // The window wanted no more idle time in this idle phase.
  bool idle_done = false;
  os::WindowHandle handle() const {
    return objects.empty() || !objects[0] ? 0 : objects[0]->handle();
  }
};

struct IdleCallback {
  os::WindowHandle window;
  IdleProcedure procedure;
  std::intptr_t value;
};

struct RuntimeState {
  const ProgramHeader* program = nullptr;
  FormDescription form;
  std::vector<std::unique_ptr<LoadedWindow>> loaded;
  std::vector<Procedure> exit_procedures;
  std::vector<IdleCallback> idle_callbacks;
  os::WindowHandle hidden_owner = 0;
  bool drag_drop_initialized = false;
  bool loop_started = false;
  bool end_started = false;
  bool ending = false;             // the end flag: no event is delivered any more
  int delivery_suppressed = 0;     // rebuilds in progress
  std::uint32_t event_window = 0;  // the current event source
  std::uint32_t event_unit = 0;
  std::uint32_t idle_start = 0;
};

RuntimeState& State();
os::WindowSystem& Windows();

// Lookups among the loaded windows; null when missing.
LoadedWindow* FindLoaded(std::uint32_t window_id);
// The unit's index in its window (unit 0 also for the window's own unit id); -1 when missing.
int FindUnitIndex(const WindowRecord& record, std::uint32_t unit_id);
Component* FindComponent(std::uint32_t window_id, std::uint32_t unit_id);
// The control number of the unit at `index`: from 100 upward in steps of 10, one per component
// in unit order (the window's own unit has none).
std::int32_t ControlNumberOf(const WindowRecord& record, std::size_t index);
// The component whose platform window is the handle, or null.
Component* ComponentByHandle(os::WindowHandle handle);
// A library's class by type code ((library << 16) | class), or null.
const ComponentClassInfo* FindClass(std::uint32_t class_type);

// Fatal report with a message from the runtime's texts, naming a window and a unit.
[[noreturn]] void Fatal(const char* message, std::uint32_t window_id, std::uint32_t unit_id);

}  // namespace marvane::ui
