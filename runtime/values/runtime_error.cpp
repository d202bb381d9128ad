#include "runtime/values/runtime_error.h"

#include <string>

#include "platform/platform.h"
#include "runtime/values/core.h"
#include "runtime/values/texts.h"

namespace marvane {
namespace {

constexpr const char* kErrorTable[] = {
    nullptr,       text::kError1, text::kError2, text::kError3, text::kError4,  text::kError5,
    text::kError6, text::kError7, text::kError8, text::kError9, text::kError10, text::kError11,
};

// Identifier bits 24-27 hold 2 for a window.
bool IsWindowId(std::int32_t id) {
  return id != 0 && ((static_cast<std::uint32_t>(id) >> 24) & 0xF) == 2;
}

std::string Quoted(const std::string& tag) {
  return "\"" + tag + "\"";
}

}  // namespace

std::string_view RuntimeErrorMessage(int number) {
  if (number < 1 || number >= static_cast<int>(std::size(kErrorTable))) return {};
  return kErrorTable[number];
}

std::string ComposeRuntimeErrorReport(std::string_view message, int number, std::int32_t location_a,
                                      std::int32_t location_b) {
  std::string detail = "\r\n" + std::to_string(location_a) + ", " + std::to_string(location_b);
  if (IsWindowId(location_a)) {
    const WindowDirectory* windows = GetWindowDirectory();
    std::string tag;
    if (!windows || !windows->WindowTag(static_cast<std::uint32_t>(location_a), &tag)) {
      detail += text::kWindowNotFound;
    } else {
      detail += "\r\n" + Quoted(tag);
      if (windows->UnitTag(static_cast<std::uint32_t>(location_a),
                           static_cast<std::uint32_t>(location_b), &tag)) {
        detail += "\r\n" + Quoted(tag);
      } else {
        detail += text::kUnitNotFound;
      }
    }
  }
  detail += "\r\n";

  std::string report = text::kReportHead;
  if (number != 0) report += text::kReportNumber + std::to_string(number) + "\r\n";
  if (!message.empty()) {
    report += text::kReportMessage;
    report += message;
    report += "\r\n";
  }
  return report + detail;
}

void ReportFatal(std::string_view message, int number, std::int32_t location_a,
                 std::int32_t location_b) {
  std::string report = ComposeRuntimeErrorReport(message, number, location_a, location_b);
  os::MessageBoxRequest box;
  box.text = report;
  box.caption = text::kErrorCaption;
  box.style = 0x10;  // MB_OK | MB_ICONHAND
  os::Current().dialogs->ShowMessageBox(box);
  EndProgram(-1);
}

void ReportRuntimeError(int number, std::int32_t location_a, std::int32_t location_b) {
  ReportFatal(RuntimeErrorMessage(number), number, location_a, location_b);
}

void CheckArrayIndex(std::int64_t index, std::uint64_t count, std::int32_t location_a,
                     std::int32_t location_b) {
  if (index < 1) ReportRuntimeError(kIndexBelowOne, location_a, location_b);
  if (static_cast<std::uint64_t>(index) > count) {
    ReportRuntimeError(kIndexAboveCount, location_a, location_b);
  }
}

}  // namespace marvane
