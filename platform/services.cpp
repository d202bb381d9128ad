#include "platform/platform.h"

namespace marvane::os {

Services& Current() {
  static Services services = DefaultServices();
  return services;
}

}  // namespace marvane::os
