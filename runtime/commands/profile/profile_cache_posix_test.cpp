// The cache on real files through the POSIX backend: a rewrite that restores the old modification
// time is still seen.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/posix/file_system.h"
#include "runtime/commands/profile/profile_cache.h"
#include "tests/support/forwarding_files.h"

namespace marvane::profile {
namespace {

std::int64_t Nanoseconds(const timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// The POSIX backend, counting the opens.
class CountingFiles : public testing::ForwardingFiles {
 public:
  CountingFiles() : ForwardingFiles(&files_) {}
  int opens = 0;

  std::unique_ptr<os::File> Open(std::string_view path, os::Access access, os::Creation creation,
                                 os::Share share) override {
    auto file = ForwardingFiles::Open(path, access, creation, share);
    if (file) ++opens;
    return file;
  }

 private:
  os::posix::PosixFileSystem files_;
};

class NoCodec : public os::TextCodec {
 public:
  std::u16string GbkToUtf16(std::string_view) override { return {}; }
  std::string Utf16ToGbk(std::u16string_view, bool*) override { return {}; }
};

void WriteInPlace(const std::string& path, const std::string& bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ASSERT_EQ(::close(fd), 0);
}

TEST(ProfileCacheOnDisk, SeesARewriteWithTheOldModificationTime) {
  char dir_template[] = "/tmp/profile_cache_XXXXXX";
  ASSERT_NE(::mkdtemp(dir_template), nullptr);
  const std::string path = std::string(dir_template) + "/list.ini";
  WriteInPlace(path, "[A]\nName=old\n");
  struct stat first;
  ASSERT_EQ(::stat(path.c_str(), &first), 0);

  CountingFiles files;
  NoCodec codec;
  // Every file counts as settled here, so only the identity can force a second read.
  ProfileCache cache(files, codec, 4, [] { return INT64_MAX; });
  auto read = [&] {
    auto index = cache.Get(path);
    auto v = index ? index->Find("A", "Name") : std::nullopt;
    return v ? std::string(*v) : std::string("<none>");
  };
  EXPECT_EQ(read(), "old");
  EXPECT_EQ(read(), "old");
  EXPECT_EQ(files.opens, 1);

  // Let the clock that stamps the change time move on, then rewrite in place, same size, and put
  // the old modification time back.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  WriteInPlace(path, "[A]\nName=new\n");
  const timespec times[2] = {first.st_atim, first.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  struct stat second;
  ASSERT_EQ(::stat(path.c_str(), &second), 0);
  ASSERT_EQ(Nanoseconds(second.st_mtim), Nanoseconds(first.st_mtim));
  ASSERT_EQ(second.st_size, first.st_size);
  ASSERT_EQ(second.st_ino, first.st_ino);

  EXPECT_EQ(read(), "new");
  EXPECT_EQ(files.opens, 2);

  ::unlink(path.c_str());
  ::rmdir(dir_template);
}

}  // namespace
}  // namespace marvane::profile
