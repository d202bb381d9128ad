#include "runtime/ui/properties.h"

#include <algorithm>
#include <cstring>

#include "runtime/ui/runtime_state.h"
#include "runtime/ui/texts.h"
#include "runtime/values/values.h"

namespace marvane::ui {
namespace {

constexpr std::int32_t kPositionLimit = 32627;

struct Target {
  LoadedWindow* window;
  Unit* unit;
  Component* object;  // null when the unit has no object
  bool live;
};

Target Find(std::uint32_t window_id, std::uint32_t unit_id) {
  LoadedWindow* window = FindLoaded(window_id);
  if (!window) Fatal(text::kWindowNotLoaded, window_id, unit_id);
  int index = FindUnitIndex(*window->record, unit_id);
  if (index < 0) Fatal(text::kComponentMissing, window_id, unit_id);
  Component* object = window->objects[static_cast<std::size_t>(index)].get();
  // A component without a platform window (the drop target) counts as live while it exists.
  bool live = object && (object->handle() == 0 || Windows().Exists(object->handle()));
  return {window, &window->record->units[static_cast<std::size_t>(index)], object, live};
}

const PropertyInfo* OwnProperty(const Unit& unit, std::int32_t number) {
  const ComponentClassInfo* info = FindClass(unit.class_type);
  std::int32_t index = number - property::kFirstOwn;
  if (!info || index < 0 || index >= info->property_count) return nullptr;
  return &info->properties[index];
}

template <typename Proc>
Proc ClassProc(const Unit& unit, int number) {
  const ComponentClassInfo* info = FindClass(unit.class_type);
  if (!info || !info->interface_proc) return nullptr;
  return reinterpret_cast<Proc>(info->interface_proc(number));
}

std::int64_t PointerResult(void* p) {
  return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(p));
}

// Rebuilds a component from its current stored data in the same place of its window.
void Rebuild(std::uint32_t window_id, std::uint32_t unit_id);

}  // namespace

std::int64_t GetProperty(std::uint32_t window_id, std::uint32_t unit_id, std::int32_t number,
                         std::int32_t /*element_index*/) {
  Target t = Find(window_id, unit_id);
  const Unit& unit = *t.unit;
  bool has_window = t.live && t.object && t.object->handle() != 0;
  os::WindowSystem& ws = Windows();
  switch (number) {
    case property::kLeft:
      return has_window ? ws.GetRect(t.object->handle()).left : unit.left;
    case property::kTop:
      return has_window ? ws.GetRect(t.object->handle()).top : unit.top;
    case property::kWidth:
      return has_window ? ws.GetRect(t.object->handle()).width : unit.width;
    case property::kHeight:
      return has_window ? ws.GetRect(t.object->handle()).height : unit.height;
    case property::kTag:
      return PointerResult(MakeText(unit.tag));
    case property::kVisible:
      return has_window ? ws.IsVisible(t.object->handle()) : (unit.flags & kUnitVisible) != 0;
    case property::kDisabled:
      return has_window ? !ws.IsEnabled(t.object->handle()) : (unit.flags & kUnitDisabled) != 0;
    case property::kCursor:
      return PointerResult(MakeByteSet(unit.cursor.data(), unit.cursor.size()));
    default:
      break;
  }
  if (!t.live) Fatal(text::kReadNotLive, window_id, unit_id);
  const PropertyInfo* info = OwnProperty(unit, number);
  auto get = ClassProc<GetPropertyProc>(unit, interface_number::kGetProperty);
  if (!info || !get) return 0;
  PropertyValue value;
  get(t.object, number - property::kFirstOwn, &value);
  if (property_type::IsText(info->type)) return PointerResult(MakeText(value.bytes));
  if (property_type::IsBinary(info->type)) {
    return PointerResult(MakeByteSet(value.bytes.data(), value.bytes.size()));
  }
  if (info->type == property_type::kLogical) return value.number == 1 ? 1 : 0;
  if (property_type::IsTwoWords(info->type)) return value.number;
  return static_cast<std::int32_t>(value.number);
}

void SetProperty(std::uint32_t window_id, std::uint32_t unit_id, std::int32_t number,
                 std::int32_t /*element_index*/, std::uint32_t low, std::uint32_t high) {
  Target t = Find(window_id, unit_id);
  Unit& unit = *t.unit;
  const auto word = static_cast<std::int32_t>(low);
  const std::uint64_t both = low | (static_cast<std::uint64_t>(high) << 32);
  void* pointer = reinterpret_cast<void*>(static_cast<std::uintptr_t>(both));
  os::WindowHandle handle = t.live && t.object ? t.object->handle() : 0;
  os::WindowSystem& ws = Windows();
  switch (number) {
    case property::kLeft:
    case property::kTop: {
      std::int32_t v = std::clamp(word, -kPositionLimit, kPositionLimit);
      (number == property::kLeft ? unit.left : unit.top) = v;
      if (handle) {
        os::Rect r = ws.GetRect(handle);
        (number == property::kLeft ? r.left : r.top) = v;
        ws.SetRect(handle, r);
      }
      return;
    }
    case property::kWidth:
    case property::kHeight: {
      std::int32_t v = std::clamp(word, 0, kPositionLimit);
      (number == property::kWidth ? unit.width : unit.height) = v;
      if (handle) {
        os::Rect r = ws.GetRect(handle);
        (number == property::kWidth ? r.width : r.height) = v;
        ws.SetRect(handle, r);
      }
      return;
    }
    case property::kTag:
      unit.tag = TextView(static_cast<const char*>(pointer));
      return;
    case property::kVisible:
      unit.flags = word ? (unit.flags | kUnitVisible) : (unit.flags & ~kUnitVisible);
      if (handle) ws.Show(handle, word ? os::ShowMode::kNormal : os::ShowMode::kHide);
      return;
    case property::kDisabled:
      unit.flags = word ? (unit.flags | kUnitDisabled) : (unit.flags & ~kUnitDisabled);
      if (handle) ws.Enable(handle, !word);
      return;
    case property::kCursor:
      unit.cursor = pointer ? std::string(ByteSetView(pointer)) : std::string();
      if (handle) ws.SetCursor(handle, unit.cursor);
      return;
    default:
      break;
  }
  if (!t.live) Fatal(text::kWriteNotLive, window_id, unit_id);
  const PropertyInfo* info = OwnProperty(unit, number);
  auto set = ClassProc<SetPropertyProc>(unit, interface_number::kSetProperty);
  if (!info || !set) return;
  PropertyInput value;
  if (property_type::IsText(info->type)) {
    value.bytes = TextView(static_cast<const char*>(pointer));
  } else if (property_type::IsBinary(info->type)) {
    if (pointer) value.bytes = ByteSetView(pointer);
  } else if (info->type == property_type::kLogical) {
    value.number = word != 0;
  } else if (info->type == property_type::kChoice) {
    value.number = word < 0 ? 0 : word;
  } else if (property_type::IsTwoWords(info->type)) {
    value.number = static_cast<std::int64_t>(both);
  } else {
    value.number = word;
  }
  if (set(t.object, number - property::kFirstOwn, value) == 1) Rebuild(window_id, unit_id);
}

namespace {

// Event delivery stops while a control is replaced; a counter, so an end of the program that
// began meanwhile stays in force.
class DeliverySuppressed {
 public:
  DeliverySuppressed() { ++State().delivery_suppressed; }
  ~DeliverySuppressed() { --State().delivery_suppressed; }
  DeliverySuppressed(const DeliverySuppressed&) = delete;
  DeliverySuppressed& operator=(const DeliverySuppressed&) = delete;
};

void Rebuild(std::uint32_t window_id, std::uint32_t unit_id) {
  LoadedWindow* window = FindLoaded(window_id);
  if (!window || !Windows().Exists(window->handle())) return;
  // What already waits is handled against the control as it is; it may take the window with it.
  Windows().ProcessPendingMessages();
  window = FindLoaded(window_id);
  if (!window || !Windows().Exists(window->handle())) return;
  const int index = FindUnitIndex(*window->record, unit_id);
  if (index < 0) return;
  const Unit& unit = window->record->units[static_cast<std::size_t>(index)];
  Component* object = window->objects[static_cast<std::size_t>(index)].get();
  if (!object || !Windows().Exists(object->handle())) return;
  auto data_of = ClassProc<GetAllPropertyDataProc>(unit, interface_number::kGetAllPropertyData);
  auto create = ClassProc<CreateProc>(unit, interface_number::kCreate);
  if (!data_of || !create) return;
  DeliverySuppressed suppressed;
  std::string data = data_of(object);
  os::WindowHandle old = object->handle();
  CreateParams params;
  params.data = data;
  params.disabled = (unit.flags & kUnitDisabled) != 0;
  params.tab_stop = (unit.flags & kUnitTabStop) != 0;
  params.parent = window->handle();
  params.control_number = ControlNumberOf(*window->record, static_cast<std::size_t>(index));
  params.rect = Windows().GetRect(old);
  params.window_id = window_id;
  params.unit_id = unit.id;
  Component* fresh = create(params);
  if (fresh) {
    // Keep the container: the new control goes where the old one was.
    if (unit.container != 0) {
      if (Component* container = FindComponent(window_id, unit.container)) {
        Windows().SetContainer(fresh->handle(), container->handle());
      }
    }
    Windows().Show(fresh->handle(),
                   Windows().IsVisible(old) ? os::ShowMode::kNormal : os::ShowMode::kHide);
    Windows().SetCursor(fresh->handle(), unit.cursor);
    window->objects[static_cast<std::size_t>(index)].reset(fresh);
    Windows().Destroy(old);
  }
  // The messages the exchange caused go while delivery is still stopped.
  Windows().ProcessPendingMessages();
}

}  // namespace
}  // namespace marvane::ui
