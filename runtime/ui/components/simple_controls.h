// The button, group box and label: controls that show a caption and, for the button, report a
// click.
#pragma once

#include "runtime/ui/program_header.h"

namespace marvane::ui {

void* ButtonInterface(int number);
extern const PropertyInfo kButtonProperties[];
extern const std::int32_t kButtonPropertyCount;

void* GroupBoxInterface(int number);
extern const PropertyInfo kGroupBoxProperties[];
extern const std::int32_t kGroupBoxPropertyCount;

void* LabelInterface(int number);
extern const PropertyInfo kLabelProperties[];
extern const std::int32_t kLabelPropertyCount;

}  // namespace marvane::ui
