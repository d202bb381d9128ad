#include "platform/posix/codec.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace marvane::os::posix {
namespace {

// Converts in, replacing each unconvertible input unit by `replacement` in the output.
std::string Convert(const char* to, const char* from, std::string_view in, std::size_t unit,
                    std::string_view replacement, bool* lossy) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out;
  out.resize(in.size() * 4 + 16);
  char* src = const_cast<char*>(in.data());
  std::size_t src_left = in.size();
  char* dst = out.data();
  std::size_t dst_left = out.size();
  while (src_left > 0) {
    if (iconv(cd, &src, &src_left, &dst, &dst_left) != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      std::size_t used = out.size() - dst_left;
      out.resize(out.size() * 2);
      dst = out.data() + used;
      dst_left = out.size() - used;
      continue;
    }
    // EILSEQ or EINVAL: skip one unit of input and put the replacement in its place.
    if (lossy) *lossy = true;
    std::size_t skip = src_left < unit ? src_left : unit;
    src += skip;
    src_left -= skip;
    if (dst_left < replacement.size() + 8) {
      std::size_t used = out.size() - dst_left;
      out.resize(out.size() * 2 + replacement.size());
      dst = out.data() + used;
      dst_left = out.size() - used;
    }
    std::memcpy(dst, replacement.data(), replacement.size());
    dst += replacement.size();
    dst_left -= replacement.size();
  }
  iconv_close(cd);
  out.resize(out.size() - dst_left);
  return out;
}

}  // namespace

std::u16string IconvCodec::GbkToUtf16(std::string_view gbk) {
  std::string bytes = Convert("UTF-16LE", "CP936", gbk, 1, std::string_view("?\0", 2), nullptr);
  std::u16string out(bytes.size() / 2, u'\0');
  std::memcpy(out.data(), bytes.data(), out.size() * 2);
  return out;
}

std::string IconvCodec::Utf16ToGbk(std::u16string_view utf16, bool* lossy) {
  if (lossy) *lossy = false;
  std::string_view in(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2);
  return Convert("CP936", "UTF-16LE", in, 2, "?", lossy);
}

std::string GbkToUtf8(std::string_view gbk, bool* lossy) {
  if (lossy) *lossy = false;
  return Convert("UTF-8", "CP936", gbk, 1, "?", lossy);
}

std::string Utf8ToGbk(std::string_view utf8, bool* lossy) {
  if (lossy) *lossy = false;
  return Convert("CP936", "UTF-8", utf8, 1, "?", lossy);
}

}  // namespace marvane::os::posix
