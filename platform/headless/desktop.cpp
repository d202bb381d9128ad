#include "platform/headless/desktop.h"

namespace marvane::os::headless {
namespace {

Services WithDesktop(WindowSystem* windows, Dialogs* dialogs) {
  Services services = Current();
  services.windows = windows;
  services.dialogs = dialogs;
  return services;
}

}  // namespace

Desktop::Desktop(ScriptedDialogs* dialogs)
    : dialogs_(dialogs ? dialogs : &own_dialogs_), installed_(WithDesktop(&windows_, dialogs_)) {}

}  // namespace marvane::os::headless
