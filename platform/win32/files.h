#pragma once

#include "platform/platform.h"

namespace marvane::os::win32 {

// Files through the wide API, names converted from GBK. Sharing is the system's own: an open that
// the sharing of an earlier open does not allow fails, in any process. Only files on a disk open;
// device names such as "CON" or "COM1" do not.
class Win32FileSystem final : public FileSystem {
 public:
  std::unique_ptr<File> Open(std::string_view path, Access access, Creation creation,
                             Share share) override;
  // The system's own search: "*" and "?" in the last component, letter case ignored.
  bool FindFirst(std::string_view pattern) override;
  // Directories can be identified as well as files.
  bool Identify(std::string_view path, FileIdentity* identity) override;
  bool Remove(std::string_view path) override;
  bool Replace(std::string_view source, std::string_view target) override;
};

}  // namespace marvane::os::win32
