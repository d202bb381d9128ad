// Whole-file commands: read a file at once, test for a name, write a file from byte sets.
#include <atomic>
#include <cstring>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "runtime/commands/file/file_commands.h"

namespace marvane::commands {
namespace {

// Names a save tries for its temporary file before it gives up.
constexpr int kTemporaryNames = 8;

// Frees a block unless it has been handed on.
struct BlockGuard {
  void* block = nullptr;
  ~BlockGuard() { Free(block); }
};

}  // namespace

void* ReadWholeFileUpTo(const char* name, std::uint64_t limit) {
  os::FileSystem* files = os::Current().files;
  if (!files || !*name) return nullptr;
  std::unique_ptr<os::File> file =
      files->Open(name, os::Access::kRead, os::Creation::kOpenExisting, os::Share::kReadOnly);
  if (!file) return nullptr;
  const std::int64_t length = file->Length();
  if (length < 1 || static_cast<std::uint64_t>(length) > limit ||
      static_cast<std::uint64_t>(length) > UINT32_MAX) {
    return nullptr;
  }
  // Read straight into the ByteSet block: 8 header bytes, then the data.
  const auto size = static_cast<std::size_t>(length);
  BlockGuard set{Allocate(size + 8)};
  auto data = static_cast<unsigned char*>(set.block) + 8;
  const std::int64_t got = file->Read(data, size);
  if (got < 0 || !file->Close()) return nullptr;
  if (got == 0) return nullptr;
  // A file that shrank while being read keeps the bytes that did arrive.
  const std::uint32_t header[2] = {1, static_cast<std::uint32_t>(got)};
  std::memcpy(set.block, header, sizeof header);
  if (static_cast<std::size_t>(got) < size) {
    set.block = Reallocate(set.block, static_cast<std::size_t>(got) + 8);
  }
  void* block = set.block;
  set.block = nullptr;
  return block;
}

void ReadWholeFile(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  *result = PointerValue(ReadWholeFileUpTo(TextOf(Arg(argc, args, 0)), kReadLimit), type::kByteSet);
}

void FileExists(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  const char* name = TextOf(Arg(argc, args, 0));
  os::FileSystem* files = os::Current().files;
  *result = BoolValue(files && *name && files->FindFirst(name));
}

// The bytes go to a temporary file beside the target, which replaces the target only once all of
// them are written and on storage: a save that fails part-way (a full disk, say) keeps the
// previous file whole instead of leaving half a list for the gateway to import.
void WriteToFile(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  *result = BoolValue(false);
  const char* name = TextOf(Arg(argc, args, 0));
  os::FileSystem* files = os::Current().files;
  if (!files || !*name) return;
  // Anything but byte sets is refused before the file is touched.
  for (std::int32_t i = 1; i < argc; ++i) {
    if (args[i].type != type::kByteSet) return;
  }
  // An existing target is replaced only where it could have been written in place: not while
  // another opener holds it (the test opening asks for exclusive sharing), not when it is
  // read-only, not when it is no file (a directory). The test opening writes nothing and is closed
  // at once, so that it does not hold up the replacing itself.
  os::FileIdentity existing;
  if (files->Identify(name, &existing) &&
      !files->Open(name, os::Access::kWrite, os::Creation::kOpenExisting, os::Share::kNone)) {
    return;
  }
  // The temporary file is this save's alone: named with the process and a count, and created only
  // where nothing has that name yet. A file or folder left by a run that crashed, or another
  // save's file, neither stops the save nor is taken over or removed by it.
  static std::atomic<std::uint32_t> count{0};
  os::Process* process = os::Current().process;
  const std::string stem =
      std::string(name) + "." + std::to_string(process ? process->Id() : 0) + ".";
  std::string temporary;
  std::unique_ptr<os::File> file;
  for (int i = 0; i < kTemporaryNames && !file; ++i) {
    temporary = stem + std::to_string(++count) + kSaveSuffix;
    file = files->Open(temporary, os::Access::kWrite, os::Creation::kCreateNew, os::Share::kNone);
  }
  if (!file) return;  // nothing was created
  bool written = true;
  for (std::int32_t i = 1; i < argc && written; ++i) {
    std::string_view bytes = ByteSetView(PointerOf(args[i]));
    written = bytes.empty() || file->Write(bytes.data(), bytes.size());
  }
  written = written && file->Flush();
  written = file->Close() && written;
  file.reset();
  written = written && files->Replace(temporary, name);
  if (!written) files->Remove(temporary);
  *result = BoolValue(written);
}

}  // namespace marvane::commands
