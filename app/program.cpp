#include "app/program.h"

#include "app/conversion_window.h"
#include "app/identifiers.h"
#include "resources/embedded.h"
#include "runtime/ui/components/drop_target.h"
#include "runtime/ui/libraries.h"
#include "runtime/ui/runtime.h"
#include "runtime/values/core.h"

namespace marvane::app {
namespace {

// The handlers in the order the form description numbers them.
const ui::Handler kHandlers[] = {OnWindowCreated, OnFileDropped, OnSaveClicked};

}  // namespace

const ui::ProgramHeader& Program() {
  static const ui::ProgramHeader header = {
      3,
      0,
      100302,
      kHandlers,
      std::size(kHandlers),
      nullptr,
      0,
      resources::kFormDescription,
      resources::kFormDescriptionSize,
      ui::kLibraryCount,
      ui::Libraries(),
      0,
  };
  return header;
}

int StartUp(const std::vector<std::string>& files) {
  ui::InitializeRuntime();
  // The program has no program-level variables to initialise and no start procedure of its own.
  ui::RegisterExitProcedure(ReleaseDroppedPath);
  ui::LoadWindow(kStartupWindow);
  if (!files.empty()) ui::DropGivenFiles(files);
  ui::RunMessageLoop();
  return 0;
}

void RunProgram(const std::vector<std::string>& files) {
  ui::SetProgram(&Program());
  int code = StartUp(files);
  EndProgram(code);
}

}  // namespace marvane::app
