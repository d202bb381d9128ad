#include "runtime/commands/file/read_ahead_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

namespace marvane::commands {
namespace {

// A file in memory that counts what the platform is asked, and can be told to fail its reads.
class MemoryFile final : public os::File {
 public:
  explicit MemoryFile(std::string bytes) : bytes_(std::move(bytes)) {}

  std::int64_t Read(void* buffer, std::size_t size) override {
    ++reads;
    if (fail_reads) return -1;
    const std::size_t at = std::min<std::uint64_t>(position_, bytes_.size());
    const std::size_t n = std::min(size, bytes_.size() - at);
    std::memcpy(buffer, bytes_.data() + at, n);
    position_ += n;
    return static_cast<std::int64_t>(n);
  }
  bool Write(const void*, std::size_t) override { return true; }
  bool Seek(std::uint64_t position) override {
    ++seeks;
    position_ = position;
    return true;
  }
  std::int64_t Position() override { return static_cast<std::int64_t>(position_); }
  std::int64_t Length() override { return static_cast<std::int64_t>(bytes_.size()); }
  bool Flush() override { return true; }
  bool Close() override { return true; }

  int reads = 0;
  int seeks = 0;
  bool fail_reads = false;

 private:
  std::string bytes_;
  std::uint64_t position_ = 0;
};

std::string Sample(std::size_t n) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i)
    s[i] = static_cast<char>('a' + (i * 7) % 26);
  return s;
}

// Whatever the block size, random seeks, reads and reads in place give the file's own bytes at
// the position that a plain file would be at.
TEST(ReadAheadFile, GivesTheBytesOfAPlainFileAtEveryPosition) {
  const std::string bytes = Sample(1000);
  for (std::size_t block : {1u, 3u, 7u, 64u, 999u, 1000u, 4096u}) {
    SCOPED_TRACE(block);
    auto owned = std::make_unique<MemoryFile>(bytes);
    ReadAheadFile file(std::move(owned), block);
    std::mt19937 random(static_cast<unsigned>(block));
    std::uint64_t expected = 0;
    for (int step = 0; step < 2000; ++step) {
      switch (random() % 4) {
        case 0: {
          expected = random() % 1100;  // also beyond the end
          ASSERT_TRUE(file.Seek(expected));
          break;
        }
        case 1: {
          const std::size_t size = random() % 300;
          std::string got(size, '?');
          const std::int64_t n = file.Read(got.data(), size);
          const std::size_t available =
              expected < bytes.size() ? bytes.size() - static_cast<std::size_t>(expected) : 0;
          ASSERT_EQ(n, static_cast<std::int64_t>(std::min(size, available)));
          ASSERT_EQ(got.substr(0, static_cast<std::size_t>(n)),
                    bytes.substr(std::min<std::size_t>(expected, bytes.size()),
                                 static_cast<std::size_t>(n)));
          expected += static_cast<std::uint64_t>(n);
          break;
        }
        case 2: {
          std::string_view view;
          ASSERT_TRUE(file.ReadInPlace(&view));
          if (expected >= bytes.size()) {
            ASSERT_TRUE(view.empty());
          } else {
            ASSERT_FALSE(view.empty());
            ASSERT_LE(view.size(), block);
            ASSERT_EQ(view, std::string_view(bytes).substr(expected, view.size()));
          }
          expected += view.size();
          break;
        }
        default:
          ASSERT_EQ(file.Position(), static_cast<std::int64_t>(expected));
      }
    }
  }
}

// Small reads and moves within a block stay in memory; the platform is asked once a block.
TEST(ReadAheadFile, AsksThePlatformOnceABlock) {
  struct Case {
    const char* name;
    std::size_t file_size;
    std::size_t block;
    int expected_reads;  // the last read finds the end
  };
  const Case cases[] = {
      {"one block", 100, 4096, 2},
      {"exact blocks", 4096, 1024, 5},
      {"partial last block", 4097, 1024, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto owned = std::make_unique<MemoryFile>(Sample(c.file_size));
    MemoryFile* platform = owned.get();
    ReadAheadFile file(std::move(owned), c.block);
    std::size_t total = 0;
    for (;;) {
      // Reads a byte, steps back over it and reads it again, as the end test does.
      const std::int64_t at = file.Position();
      char byte = 0;
      if (file.Read(&byte, 1) != 1) break;
      ASSERT_TRUE(file.Seek(static_cast<std::uint64_t>(at)));
      ASSERT_EQ(file.Read(&byte, 1), 1);
      ++total;
    }
    EXPECT_EQ(total, c.file_size);
    EXPECT_EQ(platform->reads, c.expected_reads);
    EXPECT_EQ(platform->seeks, 0);  // the reads were sequential
  }
}

TEST(ReadAheadFile, LargeReadsGoStraightThrough) {
  auto owned = std::make_unique<MemoryFile>(Sample(10000));
  MemoryFile* platform = owned.get();
  ReadAheadFile file(std::move(owned), 64);
  std::string got(5000, '\0');
  ASSERT_EQ(file.Read(got.data(), got.size()), 5000);
  EXPECT_EQ(got, Sample(10000).substr(0, 5000));
  EXPECT_EQ(platform->reads, 1);
  EXPECT_EQ(file.Position(), 5000);
}

TEST(ReadAheadFile, FailuresAndClosing) {
  auto owned = std::make_unique<MemoryFile>(Sample(100));
  MemoryFile* platform = owned.get();
  ReadAheadFile file(std::move(owned), 16);
  char byte = 0;
  ASSERT_EQ(file.Read(&byte, 1), 1);
  EXPECT_FALSE(file.Write("x", 1));  // the file is open for reading only

  ASSERT_TRUE(file.Seek(50));
  platform->fail_reads = true;
  std::string_view view;
  EXPECT_EQ(file.Read(&byte, 1), -1);
  EXPECT_FALSE(file.ReadInPlace(&view));
  // After a failure the platform's position is not trusted: the next read seeks first.
  platform->fail_reads = false;
  const int seeks = platform->seeks;
  ASSERT_EQ(file.Read(&byte, 1), 1);
  EXPECT_EQ(byte, Sample(100)[50]);
  EXPECT_EQ(platform->seeks, seeks + 1);

  EXPECT_EQ(file.Length(), 100);
  EXPECT_TRUE(file.Close());
  EXPECT_FALSE(file.Close());
  EXPECT_EQ(file.Position(), -1);
  EXPECT_EQ(file.Read(&byte, 1), -1);
  EXPECT_FALSE(file.Seek(0));
  EXPECT_FALSE(file.ReadInPlace(&view));
}

}  // namespace
}  // namespace marvane::commands
