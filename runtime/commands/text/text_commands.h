// Text commands: search, cut, split, compare and convert GBK texts. All follow the command form;
// every Text, ByteSet or TextArray they return is new and belongs to the caller.
#pragma once

#include "runtime/values/command.h"

namespace marvane::commands {

// (text, search, start position?, ignore case?) -> integer: 1-based position or -1.
void FindText(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (text, count) -> Text: the first count bytes.
void LeftText(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (text, start position, count) -> Text.
void MidText(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (text, delimiter? = ",", maximum part count?) -> TextArray.
void SplitText(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (text 1, text 2, case sensitive?) -> integer -1, 0 or 1.
void CompareText(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (any basic value, ByteSet or numeric array) -> Text.
void ToText(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (any basic value or numeric array) -> ByteSet.
void ToByteSet(ValueRecord* result, std::int32_t argc, ValueRecord* args);

}  // namespace marvane::commands
