// marvane-convert: the program's own logic without a screen.
//
//   marvane-convert [--dir DIR] FILE
//   marvane-convert --version
//
// Starts the program on the headless window system, drops FILE on the list box as a user would,
// and, unless the drop showed a message box, presses "保存". The run directory is DIR (default:
// the current directory), so a save writes DIR/mac_sample.txt. Message boxes go to standard error
// as "[caption] text" and are answered OK; the status bar's count goes to standard output.
// Exit code: 0 saved, 1 refused or nothing saved, 2 usage error.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/identifiers.h"
#include "app/program.h"
#include "platform/headless/desktop.h"
#include "platform/posix/codec.h"
#include "platform/posix/dialogs.h"
#include "platform/posix/heap.h"
#include "platform/posix/paths.h"
#include "runtime/ui/libraries.h"
#include "runtime/ui/runtime.h"
#include "runtime/values/command.h"

namespace {

using namespace marvane;

constexpr char kUsage[] =
    "usage: marvane-convert [--dir DIR] FILE\n       marvane-convert --version\n";
constexpr char kSuccessCaptionUtf8[] = "成功";

// Message boxes on standard error, answered OK; remembers whether any showed and whether the save
// reported success.
class ConsoleBoxes final : public os::Dialogs {
 public:
  int ShowMessageBox(const os::MessageBoxRequest& request) override {
    ++shown;
    if (os::posix::GbkToUtf8(request.caption) == kSuccessCaptionUtf8) saved = true;
    return console_.ShowMessageBox(request);
  }
  int shown = 0;
  bool saved = false;

 private:
  os::posix::ConsoleDialogs console_;
};

// The program file seems to lie in the run directory, so that the runtime takes that directory
// as its own; the process ends with the code the conversion earned.
class ConvertProcess final : public os::Process {
 public:
  ConvertProcess(std::string program_path, const ConsoleBoxes* boxes)
      : program_path_(std::move(program_path)), boxes_(boxes) {}
  [[noreturn]] void Exit(int code) override {
    std::fflush(nullptr);
    std::_Exit(code != 0 ? code : (boxes_->saved ? 0 : 1));
  }
  std::string ProgramPath() override { return program_path_; }
  bool SetCurrentDirectory(std::string_view path) override {
    return chdir(os::posix::ToNativePath(path).c_str()) == 0;
  }
  std::uint32_t Id() override { return static_cast<std::uint32_t>(getpid()); }

 private:
  std::string program_path_;
  const ConsoleBoxes* boxes_;
};

std::string Absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return path;
  return std::string(cwd) + "/" + path;
}

// The directory in full and without "." or ".." (taken as a shell's cd takes them), so that the
// saved file's path reads as the user would write it. The root comes out empty: the runtime adds
// the separator before a name itself.
std::string RunDirectory(const std::string& dir) {
  std::string full = std::filesystem::path(Absolute(dir)).lexically_normal().string();
  while (!full.empty() && full.back() == '/')
    full.pop_back();
  return full;
}

int Handle(std::uint32_t unit, std::uint32_t class_type) {
  return IntOf(CallCore(ui::GetWindowHandle, {app::ComponentRef(unit, class_type)}));
}

}  // namespace

int main(int argc, char** argv) {
  os::posix::RestartWithLargePages(argv);
  std::string dir = ".";
  std::string file;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--version") {
      std::fputs("marvane-convert " MARVANE_VERSION "\n", stdout);
      return 0;
    }
    if (arg == "--dir" && i + 1 < argc) {
      dir = argv[++i];
    } else if (arg.rfind("--dir=", 0) == 0) {
      dir = arg.substr(6);
    } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
      std::fputs(kUsage, stderr);
      return 2;
    } else if (file.empty()) {
      file = arg;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (file.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  // Paths come from the terminal in UTF-8; inside, texts are GBK with "\" separators.
  std::string run_directory = os::posix::ToRuntimePath(RunDirectory(dir));
  std::string dropped = os::posix::ToRuntimePath(Absolute(file));

  os::posix::KeepFreedMemory();
  os::headless::Desktop desktop;
  ConsoleBoxes boxes;
  ConvertProcess process(run_directory + "\\marvane-convert", &boxes);
  os::Services services = os::Current();
  services.dialogs = &boxes;
  services.process = &process;
  os::ScopedServices installed(services);

  os::headless::HeadlessWindowSystem& windows = desktop.windows();
  windows.Post([&] {
    auto edit = static_cast<os::WindowHandle>(Handle(app::kEditClientList, type::kEditBox));
    windows.PostDrag(edit, os::headless::FakeDragData::Files({dropped}), 0,
                     os::drag::kEffectCopy | os::drag::kEffectMove | os::drag::kEffectLink);
    windows.Post([&] {
      auto bar = static_cast<os::WindowHandle>(Handle(app::kStatusBar, type::kStatusBar));
      std::vector<os::StatusPart> parts = windows.StatusParts(bar);
      if (!parts.empty() && !parts[0].text.empty()) {
        std::printf("%s\n", os::posix::GbkToUtf8(parts[0].text).c_str());
      }
      if (boxes.shown == 0) {
        windows.Click(static_cast<os::WindowHandle>(Handle(app::kButtonSave, type::kButton)));
      }
    });
  });
  app::RunProgram();
}
