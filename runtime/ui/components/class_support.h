// What every component class shares: the control base of its CreateArgs, the frame styles, and
// the answer to "which procedure serves this interface number".
#pragma once

#include <cstdint>

#include "platform/window_system.h"
#include "runtime/ui/program_header.h"

namespace marvane::ui {

// The CreateArgs of a control with its parent, number, rectangle and unit styles filled in.
template <typename Args>
Args ControlArgs(const CreateParams& p) {
  Args args;
  args.parent = p.parent;
  args.id = p.control_number;
  args.rect = p.rect;
  args.disabled = p.disabled;
  args.tab_stop = p.tab_stop;
  return args;
}

// The stored border style of edit boxes and labels: 1 sunken, 2 dialog frame, 3 static edge,
// 4 sunken and dialog frame, 5 plain line, others none.
os::Border BorderFromStyle(std::int64_t style);

// A class's interface procedure body: the procedure for the number, or null when the class has
// none for it.
struct ClassProcedures {
  CreateProc create = nullptr;
  SetPropertyProc set = nullptr;
  GetPropertyProc get = nullptr;
  GetAllPropertyDataProc all_data = nullptr;
};
void* ProcedureFor(int number, const ClassProcedures& procedures);

}  // namespace marvane::ui
