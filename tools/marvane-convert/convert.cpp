#include "tools/marvane-convert/convert.h"

#include <cstdlib>
#include <vector>

#include "app/identifiers.h"
#include "app/program.h"
#include "app/texts.h"
#include "platform/headless/desktop.h"
#include "runtime/ui/libraries.h"
#include "runtime/ui/runtime.h"
#include "runtime/values/command.h"

namespace marvane::convert {
namespace {

constexpr std::string_view kUsage[] = {
    "usage: marvane-convert [--dir DIR] FILE",
    "       marvane-convert --version",
};
constexpr std::string_view kVersion = "marvane-convert " MARVANE_VERSION;
constexpr int kUsageErrorCode = 2;
constexpr int kNotSavedCode = 1;
// The program file's name in the run directory; the runtime takes the directory from it.
constexpr char kProgramName[] = "\\marvane-convert";

// The console's message boxes; remembers whether any showed and whether the save reported
// success.
class WatchedBoxes final : public os::Dialogs {
 public:
  explicit WatchedBoxes(os::Dialogs* shown) : shown_(shown) {}
  int ShowMessageBox(const os::MessageBoxRequest& request) override {
    ++count;
    if (request.caption == app::text::kSuccessCaption) saved = true;
    return shown_->ShowMessageBox(request);
  }
  int count = 0;
  bool saved = false;

 private:
  os::Dialogs* shown_;
};

// The system's process, but with the program file seeming to lie in the run directory, so that
// the runtime takes that directory as its own, and ending with the code the conversion earned.
class ConvertProcess final : public os::Process {
 public:
  ConvertProcess(os::Process* system, std::string program_path, const WatchedBoxes* boxes)
      : system_(system), program_path_(std::move(program_path)), boxes_(boxes) {}
  [[noreturn]] void Exit(int code) override {
    system_->Exit(code != 0 ? code : (boxes_->saved ? 0 : kNotSavedCode));
    std::abort();  // not reached: the compiler does not carry [[noreturn]] through a virtual call
  }
  std::string ProgramPath() override { return program_path_; }
  bool SetCurrentDirectory(std::string_view path) override {
    return system_->SetCurrentDirectory(path);
  }
  std::uint32_t Id() override { return system_->Id(); }

 private:
  os::Process* system_;
  std::string program_path_;
  const WatchedBoxes* boxes_;
};

int Handle(std::uint32_t unit, std::uint32_t class_type) {
  return IntOf(CallCore(ui::GetWindowHandle, {app::ComponentRef(unit, class_type)}));
}

}  // namespace

int Answer(Action action, Console& console) {
  switch (action) {
    case Action::kVersion:
      console.Out(kVersion);
      return 0;
    case Action::kHelp:
      for (std::string_view line : kUsage)
        console.Out(line);
      return 0;
    case Action::kConvert:
    case Action::kUsageError:
      break;
  }
  for (std::string_view line : kUsage)
    console.Err(line);
  return kUsageErrorCode;
}

void Convert(const std::string& run_directory, const std::string& file, Console& console) {
  os::headless::Desktop desktop;
  WatchedBoxes boxes(&console.MessageBoxes());
  ConvertProcess process(os::Current().process, run_directory + kProgramName, &boxes);
  os::Services services = os::Current();
  services.dialogs = &boxes;
  services.process = &process;
  os::ScopedServices installed(services);

  os::headless::HeadlessWindowSystem& windows = desktop.windows();
  windows.Post([&] {
    auto edit = static_cast<os::WindowHandle>(Handle(app::kEditClientList, type::kEditBox));
    windows.PostDrag(edit, os::headless::FakeDragData::Files({file}), 0,
                     os::drag::kEffectCopy | os::drag::kEffectMove | os::drag::kEffectLink);
    windows.Post([&] {
      auto bar = static_cast<os::WindowHandle>(Handle(app::kStatusBar, type::kStatusBar));
      std::vector<os::StatusPart> parts = windows.StatusParts(bar);
      if (!parts.empty() && !parts[0].text.empty()) console.Out(parts[0].text);
      if (boxes.count == 0) {
        windows.Click(static_cast<os::WindowHandle>(Handle(app::kButtonSave, type::kButton)));
      }
    });
  });
  app::RunProgram();
}

}  // namespace marvane::convert
