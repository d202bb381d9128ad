// ReadProfileItem: one key of an INI-style profile file, through the program's own profile
// reader, which keeps an index of recently read files so that a run of lookups costs one parse.
#include <memory>
#include <string_view>

#include "platform/gbk_bytes.h"
#include "platform/platform.h"
#include "runtime/commands/file/file_commands.h"
#include "runtime/commands/profile/profile_cache.h"

namespace marvane::commands {
namespace {

// Leading bytes 0x01 to 0x20 are not part of a name; trailing ones are.
const char* SkipLeadingBlanks(const char* p) {
  while (static_cast<unsigned char>(*p) >= 0x01 && static_cast<unsigned char>(*p) <= 0x20)
    ++p;
  return p;
}

// The cache reaches the file system and the codec in force at each call, so services installed
// later (a test's doubles) are used and none is held after it is gone.
class CurrentFiles final : public os::FileSystem {
 public:
  std::unique_ptr<os::File> Open(std::string_view path, os::Access access, os::Creation creation,
                                 os::Share share) override {
    os::FileSystem* files = os::Current().files;
    return files ? files->Open(path, access, creation, share) : nullptr;
  }
  bool FindFirst(std::string_view pattern) override {
    os::FileSystem* files = os::Current().files;
    return files && files->FindFirst(pattern);
  }
  bool Identify(std::string_view path, os::FileIdentity* identity) override {
    os::FileSystem* files = os::Current().files;
    return files && files->Identify(path, identity);
  }
  bool Remove(std::string_view path) override {
    os::FileSystem* files = os::Current().files;
    return files && files->Remove(path);
  }
  bool Replace(std::string_view source, std::string_view target) override {
    os::FileSystem* files = os::Current().files;
    return files && files->Replace(source, target);
  }
};

class CurrentCodec final : public os::TextCodec {
 public:
  std::u16string GbkToUtf16(std::string_view gbk) override {
    os::TextCodec* codec = os::Current().codec;
    return codec ? codec->GbkToUtf16(gbk) : std::u16string();
  }
  std::string Utf16ToGbk(std::u16string_view utf16, bool* lossy) override {
    os::TextCodec* codec = os::Current().codec;
    return codec ? codec->Utf16ToGbk(utf16, lossy) : std::string();
  }
};

profile::ProfileCache& Cache() {
  static CurrentFiles files;
  static CurrentCodec codec;
  static profile::ProfileCache cache(files, codec);
  return cache;
}

// The default as the value buffer holds it: at most the longest value, no double-byte character
// cut in two, trailing blanks removed.
std::string_view BufferedDefault(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size()) {
    auto c = static_cast<unsigned char>(text[end]);
    std::size_t step = (gbk::IsLeadByte(c) && end + 1 < text.size()) ? 2 : 1;
    if (end + step > profile::ProfileIndex::kValueLimit) break;
    end += step;
  }
  while (end > 0 && text[end - 1] == ' ')
    --end;
  return text.substr(0, end);
}

}  // namespace

ProfileFileHold::ProfileFileHold(const char* file_name)
    : name_(SkipLeadingBlanks(file_name ? file_name : "")) {
  if (!name_.empty()) Cache().Hold(name_);
}

ProfileFileHold::~ProfileFileHold() {
  if (!name_.empty()) Cache().Release(name_);
}

void ReadProfileItem(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  const char* name = SkipLeadingBlanks(TextOf(Arg(argc, args, 0)));
  const char* section = SkipLeadingBlanks(TextOf(Arg(argc, args, 1)));
  const char* key = SkipLeadingBlanks(TextOf(Arg(argc, args, 2)));
  const ValueRecord& fallback = Arg(argc, args, 3);
  if (!*name || !*section || !*key) return;
  std::string_view value = BufferedDefault(IsOmitted(fallback) ? "" : TextOf(fallback));
  std::shared_ptr<const profile::ProfileIndex> index = Cache().Get(name);
  if (index) {
    if (auto found = index->Find(section, key)) value = *found;
  }
  *result = PointerValue(MakeText(value), type::kText);
}

}  // namespace marvane::commands
