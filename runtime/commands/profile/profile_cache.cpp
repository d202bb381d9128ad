#include "runtime/commands/profile/profile_cache.h"

#include <algorithm>
#include <chrono>

namespace marvane::profile {

ProfileCache::ProfileCache(os::FileSystem& files, os::TextCodec& codec, std::size_t capacity,
                           Clock clock)
    : files_(files), codec_(codec), capacity_(capacity), clock_(std::move(clock)) {}

std::int64_t ProfileCache::SystemClock() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::shared_ptr<const ProfileIndex> ProfileCache::Get(std::string_view path) {
  for (const Held& h : held_) {
    if (h.path == path) return h.index;
  }
  return Look(path);
}

void ProfileCache::Hold(std::string_view path) {
  for (Held& h : held_) {
    if (h.path == path) {
      ++h.count;
      return;
    }
  }
  held_.push_back({std::string(path), Look(path), 1});
}

void ProfileCache::Release(std::string_view path) {
  auto it = std::find_if(held_.begin(), held_.end(), [&](const Held& h) { return h.path == path; });
  if (it == held_.end() || --it->count > 0) return;
  held_.erase(it);
  // Its run of lookups is over: a converted list of a million clients is not kept in memory.
  entries_.remove_if([&](const Entry& e) { return e.path == path; });
}

std::shared_ptr<const ProfileIndex> ProfileCache::Look(std::string_view path) {
  os::FileIdentity before;
  if (!files_.Identify(path, &before)) return nullptr;
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const Entry& e) { return e.path == path; });
  if (it != entries_.end()) {
    if (it->identity == before) {
      entries_.splice(entries_.begin(), entries_, it);
      return it->index;
    }
    entries_.erase(it);
  }

  std::string bytes;
  if (!ReadFile(path, &bytes)) return nullptr;
  auto index =
      std::make_shared<const ProfileIndex>(ProfileIndex::FromFileBytes(std::move(bytes), codec_));
  os::FileIdentity after;
  // Keep the index only when nothing can have changed the file while it was read, or can change
  // it unseen later in the same clock tick.
  if (capacity_ > 0 && files_.Identify(path, &after) && after == before && Settled(after)) {
    entries_.push_front({std::string(path), after, index});
    if (entries_.size() > capacity_) entries_.pop_back();
  }
  return index;
}

bool ProfileCache::ReadFile(std::string_view path, std::string* bytes) {
  auto file =
      files_.Open(path, os::Access::kRead, os::Creation::kOpenExisting, os::Share::kReadWrite);
  if (!file) return false;
  // The length as it is now goes in at once, with no copy on the way; whatever the file has
  // grown by meanwhile follows in chunks.
  const std::int64_t length = file->Length();
  if (length > static_cast<std::int64_t>(kMaxFileBytes)) return false;
  bool ok = true;
  if (length > 0) {
    bytes->resize(static_cast<std::size_t>(length));
    const std::int64_t n = file->Read(bytes->data(), bytes->size());
    ok = n >= 0;
    bytes->resize(ok ? static_cast<std::size_t>(n) : 0);
  }
  char chunk[64 * 1024];
  while (ok) {
    std::int64_t n = file->Read(chunk, sizeof chunk);
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    if (bytes->size() + static_cast<std::uint64_t>(n) > kMaxFileBytes) {
      ok = false;
      break;
    }
    bytes->append(chunk, static_cast<std::size_t>(n));
  }
  file->Close();
  return ok;
}

bool ProfileCache::Settled(const os::FileIdentity& identity) const {
  std::int64_t newest = std::max(identity.change_time, identity.modification_time);
  return newest < clock_() - kSettleNanoseconds;
}

}  // namespace marvane::profile
