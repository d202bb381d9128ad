#include "runtime/commands/file/read_ahead_file.h"

#include <algorithm>
#include <cstring>

namespace marvane::commands {
namespace {

// Never a position the platform can be at, so that the next read seeks first.
constexpr std::uint64_t kUnknown = UINT64_MAX;

}  // namespace

ReadAheadFile::ReadAheadFile(std::unique_ptr<os::File> file, std::size_t block)
    : file_(std::move(file)), block_(std::max<std::size_t>(block, 1)) {
  const std::int64_t at = file_->Position();
  position_ = at > 0 ? static_cast<std::uint64_t>(at) : 0;
  platform_position_ = at >= 0 ? position_ : kUnknown;
}

bool ReadAheadFile::Fill() {
  if (!open_) return false;
  if (platform_position_ != position_) {
    if (!file_->Seek(position_)) return false;
    platform_position_ = position_;
  }
  const std::int64_t got = file_->Read(block_.data(), block_.size());
  if (got < 0) {
    block_size_ = 0;
    platform_position_ = kUnknown;
    return false;
  }
  block_start_ = position_;
  block_size_ = static_cast<std::size_t>(got);
  platform_position_ += block_size_;
  return true;
}

std::int64_t ReadAheadFile::Read(void* buffer, std::size_t size) {
  if (!open_) return -1;
  auto out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < size) {
    if (!Holds(position_)) {
      if (size - done >= block_.size()) {
        // A read of at least a block goes straight into the caller's buffer.
        if (platform_position_ != position_) {
          if (!file_->Seek(position_)) return -1;
          platform_position_ = position_;
        }
        const std::int64_t got = file_->Read(out + done, size - done);
        if (got < 0) {
          platform_position_ = kUnknown;
          return -1;
        }
        position_ += static_cast<std::uint64_t>(got);
        platform_position_ = position_;
        done += static_cast<std::size_t>(got);
        break;  // the platform fills what it can: anything less is the end of the file
      }
      if (!Fill()) return -1;
      if (!Holds(position_)) break;  // the end of the file
    }
    const std::size_t offset = static_cast<std::size_t>(position_ - block_start_);
    const std::size_t n = std::min(size - done, block_size_ - offset);
    std::memcpy(out + done, block_.data() + offset, n);
    position_ += n;
    done += n;
  }
  return static_cast<std::int64_t>(done);
}

bool ReadAheadFile::ReadInPlace(std::string_view* bytes) {
  *bytes = {};
  if (!open_) return false;
  if (!Holds(position_) && !Fill()) return false;
  if (!Holds(position_)) return true;  // the end of the file
  const std::size_t offset = static_cast<std::size_t>(position_ - block_start_);
  *bytes = std::string_view(block_.data() + offset, block_size_ - offset);
  position_ = block_start_ + block_size_;
  return true;
}

bool ReadAheadFile::Write(const void*, std::size_t) {
  return false;
}

bool ReadAheadFile::Seek(std::uint64_t position) {
  if (!open_ || position > static_cast<std::uint64_t>(INT64_MAX)) return false;
  position_ = position;
  return true;
}

std::int64_t ReadAheadFile::Position() {
  return open_ ? static_cast<std::int64_t>(position_) : -1;
}

std::int64_t ReadAheadFile::Length() {
  return file_->Length();
}

bool ReadAheadFile::Flush() {
  return file_->Flush();
}

bool ReadAheadFile::Close() {
  if (!open_) return false;
  open_ = false;
  block_size_ = 0;
  block_ = {};
  return file_->Close();
}

}  // namespace marvane::commands
