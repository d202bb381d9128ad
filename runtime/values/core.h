// The runtime core that commands reach: requests by code, the open-file table, the run directory
// and the end of the program. The window runtime plugs its part in through WindowDirectory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace marvane {

namespace os {
class File;
}

// What the core needs to know of loaded windows; the window runtime provides it.
class WindowDirectory {
 public:
  virtual ~WindowDirectory() = default;
  // The window's tag text (property 4 of its own unit); false when the window is not loaded.
  virtual bool WindowTag(std::uint32_t window, std::string* tag) const = 0;
  // The unit's tag; unit 0 is the window's own unit. False when missing or a menu item.
  virtual bool UnitTag(std::uint32_t window, std::uint32_t unit, std::string* tag) const = 0;
  // The live component object, 0 when the window is not loaded, the unit is missing or a menu
  // item, or its system window no longer exists.
  virtual std::intptr_t ComponentObject(std::uint32_t window, std::uint32_t unit) const = 0;
  // The system window handle of a live component object, 0 when it has none.
  virtual std::uintptr_t SystemWindowOf(std::intptr_t object) const = 0;
};

void SetWindowDirectory(const WindowDirectory* directory);
const WindowDirectory* GetWindowDirectory();
// The system window handle of a component object from request 2006/2007; 0 when none.
std::uintptr_t SystemWindowOf(std::intptr_t object);

// The end of the program: the installed end sequence runs once, then the process ends with code.
using EndSequence = void (*)(int code);
void SetEndSequence(EndSequence sequence);
[[noreturn]] void EndProgram(int code);

// The run directory, recorded at start-up (GBK, no trailing backslash, possibly empty).
void SetRunDirectory(const std::string& directory);
const char* RunDirectory();  // owned by the core; null when empty

// Request codes through which commands reach the core. Values are pointer-sized so that object
// and block addresses travel whole on 64-bit hosts.
namespace request {
inline constexpr int kRunDirectory = 2003;
inline constexpr int kComponentObject = 2006;
inline constexpr int kComponentObjectOrFail = 2007;
inline constexpr int kFileKind = 2011;
inline constexpr int kRegisterFile = 2012;
inline constexpr int kUnregisterFile = 2013;
inline constexpr int kAllocate = 2024;
inline constexpr int kFree = 2025;
inline constexpr int kReallocate = 2026;
inline constexpr int kFatal = 2027;
inline constexpr int kEndProgram = 2028;
}  // namespace request

std::intptr_t RuntimeRequest(int code, std::intptr_t p1, std::intptr_t p2);

// The open-file table: files in registration order, each with a kind byte (1 = plain file).
// A file number is a non-zero 32-bit value unique among the open files.
namespace open_files {
inline constexpr std::uint8_t kPlainFile = 1;
// Takes ownership; returns the file's number.
std::uint32_t Register(std::unique_ptr<os::File> file, std::uint8_t kind);
// The kind byte, or -1 when the number is not in the table.
int Kind(std::uint32_t number);
os::File* Find(std::uint32_t number);
// The number of a file object in the table, or 0.
std::uint32_t NumberOf(const os::File* file);
// Hands the file back to the caller; null when the number was not in the table.
std::unique_ptr<os::File> Unregister(std::uint32_t number);
std::size_t Count();
}  // namespace open_files

}  // namespace marvane
