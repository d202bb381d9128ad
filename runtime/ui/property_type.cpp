#include "runtime/ui/program_header.h"

namespace marvane::ui::property_type {

bool IsText(std::uint16_t code) {
  return code == 1005 || code == 1007 || code == 1008 || code == 1016 ||
         (code >= 1018 && code <= 1022);
}

bool IsBinary(std::uint16_t code) {
  return (code >= 1009 && code <= 1012) || code == 1023 || code == 1024;
}

bool IsTwoWords(std::uint16_t code) {
  return code == 1002 || code == 1004;
}

}  // namespace marvane::ui::property_type
