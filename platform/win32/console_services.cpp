// The Windows services of a console program, which brings its own window system (the headless
// one) and shows message boxes as lines on standard error.
//
// Linked into such a program as an object of its own (the object library
// marvane_platform_console), this DefaultServices stands in for the library's (services.cpp): the
// linker then never takes that one from the library, and with it none of the window system, its
// controls and the DLLs they import. Should services.cpp ever be taken all the same, the two
// definitions clash at link time.
#include "platform/win32/base_services.h"
#include "platform/win32/dialogs.h"

namespace marvane::os {

Services DefaultServices() {
  static win32::ConsoleDialogs dialogs;
  return win32::BaseServices(&dialogs, nullptr);
}

}  // namespace marvane::os
