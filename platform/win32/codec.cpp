#include "platform/win32/codec.h"

#include "platform/gbk_bytes.h"
#include "platform/win32/windows_api.h"

#include <climits>

namespace marvane::os::win32 {
namespace {

constexpr UINT kGbk = 936;
// The converters take int counts; longer input goes in pieces of about this size.
constexpr std::size_t kPiece = std::size_t{1} << 28;

// The end of a GBK piece of at most kPiece bytes that does not split a double-byte character.
std::size_t GbkPieceEnd(std::string_view gbk, std::size_t begin) {
  if (gbk.size() - begin <= kPiece) return gbk.size();
  std::size_t i = begin;
  while (i < begin + kPiece) {
    auto c = static_cast<unsigned char>(gbk[i]);
    i += gbk::IsLeadByte(c) ? 2 : 1;
  }
  return i < gbk.size() ? i : gbk.size();
}

bool IsHighSurrogate(wchar_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

std::size_t Utf16PieceEnd(std::wstring_view wide, std::size_t begin) {
  if (wide.size() - begin <= kPiece) return wide.size();
  std::size_t end = begin + kPiece;
  // Keep a surrogate pair together.
  if (IsHighSurrogate(wide[end - 1])) ++end;
  return end;
}

void AppendWide(std::string_view gbk, std::wstring* out) {
  if (gbk.empty()) return;
  int in = static_cast<int>(gbk.size());
  int n = MultiByteToWideChar(kGbk, 0, gbk.data(), in, nullptr, 0);
  if (n <= 0) return;
  std::size_t at = out->size();
  out->resize(at + static_cast<std::size_t>(n));
  MultiByteToWideChar(kGbk, 0, gbk.data(), in, out->data() + at, n);
}

void AppendGbk(std::wstring_view wide, std::string* out, bool* lossy) {
  if (wide.empty()) return;
  int in = static_cast<int>(wide.size());
  BOOL used_default = FALSE;
  int n = WideCharToMultiByte(kGbk, 0, wide.data(), in, nullptr, 0, "?", &used_default);
  if (n <= 0) return;
  std::size_t at = out->size();
  out->resize(at + static_cast<std::size_t>(n));
  WideCharToMultiByte(kGbk, 0, wide.data(), in, out->data() + at, n, "?", &used_default);
  if (used_default && lossy) *lossy = true;
}

// GBK for text that GBK writes whole: a character that only maps to a look-alike does not count.
bool ExactGbk(std::wstring_view wide, std::string* gbk) {
  bool lossy = false;
  *gbk = Gbk(wide, &lossy);
  return !lossy && Wide(*gbk) == wide;
}

std::wstring ShortPath(std::wstring_view path) {
  const std::wstring long_path(path);
  DWORD size = GetShortPathNameW(long_path.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring out(size, L'\0');
  DWORD n = GetShortPathNameW(long_path.c_str(), out.data(), size);
  if (n == 0 || n >= size) return {};
  out.resize(n);
  return out;
}

}  // namespace

std::string GbkPath(std::wstring_view path) {
  std::string gbk;
  if (ExactGbk(path, &gbk)) return gbk;
  const std::wstring short_path = ShortPath(path);
  if (!short_path.empty() && ExactGbk(short_path, &gbk)) return gbk;
  // Character by character, so that every one GBK cannot write becomes "?", never a look-alike
  // that names another file.
  std::string marked;
  for (std::size_t i = 0; i < path.size();) {
    std::size_t n =
        IsHighSurrogate(path[i]) && i + 1 < path.size() && IsLowSurrogate(path[i + 1]) ? 2 : 1;
    marked += ExactGbk(path.substr(i, n), &gbk) ? gbk : std::string("?");
    i += n;
  }
  return marked;
}

std::wstring Wide(std::string_view gbk) {
  std::wstring out;
  for (std::size_t begin = 0; begin < gbk.size();) {
    std::size_t end = GbkPieceEnd(gbk, begin);
    AppendWide(gbk.substr(begin, end - begin), &out);
    begin = end;
  }
  return out;
}

std::string Gbk(std::wstring_view wide, bool* lossy) {
  if (lossy) *lossy = false;
  std::string out;
  for (std::size_t begin = 0; begin < wide.size();) {
    std::size_t end = Utf16PieceEnd(wide, begin);
    AppendGbk(wide.substr(begin, end - begin), &out, lossy);
    begin = end;
  }
  return out;
}

std::u16string Win32Codec::GbkToUtf16(std::string_view gbk) {
  std::wstring wide = Wide(gbk);
  return std::u16string(wide.begin(), wide.end());
}

std::string Win32Codec::Utf16ToGbk(std::u16string_view utf16, bool* lossy) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  return Gbk(std::wstring_view(reinterpret_cast<const wchar_t*>(utf16.data()), utf16.size()),
             lossy);
}

}  // namespace marvane::os::win32
