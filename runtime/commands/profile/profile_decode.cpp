#include "runtime/commands/profile/profile_decode.h"

#include <cstdint>
#include <cstring>

namespace marvane::profile {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool EightAscii(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, 8);
  return (word & 0x8080808080808080ull) == 0;
}

bool IsContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

// Number of continuation bytes after a lead, or -1 when the byte cannot start a sequence.
int ContinuationCount(unsigned char c) {
  if (c >= 0xC2 && c <= 0xDF) return 1;
  if (c >= 0xE0 && c <= 0xEF) return 2;
  if (c >= 0xF0 && c <= 0xF4) return 3;
  return -1;
}

void AppendCodePoint(char32_t cp, std::u16string* out) {
  if (cp < 0x10000) {
    out->push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

std::u16string DecodeUtf16(std::string_view bytes, bool big_endian) {
  std::u16string out;
  out.reserve(bytes.size() / 2 + 1);
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    auto b0 = static_cast<unsigned char>(bytes[i]);
    auto b1 = static_cast<unsigned char>(bytes[i + 1]);
    out.push_back(static_cast<char16_t>(big_endian ? (b0 << 8 | b1) : (b1 << 8 | b0)));
  }
  if (i < bytes.size()) out.push_back(static_cast<unsigned char>(bytes[i]));
  return out;
}

}  // namespace

std::string NormalizeGbk(std::string_view bytes, LoneLead lone_lead) {
  std::string out(bytes);
  NormalizeGbkInPlace(&out, lone_lead);
  return out;
}

// Every step writes no more bytes than it reads, so the output never overtakes the input.
void NormalizeGbkInPlace(std::string* bytes, LoneLead lone_lead) {
  char* s = bytes->data();
  const std::size_t n = bytes->size();
  std::size_t w = 0;
  for (std::size_t i = 0; i < n; ++i) {
    // While nothing has moved, eight bytes below 0x80 at a time stay as they are.
    if (w == i) {
      while (n - i >= 8 && EightAscii(s + i))
        i += 8;
      w = i;
      if (i == n) break;
    }
    auto c = static_cast<unsigned char>(s[i]);
    if (!gbk::IsLeadByte(c)) {
      s[w++] = s[i];
      continue;
    }
    if (i + 1 == n) {
      if (lone_lead == LoneLead::kReplace) s[w++] = '?';
      continue;
    }
    auto next = static_cast<unsigned char>(s[i + 1]);
    if (gbk::IsTrailByte(next)) {
      s[w++] = s[i];
      s[w++] = s[i + 1];
    } else {
      s[w++] = '?';
      if (next == 0) continue;  // the NUL stays for the parser to see
    }
    ++i;
  }
  bytes->resize(w);
}

std::u16string DecodeUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    }
    int need = ContinuationCount(lead);
    if (need < 0) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    if (i + need >= n) {  // the data ends inside the sequence: it takes the rest
      out.push_back(kReplacement);
      break;
    }
    char32_t cp = lead & (need == 1 ? 0x1F : need == 2 ? 0x0F : 0x07);
    std::size_t j = i + 1;
    bool ok = true;
    for (int k = 0; k < need; ++k, ++j) {
      auto c = static_cast<unsigned char>(bytes[j]);
      if (!IsContinuation(c)) {
        ok = false;
        break;
      }
      cp = cp << 6 | (c & 0x3F);
      // The first continuation byte already tells an overlong form, a surrogate or a value past
      // U+10FFFF; the sequence then ends with it.
      bool impossible = k == 0 && ((need == 2 && (cp < 0x20 || (cp >= 0x360 && cp < 0x380))) ||
                                   (need == 3 && (cp < 0x10 || cp >= 0x110)));
      if (impossible) {
        ++j;
        ok = false;
        break;
      }
    }
    if (ok) {
      AppendCodePoint(cp, &out);
    } else {
      out.push_back(kReplacement);
    }
    i = j;
  }
  return out;
}

std::string DecodeProfileFile(std::string_view bytes, os::TextCodec& codec) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return codec.Utf16ToGbk(DecodeUtf8(bytes.substr(3)));
  if (bytes.starts_with("\xFF\xFE")) return codec.Utf16ToGbk(DecodeUtf16(bytes.substr(2), false));
  if (bytes.starts_with("\xFE\xFF")) return codec.Utf16ToGbk(DecodeUtf16(bytes.substr(2), true));
  return NormalizeGbk(bytes, LoneLead::kReplace);
}

std::string DecodeProfileFile(std::string&& bytes, os::TextCodec& codec) {
  const std::string_view view(bytes);
  if (view.starts_with("\xEF\xBB\xBF") || view.starts_with("\xFF\xFE") ||
      view.starts_with("\xFE\xFF")) {
    return DecodeProfileFile(view, codec);
  }
  std::string text = std::move(bytes);
  NormalizeGbkInPlace(&text, LoneLead::kReplace);
  return text;
}

}  // namespace marvane::profile
