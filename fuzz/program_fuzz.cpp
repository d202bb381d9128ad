// Runs the whole program on the headless window system for each input: the bytes are written to a
// file, the scripted user drops it on the list box and presses "保存" unless a message box showed,
// and the program ends. What must always hold: the saved file holds exactly what the list box
// showed, the status bar shows " 共 N 条" or nothing, the program ends with code 0, and nothing but
// the saved list is left in the run directory (no half-written temporary file).
//
// The input file lives in a directory of its own, so the run directory holds only what the
// program wrote there.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/identifiers.h"
#include "app/program.h"
#include "platform/headless/desktop.h"
#include "platform/headless/fake_drag_data.h"
#include "platform/headless/unwinding_process.h"
#include "platform/posix/paths.h"
#include "runtime/ui/libraries.h"
#include "runtime/ui/runtime.h"
#include "runtime/values/command.h"

namespace {

using namespace marvane;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "program_fuzz: %s\n", what.c_str());
  std::abort();
}

void Require(bool ok, const char* what) {
  if (!ok) Fail(what);
}

std::string MakeTempDirectory(const char* name) {
  std::error_code error;
  std::string pattern = (std::filesystem::temp_directory_path(error) / name).string();
  if (error) pattern = std::string("/tmp/") + name;
  Require(::mkdtemp(pattern.data()) != nullptr, "cannot make a temporary directory");
  return pattern;
}

void WriteFile(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  Require(fd >= 0, "cannot open the input file");
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    Require(n > 0, "cannot write the input file");
    done += static_cast<std::size_t>(n);
  }
  Require(::close(fd) == 0, "cannot close the input file");
}

std::optional<std::string> ReadFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    Require(n >= 0, "cannot read the saved list");
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return bytes;
}

std::vector<std::string> Names(const std::string& directory) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(directory.c_str());
  Require(dir != nullptr, "cannot list the run directory");
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

// One process-wide place for the input and one for the run; both removed when the fuzzer ends.
struct Directories {
  std::string input = MakeTempDirectory("marvane-program-fuzz-in-XXXXXX");
  std::string run = MakeTempDirectory("marvane-program-fuzz-run-XXXXXX");
  std::string input_file = input + "/list.txt";
  std::string saved = run + "/mac_sample.txt";
  ~Directories() {
    std::error_code ignored;
    std::filesystem::remove_all(input, ignored);
    std::filesystem::remove_all(run, ignored);
  }
};

// A status bar text the program may show: " 共 N 条" in GBK, N decimal digits.
bool IsCountText(std::string_view text) {
  constexpr std::string_view kPrefix = " \xb9\xb2 ";
  constexpr std::string_view kSuffix = " \xcc\xf5";
  if (text.size() <= kPrefix.size() + kSuffix.size()) return false;
  if (text.substr(0, kPrefix.size()) != kPrefix) return false;
  if (text.substr(text.size() - kSuffix.size()) != kSuffix) return false;
  const std::string_view digits =
      text.substr(kPrefix.size(), text.size() - kPrefix.size() - kSuffix.size());
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

os::WindowHandle Handle(std::uint32_t unit, std::uint32_t class_type) {
  return static_cast<os::WindowHandle>(
      IntOf(CallCore(ui::GetWindowHandle, {app::ComponentRef(unit, class_type)})));
}

std::string StatusText(os::headless::HeadlessWindowSystem& windows) {
  auto parts = windows.StatusParts(Handle(app::kStatusBar, type::kStatusBar));
  return parts.empty() ? "" : parts[0].text;
}

struct Seen {
  bool looked = false;
  bool saved = false;
  std::string list;
  std::string status_before;
  std::string status_after_drop;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Directories dirs;
  static os::headless::UnwindingProcess process;
  // The program's run directory is the one its path names.
  static os::ScopedServices installed([] {
    process.set_program_path(os::posix::ToRuntimePath(dirs.run) + "\\marvane.exe");
    os::Services services = os::Current();
    services.process = &process;
    return services;
  }());

  std::remove(dirs.saved.c_str());
  WriteFile(dirs.input_file, std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string dropped = os::posix::ToRuntimePath(dirs.input_file);

  Seen seen;
  int code = -1;
  {
    os::headless::Desktop desktop;
    auto& windows = desktop.windows();
    windows.Post([&] {
      seen.status_before = StatusText(windows);
      auto drag = os::headless::FakeDragData::Files({dropped});
      windows.Drag(Handle(app::kEditClientList, type::kEditBox), drag, 0,
                   os::drag::kEffectCopy | os::drag::kEffectMove | os::drag::kEffectLink);
    });
    windows.Post([&] {
      seen.looked = true;
      seen.status_after_drop = StatusText(windows);
      if (!desktop.dialogs().shown().empty()) return;
      seen.list = windows.GetText(Handle(app::kEditClientList, type::kEditBox));
      seen.saved = true;
      windows.Click(Handle(app::kButtonSave, type::kButton));
    });
    ui::SetProgram(&app::Program());
    try {
      app::RunProgram();
    } catch (const os::headless::ProcessExit& exit) {
      code = exit.code;
    }
    ui::ResetRuntime();
  }

  if (code != 0) Fail("the program ended with code " + std::to_string(code));
  Require(seen.looked, "the scripted user's steps did not all run");
  Require(seen.status_before.empty(), "the status bar was not empty at start");
  Require(seen.status_after_drop.empty() || IsCountText(seen.status_after_drop),
          "the status bar shows neither nothing nor a count");

  const std::optional<std::string> saved = ReadFile(dirs.saved);
  if (seen.saved && !seen.list.empty()) Require(saved.has_value(), "the list was not saved");
  if (saved) {
    Require(seen.saved, "a list was saved though save was not pressed");
    Require(*saved == seen.list, "the saved file differs from the list box's content");
  }
  for (const std::string& name : Names(dirs.run)) {
    if (name != "mac_sample.txt") Fail("left in the run directory: " + name);
  }
  return 0;
}
