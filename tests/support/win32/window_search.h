// Window enumeration with a lambda. The system calls its enumeration callback with the CALLBACK
// convention, which no lambda can have on 32-bit Windows; the function here has it and hands
// each window on to the lambda.
#pragma once

#include "platform/win32/windows_api.h"

namespace marvane::testing {

template <typename Visit>
BOOL CALLBACK VisitWindow(HWND hwnd, LPARAM visit) {
  return (*reinterpret_cast<Visit*>(visit))(hwnd) ? TRUE : FALSE;
}

// visit(hwnd) for each top-level window until it returns false.
template <typename Visit>
void ForEachTopWindow(Visit visit) {
  EnumWindows(VisitWindow<Visit>, reinterpret_cast<LPARAM>(&visit));
}

// visit(hwnd) for each child of parent, children of children included, until it returns false.
template <typename Visit>
void ForEachChildWindow(HWND parent, Visit visit) {
  EnumChildWindows(parent, VisitWindow<Visit>, reinterpret_cast<LPARAM>(&visit));
}

}  // namespace marvane::testing
