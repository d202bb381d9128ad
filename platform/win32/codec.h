#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace marvane::os::win32 {

// Code page 936 through the system's own converter, whatever the system's ANSI code page is.
class Win32Codec final : public TextCodec {
 public:
  std::u16string GbkToUtf16(std::string_view gbk) override;
  std::string Utf16ToGbk(std::u16string_view utf16, bool* lossy) override;
};

// The boundary conversions every part of this backend uses: the wide APIs take what these give.
std::wstring Wide(std::string_view gbk);
std::string Gbk(std::wstring_view wide, bool* lossy = nullptr);

// A path from the system as the program holds it, GBK, for every path that comes in (the program
// file, dropped files). It names the same file:
// - the path itself when GBK writes each of its characters;
// - else the path's short (8.3) form when the system gives one that GBK writes whole (it may
//   shorten other parts of the path as well);
// - else no file: the path with "?" for each character GBK cannot write. No Windows file name holds
//   "?", so opening, creating, moving or changing to this path, or to any path built on it such as
//   a name in its directory, fails; nothing is written anywhere. (A search does read "?" in the
//   last part of a pattern as a wildcard.)
// Never empty unless the path is.
std::string GbkPath(std::wstring_view path);

}  // namespace marvane::os::win32
