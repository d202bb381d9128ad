#pragma once

#include "platform/platform.h"

namespace marvane::os::posix {

// Code page 936 through the C library's converter (CP936: GBK with 0x80 as the euro sign).
class IconvCodec final : public TextCodec {
 public:
  std::u16string GbkToUtf16(std::string_view gbk) override;
  std::string Utf16ToGbk(std::u16string_view utf16, bool* lossy) override;
};

// UTF-8 for the terminal and the kernel's names: the only other form texts take on POSIX. What
// cannot be converted becomes "?"; *lossy, when given, says whether anything did.
std::string GbkToUtf8(std::string_view gbk, bool* lossy = nullptr);
std::string Utf8ToGbk(std::string_view utf8, bool* lossy = nullptr);

}  // namespace marvane::os::posix
