// Start-up, window loading, the message loop and the end of the program.
#pragma once

#include <cstdint>

#include "runtime/ui/program_header.h"

namespace marvane::ui {

// The process entry hands the runtime the program before calling its start-up procedure.
void SetProgram(const ProgramHeader* header);

// Start-up steps: heap, drag and drop, run directory, hidden owner window, constants, libraries,
// form description.
void InitializeRuntime();
// Appends to the exit list unless already there.
void RegisterExitProcedure(Procedure procedure);
// Builds and shows a window of the form description; on failure a fatal report.
std::intptr_t LoadWindow(std::uint32_t window_id);
// Runs the message loop while a loaded window exists.
void RunMessageLoop();

// The runtime's notification entry (allocation, events, object lookup, fatal reports). Codes it
// does not answer itself go on to the core (request:: in runtime/values/core.h).
std::intptr_t Notify(int code, std::intptr_t p1, std::intptr_t p2);
namespace notify {
inline constexpr int kFindClass = 1002;           // p1: class number
inline constexpr int kComponentDestroyed = 2000;  // p1: window id, p2: unit id
inline constexpr int kRaiseShortEvent = 2008;     // p1: a ShortEventRequest
inline constexpr int kRaiseEvent = 2031;          // p1: an EventRequest
}  // namespace notify

// Forgets everything loaded, for tests that start the runtime more than once in one process.
void ResetRuntime();

}  // namespace marvane::ui
