#include "runtime/ui/libraries.h"

#include "runtime/ui/components/combo_box.h"
#include "runtime/ui/components/drop_target.h"
#include "runtime/ui/components/edit_box.h"
#include "runtime/ui/components/simple_controls.h"
#include "runtime/ui/components/status_bar.h"
#include "runtime/ui/components/window.h"
#include "runtime/ui/runtime.h"
#include "runtime/ui/runtime_state.h"
#include "runtime/ui/texts.h"
#include "runtime/values/core.h"

#include <array>
#include <utility>

namespace marvane::ui {
namespace {

constexpr std::uint32_t kEvents = kClassRaisesEvents;
constexpr ComponentClassInfo kEmptyClass = {"", "", 0, 0, nullptr, nullptr};

// The core library numbers 51 classes; this program uses six of them.
constexpr ComponentClassInfo CoreClass(int number) {
  switch (number) {
    case 1:
      return {text::kClassWindow,   "Window",          kEvents,
              kWindowPropertyCount, kWindowProperties, WindowInterface};
    case 5:
      return {text::kClassEditBox,   "EditBox",          kEvents,
              kEditBoxPropertyCount, kEditBoxProperties, EditBoxInterface};
    case 9:
      return {text::kClassGroupBox,   "GroupBox",          kEvents,
              kGroupBoxPropertyCount, kGroupBoxProperties, GroupBoxInterface};
    case 10:
      return {text::kClassLabel,   "Label",          kEvents,
              kLabelPropertyCount, kLabelProperties, LabelInterface};
    case 11:
      return {text::kClassButton,   "Button",          kEvents,
              kButtonPropertyCount, kButtonProperties, ButtonInterface};
    case 14:
      return {text::kClassComboBox,   "ComboBox",          kEvents,
              kComboBoxPropertyCount, kComboBoxProperties, ComboBoxInterface};
    default:
      return kEmptyClass;
  }
}

template <std::size_t... I>
constexpr std::array<ComponentClassInfo, sizeof...(I)> CoreClasses(std::index_sequence<I...>) {
  return {CoreClass(static_cast<int>(I) + 1)...};
}

const auto kCoreClasses = CoreClasses(std::make_index_sequence<51>());
const ComponentClassInfo kDragDropClasses[] = {{text::kClassDropTarget, "DropTarget",
                                                kClassNoWindow | kEvents, kDropTargetPropertyCount,
                                                kDropTargetProperties, DropTargetInterface}};
const ComponentClassInfo kExtendedClasses[] = {
    kEmptyClass,
    {text::kClassStatusBar, "StatusBar", kEvents, kStatusBarPropertyCount, kStatusBarProperties,
     StatusBarInterface}};

const Command kDragDropCommands[] = {RegisterDropArea};
const Command kExtendedCommands[] = {SetStatusPartText};

// The libraries keep no state of their own: the notification entry is the runtime's Notify,
// which they reach directly.
std::intptr_t NotifyLibrary(int, std::intptr_t, std::intptr_t) {
  return 0;
}

const LibraryDescriptor kCore = {{'M', 'V', 'L', 'B'},
                                 "5E5C5D2A0C3A4B1D9E8F7A6B5C4D3E2F",
                                 {1, 0, 0, 0, 1, 0, 0},
                                 "core",
                                 1,
                                 51,
                                 kCoreClasses.data(),
                                 0,
                                 nullptr,
                                 NotifyLibrary};
const LibraryDescriptor kDragDrop = {{'M', 'V', 'L', 'B'},
                                     "{6A1B2C3D4E5F60718293A4B5C6D7E8F9}",
                                     {1, 0, 0, 0, 1, 0, 0},
                                     "dragdrop",
                                     1,
                                     1,
                                     kDragDropClasses,
                                     1,
                                     kDragDropCommands,
                                     NotifyLibrary};
const LibraryDescriptor kExtended = {{'M', 'V', 'L', 'B'},
                                     "7B2C3D4E5F60718293A4B5C6D7E8F90A",
                                     {1, 0, 0, 0, 1, 0, 0},
                                     "extui",
                                     1,
                                     2,
                                     kExtendedClasses,
                                     1,
                                     kExtendedCommands,
                                     NotifyLibrary};
const LibraryDescriptor kXml = {{'M', 'V', 'L', 'B'},
                                "8C3D4E5F60718293A4B5C6D7E8F90A1B",
                                {1, 0, 0, 0, 1, 0, 0},
                                "xml",
                                1,
                                0,
                                nullptr,
                                0,
                                nullptr,
                                NotifyLibrary};
const LibraryDescriptor kFifth = {{'M', 'V', 'L', 'B'},
                                  "9D4E5F60718293A4B5C6D7E8F90A1B2C",
                                  {1, 0, 0, 0, 1, 0, 0},
                                  "support",
                                  1,
                                  0,
                                  nullptr,
                                  0,
                                  nullptr,
                                  NotifyLibrary};
const LibraryDescriptor* const kLibraries[kLibraryCount] = {&kCore, &kDragDrop, &kExtended, &kXml,
                                                            &kFifth};

}  // namespace

const LibraryDescriptor* const* Libraries() {
  return kLibraries;
}

void GetWindowHandle(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  const ValueRecord& ref = Arg(argc, args, 0);
  auto* component =
      reinterpret_cast<Component*>(Notify(request::kComponentObjectOrFail, ref.low, ref.high));
  result->low = static_cast<std::uint32_t>(component->handle());
  result->type = type::kInt;
}

}  // namespace marvane::ui
