// The edit box: a platform edit control made from the stored edit-box settings.
#pragma once

#include "runtime/ui/program_header.h"

namespace marvane::ui {

void* EditBoxInterface(int number);
extern const PropertyInfo kEditBoxProperties[];
extern const std::int32_t kEditBoxPropertyCount;

}  // namespace marvane::ui
