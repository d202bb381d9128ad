#include "runtime/ui/components/class_support.h"

namespace marvane::ui {

os::Border BorderFromStyle(std::int64_t style) {
  switch (style) {
    case 1:
      return os::Border::kClientEdge;
    case 2:
      return os::Border::kDialogFrame;
    case 3:
      return os::Border::kStaticEdge;
    case 4:
      return os::Border::kClientEdgeAndDialogFrame;
    case 5:
      return os::Border::kPlain;
    default:
      return os::Border::kNone;
  }
}

void* ProcedureFor(int number, const ClassProcedures& procedures) {
  switch (number) {
    case interface_number::kCreate:
      return reinterpret_cast<void*>(procedures.create);
    case interface_number::kSetProperty:
      return reinterpret_cast<void*>(procedures.set);
    case interface_number::kGetAllPropertyData:
      return reinterpret_cast<void*>(procedures.all_data);
    case interface_number::kGetProperty:
      return reinterpret_cast<void*>(procedures.get);
    default:
      return nullptr;
  }
}

}  // namespace marvane::ui
