#include <cstring>
#include <vector>

#include "runtime/commands/text/gbk_stepping.h"
#include "runtime/commands/text/text_commands.h"
#include "runtime/values/values.h"

namespace marvane::commands {

void LeftText(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  const char* text = TextOf(Arg(argc, args, 0));
  const std::int64_t count = IntOf(Arg(argc, args, 1));
  if (count < 1) return;
  const auto length = static_cast<std::int64_t>(std::strlen(text));
  SetPointer(*result, MakeTextFromBytes(text, count < length ? count : length));
}

void MidText(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  const char* text = TextOf(Arg(argc, args, 0));
  const std::int64_t s = static_cast<std::int64_t>(IntOf(Arg(argc, args, 1))) - 1;
  const std::int64_t count = IntOf(Arg(argc, args, 2));
  const auto length = static_cast<std::int64_t>(std::strlen(text));
  if (s < 0 || s >= length || count < 1) return;
  const std::int64_t n = s + count > length ? length - s : count;
  SetPointer(*result, MakeTextFromBytes(text + s, n));
}

void SplitText(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  const char* text = TextOf(Arg(argc, args, 0));
  const ValueRecord& delimiter_arg = Arg(argc, args, 1);
  const ValueRecord& limit_arg = Arg(argc, args, 2);
  const char* delimiter = IsOmitted(delimiter_arg) ? "," : TextOf(delimiter_arg);
  const bool unlimited = IsOmitted(limit_arg);
  std::int64_t limit = unlimited ? 0 : IntOf(limit_arg);
  if (limit < 0) limit = 0;

  std::vector<Text> parts;
  // Elements are owned by `parts` until they move into the array; a fatal allocation failure
  // ends the program, so no other path out needs to release them.
  if (*text != '\0' && (unlimited || limit != 0)) {
    const std::size_t d = std::strlen(delimiter);
    if (d == 0) {
      parts.push_back(MakeText(text));
    } else {
      const std::size_t length = std::strlen(text);
      std::size_t scan = 0;
      std::size_t segment = 0;
      bool stopped = false;
      while (length - scan >= d) {
        // The first byte decides most positions without a call.
        if (text[scan] == delimiter[0] && std::memcmp(text + scan, delimiter, d) == 0) {
          parts.push_back(
              MakeTextFromBytes(text + segment, static_cast<std::int64_t>(scan - segment)));
          scan += d;
          segment = scan;
          if (!unlimited && --limit == 0) {
            stopped = true;
            break;
          }
        } else {
          std::size_t step = MarkerStep(text + scan);
          if (step == 0) break;
          scan += step;
        }
      }
      if (!stopped && text[segment] != '\0') parts.push_back(MakeText(text + segment));
    }
  }

  void* array = NewTextArray(static_cast<std::uint32_t>(parts.size()));
  Text* slots = TextArrayElements(array);
  for (std::size_t i = 0; i < parts.size(); ++i)
    slots[i] = parts[i];
  *result = PointerValue(array, type::kText | type::kArrayFlag);
}

}  // namespace marvane::commands
