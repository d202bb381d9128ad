// The one interface through which the runtime reaches the operating system.
//
// Everything above this line of code speaks GBK bytes; a backend converts at its own boundary.
// Backends are chosen by the build (platform/posix + platform/headless on Linux, platform/win32 on
// Windows) and installed once at start-up; tests install doubles in their place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace marvane::os {

// A system window handle as the runtime stores it: an integer, 0 = none.
using WindowHandle = std::uintptr_t;

// The process's default heap: the runtime heap sits on it.
class Heap {
 public:
  virtual ~Heap() = default;
  // Both return null on failure; the runtime decides what failure means.
  virtual void* Allocate(std::size_t size) = 0;
  virtual void* Reallocate(void* block, std::size_t size) = 0;
  virtual void Free(void* block) = 0;
};

// Message box styles and answers keep the platform's numbering (MB_*, ID*).
struct MessageBoxRequest {
  WindowHandle owner = 0;
  std::string_view text;     // GBK
  std::string_view caption;  // GBK
  std::uint32_t style = 0;
};

// Message box styles: the icon shown beside the text (the buttons default to OK alone).
namespace message_box {
inline constexpr std::uint32_t kStopIcon = 0x10;
inline constexpr std::uint32_t kInformationIcon = 0x40;
}  // namespace message_box

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows a modal box and returns the button pressed (IDOK = 1 ...), 0 on failure.
  virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
};

class Process {
 public:
  virtual ~Process() = default;
  // Ends the process with the code. A test double may unwind instead of ending.
  [[noreturn]] virtual void Exit(int code) = 0;
  // The program file's full path, GBK; empty when it cannot be had.
  virtual std::string ProgramPath() = 0;
  virtual bool SetCurrentDirectory(std::string_view path) = 0;
  // The system's number for this process, which no other running process has.
  virtual std::uint32_t Id() = 0;
};

// Sharing values keep the runtime's numbering: what other openers may do.
enum class Share { kReadWrite = 1, kWriteOnly = 2, kReadOnly = 3, kNone = 4 };
enum class Access { kRead = 1, kWrite = 2, kReadWrite = 3 };
enum class Creation {
  kOpenExisting,  // fail when missing
  kOpenAlways,    // create when missing, keep contents
  kCreateAlways,  // create or truncate
  kCreateNew,     // create; fail when anything has the name already
};

struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t file = 0;
  std::uint64_t size = 0;
  std::int64_t change_time = 0;        // status change (ctime) in ns: tools cannot restore it
  std::int64_t modification_time = 0;  // in ns
  bool operator==(const FileIdentity&) const = default;
};

// Destroying a file closes it.
class File {
 public:
  virtual ~File() = default;
  // Reads up to size bytes; returns the count read, or -1 on failure.
  virtual std::int64_t Read(void* buffer, std::size_t size) = 0;
  // Writes all bytes or fails.
  virtual bool Write(const void* data, std::size_t size) = 0;
  virtual bool Seek(std::uint64_t position) = 0;
  virtual std::int64_t Position() = 0;  // -1 on failure
  virtual std::int64_t Length() = 0;    // -1 on failure
  // Flushes written data to the storage device.
  virtual bool Flush() = 0;
  virtual bool Close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Null on failure. Paths are GBK; "\" separates like "/" on every backend.
  virtual std::unique_ptr<File> Open(std::string_view path, Access access, Creation creation,
                                     Share share) = 0;
  // True when a search for the name finds at least one entry: a file or directory, or, with a
  // "*" or "?" in the last component, any entry matching it.
  virtual bool FindFirst(std::string_view pattern) = 0;
  virtual bool Identify(std::string_view path, FileIdentity* identity) = 0;
  virtual bool Remove(std::string_view path) = 0;
  // Replaces target by source atomically, the data written through to storage first.
  virtual bool Replace(std::string_view source, std::string_view target) = 0;
};

// Code page 936 at the boundary: used by backends and by the few runtime parts that must decode a
// file that declares another encoding.
class TextCodec {
 public:
  virtual ~TextCodec() = default;
  virtual std::u16string GbkToUtf16(std::string_view gbk) = 0;
  // Characters GBK cannot hold become "?" (the platform's default character); *lossy reports it.
  virtual std::string Utf16ToGbk(std::u16string_view utf16, bool* lossy = nullptr) = 0;
};

class WindowSystem;  // the window system grows with the window runtime

// The services the runtime uses; any may be replaced by a double.
struct Services {
  Heap* heap = nullptr;
  Dialogs* dialogs = nullptr;
  Process* process = nullptr;
  FileSystem* files = nullptr;
  TextCodec* codec = nullptr;
  WindowSystem* windows = nullptr;
};

// The services in force. Starts as the build's default backend.
Services& Current();

// The build's own backend (defined by exactly one backend library).
Services DefaultServices();

// Installs services for the lifetime of the object, restoring the previous ones after it.
class ScopedServices {
 public:
  explicit ScopedServices(const Services& services) : saved_(Current()) { Current() = services; }
  ~ScopedServices() { Current() = saved_; }
  ScopedServices(const ScopedServices&) = delete;
  ScopedServices& operator=(const ScopedServices&) = delete;

 private:
  Services saved_;
};

}  // namespace marvane::os
