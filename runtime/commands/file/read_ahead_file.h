// A file opened for reading only, read from the platform a block at a time.
//
// The line and end-of-file commands ask for a few bytes at a time and move back and forth within
// a line; against the platform each of those is a call that costs far more than the bytes. Here
// they are answered from the block in memory, and the platform is asked again only when the
// position leaves the block. Bytes already in the block are not read again: a change that
// another program makes to them meanwhile is seen once the position has left the block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace marvane::commands {

class ReadAheadFile final : public os::File {
 public:
  static constexpr std::size_t kDefaultBlock = 64 * 1024;

  explicit ReadAheadFile(std::unique_ptr<os::File> file, std::size_t block = kDefaultBlock);

  // Fills the buffer unless the end of the file comes first; -1 when the platform fails.
  std::int64_t Read(void* buffer, std::size_t size) override;
  // Refused: the file is open for reading only.
  bool Write(const void* data, std::size_t size) override;
  // Only moves the position; the platform is told when bytes are next needed from it.
  bool Seek(std::uint64_t position) override;
  std::int64_t Position() override;
  std::int64_t Length() override;
  bool Flush() override;
  bool Close() override;

  // The bytes from the position up to the end of the block (reading the next block first when
  // the position lies outside it), with the position moved past them: a read without a copy.
  // Empty at the end of the file; false when the platform fails.
  bool ReadInPlace(std::string_view* bytes);

 private:
  // Makes the block hold the bytes at position_; false when the platform fails.
  bool Fill();
  bool Holds(std::uint64_t position) const {
    return position >= block_start_ && position - block_start_ < block_size_;
  }

  std::unique_ptr<os::File> file_;
  std::vector<char> block_;
  std::uint64_t block_start_ = 0;
  std::size_t block_size_ = 0;
  std::uint64_t position_ = 0;
  std::uint64_t platform_position_ = 0;  // where the platform's own position is
  bool open_ = true;
};

}  // namespace marvane::commands
