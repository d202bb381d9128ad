#include "runtime/ui/dispatch.h"

#include <vector>

#include "runtime/ui/runtime_state.h"
#include "runtime/ui/texts.h"
#include "runtime/values/value_record.h"

namespace marvane::ui {
namespace {

bool Delivering() {
  return !State().ending && State().delivery_suppressed == 0;
}

std::int64_t CallHandler(Handler handler, const std::vector<std::uintptr_t>& words) {
  std::int64_t result = handler(words.data(), static_cast<std::int32_t>(words.size()));
  State().event_window = 0;
  State().event_unit = 0;
  return result;
}

}  // namespace

Handler FindEventHandler(std::uint32_t window_id, std::uint32_t unit_id, std::int32_t event) {
  if (!Delivering()) return nullptr;
  LoadedWindow* window = FindLoaded(window_id);
  if (!window) Fatal(text::kEventWindowMissing, window_id, 0);
  const WindowRecord& record = *window->record;
  int index = FindUnitIndex(record, unit_id);
  if (index < 0) Fatal(text::kEventUnitMissing, window_id, unit_id);

  // Follow the event-source links while they lead to a unit of the same class. A chain that
  // comes back on itself stops at the first unit seen twice.
  std::vector<bool> seen(record.units.size(), false);
  while (!seen[static_cast<std::size_t>(index)]) {
    seen[static_cast<std::size_t>(index)] = true;
    const Unit& unit = record.units[static_cast<std::size_t>(index)];
    if (unit.event_source == 0) break;
    int next = FindUnitIndex(record, unit.event_source);
    if (next < 0 || record.units[static_cast<std::size_t>(next)].class_type != unit.class_type)
      break;
    index = next;
  }
  const Unit& unit = record.units[static_cast<std::size_t>(index)];
  const ComponentClassInfo* info = FindClass(unit.class_type);
  if (!info || (info->state_flags & kClassRaisesEvents) == 0) {
    Fatal(text::kEventUnitInvalid, window_id, unit_id);
  }

  Handler handler = nullptr;
  for (const EventBinding& binding : unit.events) {
    if (binding.event != event) continue;
    const ProgramHeader* program = State().program;
    if (binding.handler != kNoHandler && program && binding.handler < program->handler_count) {
      handler = program->code_base[binding.handler];
    }
    break;
  }
  if (handler) {
    State().event_window = window_id;
    State().event_unit = unit_id;
  }
  return handler;
}

int RaiseEvent(EventRequest* request, bool want_result) {
  Handler handler = FindEventHandler(request->window_id, request->unit_id, request->event);
  if (!handler) return 0;
  std::vector<std::uintptr_t> words;
  int count = request->argument_count < 0
                  ? 0
                  : (request->argument_count > 12 ? 12 : request->argument_count);
  for (int i = 0; i < count; ++i) {
    const EventArgument& a = request->arguments[i];
    auto low = static_cast<std::uint32_t>(a.payload);
    auto high = static_cast<std::uint32_t>(a.payload >> 32);
    if (a.state & kByReference) {
      words.push_back(static_cast<std::uintptr_t>(a.payload));
      continue;
    }
    switch (a.type) {
      case type::kByte:
        words.push_back(low & 0xFF);
        break;
      case type::kShort:
        words.push_back(static_cast<std::uintptr_t>(
            static_cast<std::intptr_t>(static_cast<std::int16_t>(low))));
        break;
      case type::kLong:
      case type::kDouble:
      case type::kDateTime:
      case 0x80000008:
        words.push_back(low);
        words.push_back(high);
        break;
      case type::kText:
      case type::kByteSet:
        // Pointers travel whole.
        words.push_back(static_cast<std::uintptr_t>(a.payload));
        break;
      default:
        words.push_back(low);
        break;
    }
  }
  std::int64_t result = CallHandler(handler, words);
  if (want_result) {
    request->result = result;
    request->has_result = 1;
  }
  return 1;
}

int RaiseShortEvent(ShortEventRequest* request, bool want_result) {
  Handler handler = FindEventHandler(request->window_id, request->unit_id, request->event);
  if (!handler) return 0;
  int count =
      request->argument_count < 0 ? 0 : (request->argument_count > 5 ? 5 : request->argument_count);
  std::vector<std::uintptr_t> words(request->arguments, request->arguments + count);
  std::int64_t result = CallHandler(handler, words);
  if (want_result) {
    request->result = static_cast<std::int32_t>(result);
    request->has_result = 1;
  }
  return 1;
}

int RaiseSimpleEvent(std::uint32_t window_id, std::uint32_t unit_id, std::int32_t event) {
  ShortEventRequest request;
  request.window_id = window_id;
  request.unit_id = unit_id;
  request.event = event;
  return RaiseShortEvent(&request);
}

}  // namespace marvane::ui
