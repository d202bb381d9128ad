// A file system of in-memory files for tests that load documents by path: installed over the
// fixture's services for the lifetime of the object.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace marvane::xml::testing {

class InMemoryFiles final : public os::FileSystem {
 public:
  InMemoryFiles() : scope_(WithFiles(this)) {}

  void Add(const std::string& path, std::string bytes) { files_[path] = std::move(bytes); }
  // Reads of this file fail once this many bytes were handed out.
  void FailReadsAfter(const std::string& path, std::size_t bytes) { fail_after_[path] = bytes; }
  int opens() const { return opens_; }

  std::unique_ptr<os::File> Open(std::string_view path, os::Access access, os::Creation creation,
                                 os::Share) override {
    auto it = files_.find(std::string(path));
    if (it == files_.end() || access != os::Access::kRead ||
        creation != os::Creation::kOpenExisting) {
      return nullptr;
    }
    ++opens_;
    auto limit = fail_after_.find(it->first);
    return std::make_unique<Reader>(it->second,
                                    limit == fail_after_.end() ? std::string::npos : limit->second);
  }
  bool FindFirst(std::string_view) override { return false; }
  bool Identify(std::string_view, os::FileIdentity*) override { return false; }
  bool Remove(std::string_view) override { return false; }
  bool Replace(std::string_view, std::string_view) override { return false; }

 private:
  // Hands out at most 7 bytes a read, so callers must loop.
  class Reader final : public os::File {
   public:
    Reader(const std::string& bytes, std::size_t fail_after)
        : bytes_(bytes), fail_after_(fail_after) {}
    std::int64_t Read(void* buffer, std::size_t size) override {
      if (position_ >= fail_after_) return -1;
      std::size_t n = std::min({size, std::size_t{7}, bytes_.size() - position_});
      std::memcpy(buffer, bytes_.data() + position_, n);
      position_ += n;
      return static_cast<std::int64_t>(n);
    }
    bool Write(const void*, std::size_t) override { return false; }
    bool Seek(std::uint64_t) override { return false; }
    std::int64_t Position() override { return static_cast<std::int64_t>(position_); }
    std::int64_t Length() override { return static_cast<std::int64_t>(bytes_.size()); }
    bool Flush() override { return false; }
    bool Close() override { return true; }

   private:
    const std::string& bytes_;
    std::size_t fail_after_;
    std::size_t position_ = 0;
  };

  static os::Services WithFiles(os::FileSystem* files) {
    os::Services services = os::Current();
    services.files = files;
    return services;
  }

  std::map<std::string, std::string> files_;
  std::map<std::string, std::size_t> fail_after_;
  int opens_ = 0;
  os::ScopedServices scope_;
};

}  // namespace marvane::xml::testing
