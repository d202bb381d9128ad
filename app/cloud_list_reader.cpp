#include "app/cloud_list_reader.h"

#include <string>

#include "runtime/commands/file/file_commands.h"
#include "runtime/commands/text/text_commands.h"
#include "runtime/values/runtime_error.h"
#include "runtime/values/text_builder.h"

namespace marvane::app {
namespace {

using commands::CloseFile;
using commands::FileExists;
using commands::FindText;
using commands::IsEndOfFile;
using commands::MidText;
using commands::OpenFile;
using commands::ReadProfileItem;
using commands::SplitText;

// The statements of ReadCloudUpdateList that index the name array, as run-time error reports
// name them: this procedure, then the statement within it.
constexpr std::int32_t kReaderProcedure = 0x04010102;
constexpr std::int32_t kEmptyNameTest = 3;
constexpr std::int32_t kValueLookup = 4;
constexpr std::int32_t kLineAppend = 5;

OwnedText TakeText(const ValueRecord& r) {
  return OwnedText(static_cast<char*>(PointerOf(r)));
}

// The element at a 1-based index, checked as every index into an array is; "" for an empty one.
const char* NameAt(const OwnedTextArray& names, std::int64_t index, std::int32_t statement) {
  CheckArrayIndex(index, ArrayCount(names.get()), kReaderProcedure, statement);
  const char* name = TextArrayElements(names.get())[index - 1];
  return name ? name : "";
}

// The name of a section header line, or nothing for any other line. A header starts with "["
// and holds a "]" further on; the name is what lies between "[" and the first "]".
bool SectionName(const char* line, OwnedText* name) {
  // Most lines are key lines; they fail the first test below without a command being run.
  if (!line || *line != '[') return false;
  // The first byte is "[" itself, so the head of p bytes up to the "]" starts with "[" and, being
  // longer, compares above it exactly when a "]" was found (p is then 2 or more): the tests of
  // LeftText and CompareText come down to that.
  const std::int32_t close =
      IntOf(CallCore(FindText, {TextArg(line), TextArg("]"), IntValue(1), BoolValue(true)}));
  if (close == -1) return false;
  *name = TakeText(CallCore(MidText, {TextArg(line), IntValue(2), IntValue(close - 2)}));
  return true;
}

}  // namespace

void CollectSectionNames(const char* path, OwnedTextArray* names) {
  if (CallCore(FileExists, {TextArg(path)}).low == 0) return;
  const ValueRecord file = CallCore(OpenFile, {TextArg(path), IntValue(1), IntValue(1)});
  const ValueRecord number = IntValue(IntOf(file));
  std::string joined;
  // A file that could not be opened (number 0) is at its end at once.
  while (CallCore(IsEndOfFile, {number, BoolValue(true)}).low == 0) {
    // Only a line that starts with "[" can be a header: any other is passed over as ReadLine
    // would read it, without a text being made of it.
    OwnedText line(commands::ReadLineUpTo(static_cast<std::uint32_t>(IntOf(number)),
                                          commands::kReadLimit, '['));
    OwnedText name;
    if (!SectionName(line.get(), &name)) continue;
    // Empty names before the first non-empty one leave no trace; later ones leave a "|".
    if (!joined.empty()) joined += '|';
    joined += TextView(name.get());
  }
  CallCore(CloseFile, {number});
  names->reset(PointerOf(CallCore(SplitText, {TextArg(joined.c_str()), TextArg("|"), {}})));
}

Text ReadCloudUpdateList(const char* path, std::int32_t* count) {
  // One reading of the file answers every section's lookup. It is taken before the line pass:
  // its copy of the file then lands in the block that the raw text has just left, before the
  // pass's smaller blocks are cut from it.
  commands::ProfileFileHold hold(path);
  OwnedTextArray names;
  // The list grows on the runtime heap and becomes the result without a copy.
  TextBuilder list;
  CollectSectionNames(path, &names);
  const auto local_count = static_cast<std::int32_t>(ArrayCount(names.get()));
  for (std::int64_t i = 1; i <= local_count; ++i) {
    if (*NameAt(names, i, kEmptyNameTest) == '\0') continue;
    // No default given: a missing key reads as the empty text.
    OwnedText value = TakeText(
        CallCore(ReadProfileItem,
                 {TextArg(path), TextArg(NameAt(names, i, kValueLookup)), TextArg("Name"), {}}));
    if (!list.empty()) list.Append("\r\n");
    list.Append(NameAt(names, i, kLineAppend));
    list.Append(' ');
    list.Append(TextView(value.get()));
  }
  *count = local_count;
  return list.Release();
}

}  // namespace marvane::app
