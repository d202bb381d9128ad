// The drop target: no window of its own; it receives drags on the window that its registration
// command names and reports what was dropped as an event.
#pragma once

#include "runtime/ui/program_header.h"

namespace marvane::ui {

void* DropTargetInterface(int number);
extern const PropertyInfo kDropTargetProperties[];
extern const std::int32_t kDropTargetPropertyCount;

// The drag-and-drop library's command: (this: drop target, window handle: integer) -> logical.
void RegisterDropArea(ValueRecord* result, std::int32_t argc, ValueRecord* args);

}  // namespace marvane::ui
