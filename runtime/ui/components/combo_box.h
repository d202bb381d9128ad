// The combo box: a platform combo box made from the stored item list and settings.
#pragma once

#include "runtime/ui/program_header.h"

namespace marvane::ui {

void* ComboBoxInterface(int number);
extern const PropertyInfo kComboBoxProperties[];
extern const std::int32_t kComboBoxPropertyCount;

}  // namespace marvane::ui
