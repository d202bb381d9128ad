// Saving on real POSIX file systems that refuse the write: a full disk and a read-only directory
// (small file systems mounted for the test; skipped where mounting is not allowed), and a target
// that another process holds.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "platform/posix/file_system.h"
#include "runtime/commands/file/file_test_fixture.h"

namespace marvane::commands {
namespace {

using testing::TempDirectory;

// A tmpfs of the given size on a fresh directory, unmounted at the end.
class ScratchMount {
 public:
  explicit ScratchMount(const std::string& size) {
    mounted_ = ::mount("tmpfs", dir_.path().c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
  }
  ~ScratchMount() {
    if (mounted_) ::umount2(dir_.path().c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  bool MakeReadOnly() {
    return ::mount(nullptr, dir_.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }
  const TempDirectory& dir() const { return dir_; }

 private:
  TempDirectory dir_;
  bool mounted_ = false;
};

std::set<std::string> Names(const std::string& directory) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory))
    names.insert(entry.path().filename().string());
  return names;
}

class SafeSavePosixTest : public FileCommandTest {
 protected:
  bool Save(const std::string& path, std::string_view bytes) {
    OwnedByteSet set(MakeByteSet(bytes.data(), bytes.size()));
    return CallCore(WriteToFile, {TextArg(path.c_str()), ByteSetArg(set.get())}).low != 0;
  }
};

TEST_F(SafeSavePosixTest, FullDiskKeepsTheOldList) {
  ScratchMount disk("64k");
  if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
  const std::string target = disk.dir().Write("mac_sample.txt", "old list");
  EXPECT_FALSE(Save(target, std::string(200 * 1024, 'x')));
  EXPECT_EQ(TempDirectory::Read(target), "old list");
  EXPECT_EQ(Names(disk.dir().path()), std::set<std::string>{"mac_sample.txt"});
  // The room the failed save took is free again: a list that fits is saved.
  EXPECT_TRUE(Save(target, std::string(40 * 1024, 'y')));
  EXPECT_EQ(TempDirectory::Read(target), std::string(40 * 1024, 'y'));
}

TEST_F(SafeSavePosixTest, ReadOnlyFileSystemKeepsTheOldList) {
  ScratchMount disk("64k");
  if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
  const std::string target = disk.dir().Write("mac_sample.txt", "old list");
  ASSERT_TRUE(disk.MakeReadOnly());
  EXPECT_FALSE(Save(target, "new list"));
  EXPECT_EQ(TempDirectory::Read(target), "old list");
  EXPECT_EQ(Names(disk.dir().path()), std::set<std::string>{"mac_sample.txt"});
}

// An immutable directory refuses even the superuser, where permission bits would not.
TEST_F(SafeSavePosixTest, ImmutableDirectoryKeepsTheOldList) {
  const std::string target = dir_.Write("mac_sample.txt", "old list");
  const int fd = ::open(dir_.path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  int flags = 0;
  if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
    ::close(fd);
    GTEST_SKIP() << "this file system keeps no file attributes";
  }
  const int immutable = flags | FS_IMMUTABLE_FL;
  if (::ioctl(fd, FS_IOC_SETFLAGS, &immutable) != 0) {
    ::close(fd);
    GTEST_SKIP() << "cannot make a directory immutable here";
  }
  const bool saved = Save(target, "new list");
  ::ioctl(fd, FS_IOC_SETFLAGS, &flags);  // so that the directory can be removed
  ::close(fd);
  EXPECT_FALSE(saved);
  EXPECT_EQ(TempDirectory::Read(target), "old list");
  EXPECT_EQ(Names(dir_.path()), std::set<std::string>{"mac_sample.txt"});
}

// A list kept from other users stays so. Two modes, as a new file could get either from the umask.
TEST_F(SafeSavePosixTest, TheReplacedListsPermissionBitsAreKept) {
  for (mode_t mode : {0600, 0664}) {
    SCOPED_TRACE(mode);
    const std::string target = dir_.Write("mac_sample.txt", "old list");
    ASSERT_EQ(::chmod(target.c_str(), mode), 0);
    EXPECT_TRUE(Save(target, "new list"));
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode);
  }
}

// A child process that opens the file, says so through a pipe, and holds it until told to go.
// With `shared` it opens through our file system (and so takes its sharing lock); otherwise with a
// plain open, as a program that takes no locks would, and it then reports the bytes it reads.
class Holder {
 public:
  Holder(const std::string& path, bool shared) {
    if (::pipe(ready_) != 0 || ::pipe(go_) != 0) return;
    pid_ = ::fork();
    if (pid_ != 0) return;
    std::unique_ptr<os::File> file;
    int fd = -1;
    if (shared) {
      file = os::posix::PosixFileSystem().Open(path, os::Access::kRead, os::Creation::kOpenExisting,
                                               os::Share::kReadWrite);
    } else {
      fd = ::open(path.c_str(), O_RDONLY);
    }
    const char opened = (file || fd >= 0) ? '1' : '0';
    (void)!::write(ready_[1], &opened, 1);
    char go;
    (void)!::read(go_[0], &go, 1);
    char bytes[64] = {};
    const ssize_t n = fd >= 0 ? ::read(fd, bytes, sizeof bytes) : 0;
    (void)!::write(ready_[1], bytes, n > 0 ? static_cast<std::size_t>(n) : 0);
    ::_exit(0);
  }
  // True once the child holds the file.
  bool Holding() {
    char opened = 0;
    return pid_ > 0 && ::read(ready_[0], &opened, 1) == 1 && opened == '1';
  }
  // Lets the child go; what it read through its open file.
  std::string Release() {
    (void)!::write(go_[1], "g", 1);
    ::close(ready_[1]);
    std::string bytes;
    char chunk[64];
    ssize_t n;
    while ((n = ::read(ready_[0], chunk, sizeof chunk)) > 0)
      bytes.append(chunk, static_cast<std::size_t>(n));
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return bytes;
  }
  ~Holder() {
    if (pid_ > 0) Release();
    for (int fd : {ready_[0], ready_[1], go_[0], go_[1]})
      ::close(fd);
  }

 private:
  int ready_[2] = {-1, -1};
  int go_[2] = {-1, -1};
  pid_t pid_ = -1;
};

TEST_F(SafeSavePosixTest, ATargetHeldByAnotherProcess) {
  struct Case {
    const char* name;
    bool shared;     // the holder opens through our file system, with its sharing lock
    bool answer;     // the save succeeds
    bool reads_old;  // the holder still reads the whole old list
  };
  const Case cases[] = {
      // Written with exclusive sharing: another of our openers keeps the file as it is.
      {"held by our own file system", true, false, false},
      // A program that takes no locks: the list is replaced, and the reader's open file still
      // holds the whole old list, never half of the new one.
      {"held without a lock", false, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string target = dir_.Write("mac_sample.txt", "old list");
    Holder holder(target, c.shared);
    ASSERT_TRUE(holder.Holding());
    EXPECT_EQ(Save(target, "new list"), c.answer);
    EXPECT_EQ(TempDirectory::Read(target), c.answer ? "new list" : "old list");
    EXPECT_EQ(Names(dir_.path()), std::set<std::string>{"mac_sample.txt"});
    const std::string read = holder.Release();
    if (c.reads_old) {
      EXPECT_EQ(read, "old list");
    }
    // Once the holder is gone the save goes through.
    EXPECT_TRUE(Save(target, "third list"));
    EXPECT_EQ(TempDirectory::Read(target), "third list");
  }
}

}  // namespace
}  // namespace marvane::commands
