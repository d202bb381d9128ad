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

}  // namespace marvane::os::win32
