#include "runtime/values/core.h"

#include <cstdlib>
#include <vector>

#include "platform/platform.h"
#include "runtime/values/heap.h"
#include "runtime/values/runtime_error.h"
#include "runtime/values/texts.h"
#include "runtime/values/values.h"

namespace marvane {
namespace {

struct CoreState {
  const WindowDirectory* windows = nullptr;
  EndSequence end_sequence = nullptr;
  std::string run_directory;
  // Parallel lists in registration order, as the table is specified.
  std::vector<std::uint32_t> file_numbers;
  std::vector<std::unique_ptr<os::File>> files;
  std::vector<std::uint8_t> kinds;
  std::uint32_t last_number = 0;
};

CoreState& Core() {
  static CoreState state;
  return state;
}

std::ptrdiff_t IndexOf(std::uint32_t number) {
  const auto& numbers = Core().file_numbers;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (numbers[i] == number) return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

}  // namespace

void SetWindowDirectory(const WindowDirectory* directory) {
  Core().windows = directory;
}
const WindowDirectory* GetWindowDirectory() {
  return Core().windows;
}

std::uintptr_t SystemWindowOf(std::intptr_t object) {
  const WindowDirectory* windows = Core().windows;
  return windows && object ? windows->SystemWindowOf(object) : 0;
}

void SetEndSequence(EndSequence sequence) {
  Core().end_sequence = sequence;
}

void EndProgram(int code) {
  // A fatal report while this thread runs the end sequence must not start it again. Another
  // thread's end still reaches the sequence, which hands it to the GUI thread to run there.
  static thread_local bool running = false;
  if (EndSequence sequence = Core().end_sequence; sequence && !running) {
    running = true;
    struct Done {
      ~Done() { running = false; }
    } done;
    sequence(code);
  }
  os::Current().process->Exit(code);
  std::abort();  // a process service that returned must not let the program go on
}

void SetRunDirectory(const std::string& directory) {
  Core().run_directory = directory;
}
const char* RunDirectory() {
  return Core().run_directory.empty() ? nullptr : Core().run_directory.c_str();
}

namespace open_files {

std::uint32_t Register(std::unique_ptr<os::File> file, std::uint8_t kind) {
  CoreState& core = Core();
  // Numbers are never 0 and never repeat while a file holds them.
  do {
    ++core.last_number;
  } while (core.last_number == 0 || IndexOf(core.last_number) >= 0);
  core.file_numbers.push_back(core.last_number);
  core.files.push_back(std::move(file));
  core.kinds.push_back(kind);
  return core.last_number;
}

int Kind(std::uint32_t number) {
  std::ptrdiff_t i = IndexOf(number);
  return i < 0 ? -1 : Core().kinds[static_cast<std::size_t>(i)];
}

std::uint32_t NumberOf(const os::File* file) {
  const CoreState& core = Core();
  for (std::size_t i = 0; i < core.files.size(); ++i) {
    if (core.files[i].get() == file) return core.file_numbers[i];
  }
  return 0;
}

os::File* Find(std::uint32_t number) {
  std::ptrdiff_t i = IndexOf(number);
  return i < 0 ? nullptr : Core().files[static_cast<std::size_t>(i)].get();
}

std::unique_ptr<os::File> Unregister(std::uint32_t number) {
  std::ptrdiff_t i = IndexOf(number);
  if (i < 0) return nullptr;
  CoreState& core = Core();
  std::unique_ptr<os::File> file = std::move(core.files[static_cast<std::size_t>(i)]);
  core.file_numbers.erase(core.file_numbers.begin() + i);
  core.files.erase(core.files.begin() + i);
  core.kinds.erase(core.kinds.begin() + i);
  return file;
}

std::size_t Count() {
  return Core().file_numbers.size();
}

}  // namespace open_files

std::intptr_t RuntimeRequest(int code, std::intptr_t p1, std::intptr_t p2) {
  switch (code) {
    case request::kRunDirectory:
      return reinterpret_cast<std::intptr_t>(RunDirectory());
    case request::kComponentObject:
    case request::kComponentObjectOrFail: {
      auto window = static_cast<std::uint32_t>(p1);
      auto unit = static_cast<std::uint32_t>(p2);
      const WindowDirectory* windows = Core().windows;
      std::intptr_t object = windows ? windows->ComponentObject(window, unit) : 0;
      if (!object && code == request::kComponentObjectOrFail) {
        ReportFatal(text::kComponentMissing, 0, static_cast<std::int32_t>(window),
                    static_cast<std::int32_t>(unit));
      }
      return object;
    }
    case request::kFileKind:
      return open_files::Kind(static_cast<std::uint32_t>(p1));
    case request::kRegisterFile: {
      // The object is handed over; the result is its file number (the object's address served
      // as the number where addresses were 32 bits wide). An object already in the table keeps
      // its one entry, so that it is closed once.
      auto* file = reinterpret_cast<os::File*>(p1);
      if (std::uint32_t number = open_files::NumberOf(file)) return number;
      return open_files::Register(std::unique_ptr<os::File>(file), static_cast<std::uint8_t>(p2));
    }
    case request::kUnregisterFile: {
      // The table owns its files, so removing one also closes it.
      return open_files::Unregister(static_cast<std::uint32_t>(p1)) ? 1 : 0;
    }
    case request::kAllocate:
      return reinterpret_cast<std::intptr_t>(p2 ? TryAllocate(static_cast<std::size_t>(p1))
                                                : Allocate(static_cast<std::size_t>(p1)));
    case request::kFree:
      Free(reinterpret_cast<void*>(p1));
      return 0;
    case request::kReallocate:
      return reinterpret_cast<std::intptr_t>(
          Reallocate(reinterpret_cast<void*>(p1), static_cast<std::size_t>(p2)));
    case request::kFatal:
      ReportFatal(reinterpret_cast<const char*>(p1) ? reinterpret_cast<const char*>(p1) : "", 0, 0,
                  0);
    case request::kEndProgram:
      EndProgram(static_cast<int>(p1));
    default:
      return 0;
  }
}

}  // namespace marvane
