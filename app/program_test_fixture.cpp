#include "app/program_test_fixture.h"

#include "app/conversion_window.h"
#include "platform/posix/paths.h"
#include "runtime/ui/libraries.h"
#include "runtime/ui/runtime.h"

namespace marvane::app {

ProgramTest::ProgramTest() {
  run_directory_ = os::posix::ToRuntimePath(dir_.path());
  process_.set_program_path(run_directory_ + "\\marvane.exe");
}

ProgramTest::~ProgramTest() {
  ui::ResetRuntime();
}

os::WindowHandle ProgramTest::Handle(std::uint32_t unit, std::uint32_t class_type) {
  return static_cast<os::WindowHandle>(
      IntOf(CallCore(ui::GetWindowHandle, {ComponentRef(unit, class_type)})));
}

void ProgramTest::Drop(std::vector<std::string> paths, std::uint32_t keys) {
  Then([this, paths = std::move(paths), keys] {
    auto data = os::headless::FakeDragData::Files(paths);
    windows().Drag(Handle(kEditClientList, type::kEditBox), data, keys,
                   os::drag::kEffectCopy | os::drag::kEffectMove | os::drag::kEffectLink);
  });
}

void ProgramTest::ClickSave() {
  Then([this] { windows().Click(Handle(kButtonSave, type::kButton)); });
}

void ProgramTest::Look(WindowState* state) {
  Then([this, state] {
    state->edit_text = windows().GetText(Handle(kEditClientList, type::kEditBox));
    os::WindowHandle combo = Handle(kComboSelectKind, type::kComboBox);
    state->combo_selection = windows().GetComboSelection(combo);
    state->combo_text = windows().GetText(combo);
    auto parts = windows().StatusParts(Handle(kStatusBar, type::kStatusBar));
    state->status_text = parts.empty() ? "" : parts[0].text;
    state->dropped_path = DroppedFilePath() ? DroppedFilePath() : "";
    state->boxes = boxes().size();
    state->window = Handle(kWindowUnit, type::kWindow);
  });
}

int ProgramTest::Run(const std::vector<std::string>& files) {
  ui::SetProgram(&Program());
  auto code = RunToEnd([&files] { RunProgram(files); });
  return code.value_or(-999);
}

}  // namespace marvane::app
