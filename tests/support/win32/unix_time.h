// The time as Unix seconds, for matching moments seen inside Wine with those a script takes
// outside: Wine's system clock is the Unix one.
#pragma once

#include "platform/win32/windows_api.h"

namespace marvane::testing {

inline double UnixNow() {
  FILETIME ft;
  GetSystemTimePreciseAsFileTime(&ft);
  ULARGE_INTEGER t;
  t.LowPart = ft.dwLowDateTime;
  t.HighPart = ft.dwHighDateTime;
  // 100 ns steps since 1601 to seconds since 1970.
  return static_cast<double>(t.QuadPart - 116444736000000000ULL) / 1e7;
}

}  // namespace marvane::testing
