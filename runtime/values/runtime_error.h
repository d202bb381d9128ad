// Fatal run-time errors: a report in a message box, then the end of the program with -1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace marvane {

// Error numbers of the run-time error table that the program's logic raises itself.
inline constexpr int kIndexAboveCount = 1;
inline constexpr int kIndexBelowOne = 4;

// Composes the report's text (GBK) without showing it.
std::string ComposeRuntimeErrorReport(std::string_view message, int number, std::int32_t location_a,
                                      std::int32_t location_b);

// Shows the report (caption "错误", style 0x10, no owner) and ends the program with -1.
[[noreturn]] void ReportFatal(std::string_view message, int number, std::int32_t location_a,
                              std::int32_t location_b);
// The same with the table's message for the number (0 and unknown numbers have none).
[[noreturn]] void ReportRuntimeError(int number, std::int32_t location_a, std::int32_t location_b);
// The table's message for an error number, "" when it has none.
std::string_view RuntimeErrorMessage(int number);

// Checks a 1-based index into a one-dimensional array of count elements, as the program's logic
// does before each access; a bad index is a fatal report naming the statement (a, b).
void CheckArrayIndex(std::int64_t index, std::uint64_t count, std::int32_t location_a,
                     std::int32_t location_b);

}  // namespace marvane
