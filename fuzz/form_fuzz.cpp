// Feeds arbitrary bytes to the form description reader: it must refuse or decode, never read out
// of bounds, and never hand back more decoded bytes than it was given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "runtime/ui/form/form_description.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace marvane::ui;
  FormDescription form;
  std::string_view stream(reinterpret_cast<const char*>(data), size);
  if (!ReadFormDescription(stream, &form)) {
    if (!form.windows.empty()) std::abort();
    return 0;
  }
  std::size_t decoded = 0;
  for (const WindowRecord& w : form.windows) {
    decoded += 8 + w.texts[0].size() + w.texts[1].size();
    if (w.units.empty()) std::abort();
    for (const Unit& u : w.units) {
      decoded += u.name.size() + u.second_name.size() + u.cursor.size() + u.tag.size() +
                 u.component_data.size() + 4 * u.children.size() + 8 * u.events.size();
    }
  }
  if (decoded > size) std::abort();
  return 0;
}
