// Delivery of component events to the handlers the form description binds.
#pragma once

#include <cstdint>

#include "runtime/ui/program_header.h"

namespace marvane::ui {

inline constexpr std::uint32_t kByReference = 0x1;

// Event numbers the runtime raises itself. A window raises its three in this order once its
// controls exist, before it shows; a handler may unload the window in between.
namespace event {
inline constexpr std::int32_t kWindowCreated = 0;
inline constexpr std::int32_t kWindowLoaded = 3;
inline constexpr std::int32_t kWindowAboutToShow = 4;
inline constexpr std::int32_t kGotFocus = -7;
inline constexpr std::int32_t kLostFocus = -8;
}  // namespace event

struct EventArgument {
  std::uint64_t payload = 0;  // or the address of the variable, when passed by reference
  std::uint32_t type = 0;
  std::uint32_t state = 0;
};

struct EventRequest {
  std::uint32_t window_id = 0;
  std::uint32_t unit_id = 0;  // 0 = the window itself
  std::int32_t event = 0;
  std::int32_t argument_count = 0;  // at most 12
  EventArgument arguments[12];
  std::uint32_t has_result = 0;  // set to 1 by the dispatch when it stored the result
  std::int64_t result = 0;
};

// The short form the core classes use: five plain argument words.
struct ShortEventRequest {
  std::uint32_t window_id = 0;
  std::uint32_t unit_id = 0;
  std::int32_t event = 0;
  std::int32_t argument_count = 0;  // at most 5
  std::uint32_t arguments[5] = {};
  std::uint32_t has_result = 0;
  std::int32_t result = 0;
};

// The handler bound to the event, or null. Fatal for an unknown window or unit, or a unit whose
// class cannot raise events. Records the current event source.
Handler FindEventHandler(std::uint32_t window_id, std::uint32_t unit_id, std::int32_t event);
// 1 when a handler ran, 0 when none is bound (or events are no longer delivered).
int RaiseEvent(EventRequest* request, bool want_result = false);
int RaiseShortEvent(ShortEventRequest* request, bool want_result = false);

// Raises an event without arguments, as the core classes do.
int RaiseSimpleEvent(std::uint32_t window_id, std::uint32_t unit_id, std::int32_t event);

}  // namespace marvane::ui
