// File, profile and dialog commands. All follow the command form; every Text or ByteSet they
// return is new and belongs to the caller, and every failure is a result (0, false, null).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "runtime/values/command.h"
#include "runtime/values/values.h"

namespace marvane::commands {

// (file name) -> ByteSet: the whole file; null on failure, for an empty or an oversized file.
void ReadWholeFile(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (file name or pattern) -> bool: a file, a directory or, with a wildcard, any matching entry.
void FileExists(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (file name, mode? = 3, sharing? = 1) -> integer file number, 0 on failure.
void OpenFile(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (file number) -> Text: the next line without its terminator.
void ReadLine(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (file number, stop at NUL or 0x1A?) -> bool.
void IsEndOfFile(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (file number) -> nothing.
void CloseFile(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (file name, ByteSet...) -> bool: true when all data was written. The file is replaced whole or
// not at all: the data goes first to a new file beside it, "<name>.<process id>.<count>" plus
// kSaveSuffix, which takes the name's place at the end and is removed on any failure.
void WriteToFile(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (file name, section, key, default? = "") -> Text.
void ReadProfileItem(ValueRecord* result, std::int32_t argc, ValueRecord* args);

// While one lives, ReadProfileItem answers for the file from a single reading of it: a run of
// lookups in one list sees one state of the file and costs one look at the file system in all.
class ProfileFileHold {
 public:
  explicit ProfileFileHold(const char* file_name);
  ~ProfileFileHold();
  ProfileFileHold(const ProfileFileHold&) = delete;
  ProfileFileHold& operator=(const ProfileFileHold&) = delete;

 private:
  std::string name_;
};

// () -> Text: the program's directory.
void GetRunDirectory(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (message, style? = 0, caption? = "信息：", owner?) -> integer 0 to 6: the button pressed.
void ShowMessageBox(ValueRecord* result, std::int32_t argc, ValueRecord* args);

// Files larger than this are not read whole: the program refuses them instead of failing for
// want of memory. Lines longer than this end the reading of their file the same way.
inline constexpr std::uint64_t kReadLimit = std::uint64_t{256} << 20;

inline constexpr char kSaveSuffix[] = ".saving";

// The work of ReadWholeFile and ReadLine with the limit given, so that it can be tried small.
// With `first` given, ReadLine keeps only a line that starts with that byte: any other line is
// passed over (the file moves on just the same) and gives null, with no text made of it.
void* ReadWholeFileUpTo(const char* name, std::uint64_t limit);
Text ReadLineUpTo(std::uint32_t number, std::uint64_t limit,
                  std::optional<char> first = std::nullopt);

}  // namespace marvane::commands
