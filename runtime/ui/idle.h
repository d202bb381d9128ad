// Idle processing: the work the message loop does while no message waits.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace marvane::ui {

using IdleProcedure = void (*)(std::intptr_t value);

// A component's procedure, called with its value once each time the loop falls idle, for as long
// as the window exists.
void RegisterIdleCallback(os::WindowHandle window, IdleProcedure procedure, std::intptr_t value);
// The end of the program: no callback is called any more.
void DropIdleCallbacks();

// The loop's idle step: true while more idle work is wanted. Count 0 starts an idle phase and
// calls the registered callbacks; from count 2 on each loaded window is offered idle time.
bool IdleStep(int count);

}  // namespace marvane::ui
