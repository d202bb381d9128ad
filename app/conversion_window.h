// The program's handlers around its one window: start-up, a dropped file, the save button.
#pragma once

#include <cstdint>

namespace marvane::app {

// Bound to events by the form description, in this order (their identifiers 0, 1, 2).
std::int64_t OnWindowCreated(const std::uintptr_t* args, std::int32_t count);
// args[0]: the address of the variable that holds the dropped text.
std::int64_t OnFileDropped(const std::uintptr_t* args, std::int32_t count);
std::int64_t OnSaveClicked(const std::uintptr_t* args, std::int32_t count);

// Recognises nothing; runs the reader that the combo box names and shows its result.
void ConvertDroppedList();
// The exit procedure: releases the kept path.
void ReleaseDroppedPath();

// The text the last drop delivered (null when nothing was dropped yet).
const char* DroppedFilePath();

}  // namespace marvane::app
