// The runtime's five libraries, in table order: core, drag and drop, extended UI, XML, and one
// that contributes neither classes nor commands.
#pragma once

#include "runtime/ui/program_header.h"

namespace marvane::ui {

inline constexpr std::int32_t kLibraryCount = 5;
const LibraryDescriptor* const* Libraries();

// The core library's command that needs loaded windows: (component or window) -> handle.
void GetWindowHandle(ValueRecord* result, std::int32_t argc, ValueRecord* args);

}  // namespace marvane::ui
