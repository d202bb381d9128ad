// A file system over the build's own that fails one chosen step of writing a file, to drive the
// failure paths of saving without a broken disk. It also records the steps that writing took.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "tests/support/forwarding_files.h"

namespace marvane::testing {

class FailingFiles final : public ForwardingFiles {
 public:
  enum class Fault {
    kNone,
    kCreate,   // opening a file for writing fails, as in a read-only directory
    kWrite,    // half the bytes arrive, then the device is full
    kFlush,    // the data cannot be brought to storage
    kClose,    // closing reports a late write error
    kReplace,  // the finished file cannot take the target's place
  };

  explicit FailingFiles(Fault fault, os::FileSystem* base = os::DefaultServices().files)
      : ForwardingFiles(base), fault_(fault) {}

  // What happened, in order: "open <path>", "write", "flush", "close", "replace <from> <to>",
  // "remove <path>". Opens for reading are not recorded.
  const std::vector<std::string>& steps() const { return steps_; }

  std::unique_ptr<os::File> Open(std::string_view path, os::Access access, os::Creation creation,
                                 os::Share share) override {
    const bool writing = access != os::Access::kRead;
    if (writing) steps_.push_back("open " + std::string(path));
    if (writing && fault_ == Fault::kCreate) return nullptr;
    std::unique_ptr<os::File> file = base()->Open(path, access, creation, share);
    if (!file || !writing) return file;
    return std::make_unique<Writer>(std::move(file), this);
  }
  bool Remove(std::string_view path) override {
    steps_.push_back("remove " + std::string(path));
    return base()->Remove(path);
  }
  bool Replace(std::string_view source, std::string_view target) override {
    steps_.push_back("replace " + std::string(source) + " " + std::string(target));
    return fault_ != Fault::kReplace && base()->Replace(source, target);
  }

 private:
  class Writer final : public os::File {
   public:
    Writer(std::unique_ptr<os::File> file, FailingFiles* owner)
        : file_(std::move(file)), owner_(owner) {}
    std::int64_t Read(void* buffer, std::size_t size) override { return file_->Read(buffer, size); }
    bool Write(const void* data, std::size_t size) override {
      owner_->steps_.push_back("write");
      if (owner_->fault_ != Fault::kWrite) return file_->Write(data, size);
      file_->Write(data, size / 2);
      return false;
    }
    bool Seek(std::uint64_t position) override { return file_->Seek(position); }
    std::int64_t Position() override { return file_->Position(); }
    std::int64_t Length() override { return file_->Length(); }
    bool Flush() override {
      owner_->steps_.push_back("flush");
      return owner_->fault_ != Fault::kFlush && file_->Flush();
    }
    bool Close() override {
      owner_->steps_.push_back("close");
      const bool closed = file_->Close();
      return owner_->fault_ != Fault::kClose && closed;
    }

   private:
    std::unique_ptr<os::File> file_;
    FailingFiles* owner_;
  };

  Fault fault_;
  std::vector<std::string> steps_;
};

}  // namespace marvane::testing
