// A file system that hands every call on to another one (by default the build's own): a test
// double derives from it and overrides only the calls it changes or watches.
#pragma once

#include <memory>
#include <string_view>

#include "platform/platform.h"

namespace marvane::testing {

class ForwardingFiles : public os::FileSystem {
 public:
  explicit ForwardingFiles(os::FileSystem* base = os::DefaultServices().files) : base_(base) {}

  std::unique_ptr<os::File> Open(std::string_view path, os::Access access, os::Creation creation,
                                 os::Share share) override {
    return base_->Open(path, access, creation, share);
  }
  bool FindFirst(std::string_view pattern) override { return base_->FindFirst(pattern); }
  bool Identify(std::string_view path, os::FileIdentity* identity) override {
    return base_->Identify(path, identity);
  }
  bool Remove(std::string_view path) override { return base_->Remove(path); }
  bool Replace(std::string_view source, std::string_view target) override {
    return base_->Replace(source, target);
  }

 protected:
  os::FileSystem* base() const { return base_; }

 private:
  os::FileSystem* base_;
};

}  // namespace marvane::testing
