// The status bar: a platform status bar with a table of parts.
#pragma once

#include "runtime/ui/program_header.h"

namespace marvane::ui {

void* StatusBarInterface(int number);
extern const PropertyInfo kStatusBarProperties[];
extern const std::int32_t kStatusBarPropertyCount;

// The extended-UI library's command: (this: status bar, part index, text?) -> none.
void SetStatusPartText(ValueRecord* result, std::int32_t argc, ValueRecord* args);

}  // namespace marvane::ui
