// The drop target: no window of its own; it receives drags on the window that its registration
// command names and reports what was dropped as an event.
#pragma once

#include <string>
#include <vector>

#include "runtime/ui/program_header.h"

namespace marvane::ui {

void* DropTargetInterface(int number);
extern const PropertyInfo kDropTargetProperties[];
extern const std::int32_t kDropTargetPropertyCount;

// The drag-and-drop library's command: (this: drop target, window handle: integer) -> logical.
void RegisterDropArea(ValueRecord* result, std::int32_t argc, ValueRecord* args);

// Files the program was given when it started (opened with it, dropped on its icon, sent to it):
// one drop of those paths (GBK) on the first loaded drop area that takes files, raised from the
// message loop as a real drop is. False when no such area is registered or no path is given.
bool DropGivenFiles(const std::vector<std::string>& paths);

}  // namespace marvane::ui
