// Reads a profile file once and answers later lookups of the same, unchanged file from its index:
// reading the keys of n sections one by one then costs O(n), not n parses of the file.
//
// A cached index is used only while the file's identity (device, file number, size, change time
// and modification time) is what it was when the file was read. The change time matters because
// tools can restore a modification time but not a change time. A file changed within the same
// clock tick as the read could still show the old identity, so a file whose times are that recent
// is read afresh each time until it has aged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "runtime/commands/profile/profile_reader.h"

namespace marvane::profile {

class ProfileCache {
 public:
  // Files larger than this are taken as unreadable: no profile is that large.
  static constexpr std::uint64_t kMaxFileBytes = 256u << 20;
  // How old a file's times must be before its index is kept.
  static constexpr std::int64_t kSettleNanoseconds = 2'000'000'000;
  // Now, in the time base of os::FileIdentity (nanoseconds since 1970).
  using Clock = std::function<std::int64_t()>;

  ProfileCache(os::FileSystem& files, os::TextCodec& codec, std::size_t capacity = 4,
               Clock clock = SystemClock);

  // The file's index; null when it cannot be identified, opened or read.
  std::shared_ptr<const ProfileIndex> Get(std::string_view path);

  // While a file is held, Get answers for it with the index found when the hold began and asks
  // the file system nothing: a run of lookups reads one state of the file and costs one look at
  // it, however fresh the file is. Holds of a path nest; each Hold needs its Release. The last
  // Release lets the file's index go, whether it was read for the hold or found in the cache.
  void Hold(std::string_view path);
  void Release(std::string_view path);

  static std::int64_t SystemClock();

 private:
  struct Entry {
    std::string path;
    os::FileIdentity identity;
    std::shared_ptr<const ProfileIndex> index;
  };

  struct Held {
    std::string path;
    std::shared_ptr<const ProfileIndex> index;
    int count;
  };

  std::shared_ptr<const ProfileIndex> Look(std::string_view path);
  bool ReadFile(std::string_view path, std::string* bytes);
  bool Settled(const os::FileIdentity& identity) const;

  os::FileSystem& files_;
  os::TextCodec& codec_;
  std::size_t capacity_;
  Clock clock_;
  std::list<Entry> entries_;  // most recently used first
  std::vector<Held> held_;
};

}  // namespace marvane::profile
