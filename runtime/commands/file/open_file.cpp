// Files held open between commands: opened into the core's open-file table, tested for their end
// and closed by number.
#include <memory>

#include "platform/platform.h"
#include "runtime/commands/file/file_commands.h"
#include "runtime/commands/file/read_ahead_file.h"
#include "runtime/values/core.h"

namespace marvane::commands {
namespace {

struct ModeRule {
  os::Access access;
  os::Creation creation;
};

// Modes 1 to 6.
constexpr ModeRule kModes[] = {
    {os::Access::kRead, os::Creation::kOpenExisting},
    {os::Access::kWrite, os::Creation::kOpenExisting},
    {os::Access::kReadWrite, os::Creation::kOpenExisting},
    {os::Access::kWrite, os::Creation::kCreateAlways},
    {os::Access::kWrite, os::Creation::kOpenAlways},
    {os::Access::kReadWrite, os::Creation::kOpenAlways},
};

bool AtEnd(std::uint32_t number, bool stop_at_terminator) {
  os::File* file = open_files::Find(number);
  if (!file) return true;
  const std::int64_t at = file->Position();
  if (at < 0) return true;
  if (!stop_at_terminator) {
    const std::int64_t length = file->Length();
    return length < 0 || at >= length;
  }
  // The next byte answers both questions, whether there is one and what it is, without asking
  // the platform for the length once a line.
  unsigned char next = 0;
  const bool text_follows = file->Read(&next, 1) == 1 && next != 0x00 && next != 0x1A;
  if (!file->Seek(static_cast<std::uint64_t>(at))) return true;
  return !text_follows;
}

}  // namespace

void OpenFile(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  *result = IntValue(0);
  const char* name = TextOf(Arg(argc, args, 0));
  const ValueRecord& mode_arg = Arg(argc, args, 1);
  const ValueRecord& sharing_arg = Arg(argc, args, 2);
  const std::int32_t mode = IsOmitted(mode_arg) ? 3 : IntOf(mode_arg);
  const std::int32_t sharing = IsOmitted(sharing_arg) ? 1 : IntOf(sharing_arg);
  os::FileSystem* files = os::Current().files;
  if (!files || !*name || mode < 1 || mode > 6 || sharing < 1 || sharing > 4) return;
  const ModeRule& rule = kModes[mode - 1];
  std::unique_ptr<os::File> file =
      files->Open(name, rule.access, rule.creation, static_cast<os::Share>(sharing));
  if (!file) return;
  // A file that is only read is read a block at a time: line reading asks for little at once.
  if (rule.access == os::Access::kRead) file = std::make_unique<ReadAheadFile>(std::move(file));
  *result = IntValue(
      static_cast<std::int32_t>(open_files::Register(std::move(file), open_files::kPlainFile)));
}

void IsEndOfFile(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  const auto number = static_cast<std::uint32_t>(IntOf(Arg(argc, args, 0)));
  const ValueRecord& stop = Arg(argc, args, 1);
  *result = BoolValue(AtEnd(number, !IsOmitted(stop) && stop.low == 1));
}

void CloseFile(ValueRecord*, std::int32_t argc, ValueRecord* args) {
  const auto number = static_cast<std::uint32_t>(IntOf(Arg(argc, args, 0)));
  std::unique_ptr<os::File> file = open_files::Unregister(number);
  if (file) file->Close();  // a failure to close is of no use to the caller
}

}  // namespace marvane::commands
