#include "platform/posix/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>

#include "platform/posix/paths.h"

namespace marvane::os::posix {
namespace {

// Short reads and writes are continued; one call never asks for more than this.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

class PosixFile final : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { Close(); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  // Fills the buffer unless the end of the file comes first.
  std::int64_t Read(void* buffer, std::size_t size) override {
    if (fd_ < 0) return -1;
    auto out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
      std::size_t ask = size - done < kMaxTransfer ? size - done : kMaxTransfer;
      ssize_t n = ::read(fd_, out + done, ask);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return -1;
      if (n == 0) break;
      done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
  }

  bool Write(const void* data, std::size_t size) override {
    if (fd_ < 0) return false;
    auto in = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
      std::size_t ask = size - done < kMaxTransfer ? size - done : kMaxTransfer;
      ssize_t n = ::write(fd_, in + done, ask);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  bool Seek(std::uint64_t position) override {
    if (fd_ < 0 || position > static_cast<std::uint64_t>(INT64_MAX)) return false;
    return ::lseek(fd_, static_cast<off_t>(position), SEEK_SET) >= 0;
  }

  std::int64_t Position() override {
    if (fd_ < 0) return -1;
    off_t at = ::lseek(fd_, 0, SEEK_CUR);
    return at < 0 ? -1 : static_cast<std::int64_t>(at);
  }

  std::int64_t Length() override {
    struct stat st;
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
    return static_cast<std::int64_t>(st.st_size);
  }

  bool Flush() override { return fd_ >= 0 && ::fsync(fd_) == 0; }

  // Closing also drops the sharing lock.
  bool Close() override {
    if (fd_ < 0) return false;
    int fd = fd_;
    fd_ = -1;
    // On Linux the descriptor is gone even when close reports EINTR.
    return ::close(fd) == 0 || errno == EINTR;
  }

 private:
  int fd_;
};

// Closes a descriptor that has not been handed to a PosixFile yet.
class DescriptorGuard {
 public:
  explicit DescriptorGuard(int fd) : fd_(fd) {}
  ~DescriptorGuard() {
    if (fd_ >= 0) ::close(fd_);
  }
  DescriptorGuard(const DescriptorGuard&) = delete;
  DescriptorGuard& operator=(const DescriptorGuard&) = delete;
  int get() const { return fd_; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

bool TakeSharingLock(int fd, Share share) {
  int operation = (share == Share::kNone ? LOCK_EX : LOCK_SH) | LOCK_NB;
  for (;;) {
    if (::flock(fd, operation) == 0) return true;
    if (errno == EINTR) continue;
    // Only a held lock refuses the open; a file system without locks still opens.
    return errno != EWOULDBLOCK;
  }
}

// One character of a UTF-8 name: a lead byte with the continuation bytes that follow it, or one
// byte that is no UTF-8.
std::size_t CharacterSize(std::string_view s, std::size_t i) {
  auto c = static_cast<unsigned char>(s[i]);
  const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  std::size_t n = 1;
  while (n < length && i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80)
    ++n;
  return n;
}

// "*" matches any run of characters, "?" exactly one (a multi-byte character counts as one);
// every other byte matches itself. Backtracks to the last "*" only, so it stays linear per try.
bool WildcardMatch(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0;
  std::size_t star = std::string_view::npos, star_name = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = ++p;
      star_name = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += CharacterSize(name, n);
    } else if (p < pattern.size() && pattern[p] == name[n]) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      star_name += CharacterSize(name, star_name);
      p = star;
      n = star_name;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*')
    ++p;
  return p == pattern.size();
}

bool SyncDirectory(const std::string& directory) {
  int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  DescriptorGuard guard(fd);
  // Some file systems cannot sync a directory; the rename is then as durable as they make it.
  return ::fsync(fd) == 0 || errno == EINVAL;
}

std::string DirectoryOf(const std::string& native) {
  std::size_t slash = native.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return native.substr(0, slash);
}

}  // namespace

std::unique_ptr<File> PosixFileSystem::Open(std::string_view path, Access access, Creation creation,
                                            Share share) {
  std::string native = ToNativePath(path);
  if (native.empty()) return nullptr;
  int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;  // non-blocking: a FIFO must not hang the open
  flags |= access == Access::kRead ? O_RDONLY : access == Access::kWrite ? O_WRONLY : O_RDWR;
  if (creation != Creation::kOpenExisting) flags |= O_CREAT;
  if (creation == Creation::kCreateNew) flags |= O_EXCL;  // a symbolic link counts as taken
  DescriptorGuard fd(::open(native.c_str(), flags, 0666));
  if (fd.get() < 0) return nullptr;

  struct stat st;
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  int status = ::fcntl(fd.get(), F_GETFL);
  if (status < 0 || ::fcntl(fd.get(), F_SETFL, status & ~O_NONBLOCK) != 0) return nullptr;
  if (!TakeSharingLock(fd.get(), share)) return nullptr;
  // Truncate only once the lock is held, never a file that another opener denies us.
  if (creation == Creation::kCreateAlways && ::ftruncate(fd.get(), 0) != 0) return nullptr;
  return std::make_unique<PosixFile>(fd.release());
}

bool PosixFileSystem::FindFirst(std::string_view pattern) {
  std::string native = ToNativePath(pattern);
  std::size_t slash = native.rfind('/');
  std::string name = slash == std::string::npos ? native : native.substr(slash + 1);
  if (name.empty()) return false;
  if (name.find_first_of("*?") == std::string::npos) {
    struct stat st;
    return ::lstat(native.c_str(), &st) == 0;
  }
  DIR* dir = ::opendir(DirectoryOf(native).c_str());
  if (!dir) return false;
  bool found = false;
  while (const dirent* entry = ::readdir(dir)) {
    if (WildcardMatch(name, entry->d_name)) {
      found = true;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

bool PosixFileSystem::Identify(std::string_view path, FileIdentity* identity) {
  struct stat st;
  if (::stat(ToNativePath(path).c_str(), &st) != 0) return false;
  identity->device = static_cast<std::uint64_t>(st.st_dev);
  identity->file = static_cast<std::uint64_t>(st.st_ino);
  identity->size = static_cast<std::uint64_t>(st.st_size);
  identity->change_time =
      static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
  identity->modification_time =
      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
  return true;
}

bool PosixFileSystem::Remove(std::string_view path) {
  return ::unlink(ToNativePath(path).c_str()) == 0;
}

bool PosixFileSystem::Replace(std::string_view source, std::string_view target) {
  std::string from = ToNativePath(source);
  std::string to = ToNativePath(target);
  {
    DescriptorGuard fd(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return false;
    // The target's permission bits go with its name: a list kept from other users stays so.
    struct stat replaced, ours;
    if (::stat(to.c_str(), &replaced) == 0) {
      const mode_t bits = replaced.st_mode & 0777;
      if (::fstat(fd.get(), &ours) != 0) return false;
      if ((ours.st_mode & 0777) != bits && ::fchmod(fd.get(), bits) != 0) return false;
    }
    if (::fsync(fd.get()) != 0) return false;
  }
  if (::rename(from.c_str(), to.c_str()) != 0) return false;
  return SyncDirectory(DirectoryOf(to));
}

}  // namespace marvane::os::posix
