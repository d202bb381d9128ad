#pragma once

#include "platform/platform.h"

namespace marvane::os::posix {

// Files on POSIX. Paths are GBK, "\" separating like "/" (never a GBK trail byte); the kernel gets
// them in UTF-8, and a path whose bytes are no GBK names no file. Only regular files open.
//
// Sharing is kept with advisory whole-file locks (flock), taken without waiting when the file
// opens: every open holds a shared lock, an open that lets others do nothing holds an exclusive
// one. So an exclusive open fails while any other open of ours holds the file, and any open fails
// while an exclusive one does, in this process and among our processes. The partial values (deny
// reading, deny writing) are not told apart from full sharing, and programs that take no locks
// are not held back.
class PosixFileSystem final : public FileSystem {
 public:
  std::unique_ptr<File> Open(std::string_view path, Access access, Creation creation,
                             Share share) override;
  // In the last component "*" matches any run of characters and "?" one character (a Chinese
  // character counts as one); other characters match themselves, letter case included, as POSIX
  // names do. "." and ".." are entries as well. A pattern ending in a separator names nothing.
  bool FindFirst(std::string_view pattern) override;
  bool Identify(std::string_view path, FileIdentity* identity) override;
  bool Remove(std::string_view path) override;
  // The target's permission bits stay as they were; failing to keep them fails the replacing.
  bool Replace(std::string_view source, std::string_view target) override;
};

}  // namespace marvane::os::posix
