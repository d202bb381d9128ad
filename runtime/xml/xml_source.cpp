#include "runtime/xml/xml_source.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/platform.h"
#include "runtime/xml/xml_document.h"

namespace marvane::xml {
namespace {

constexpr std::string_view kCommentStart = "<!--";
constexpr std::string_view kCommentEnd = "-->";
constexpr std::size_t kReadBlock = 64 * 1024;

// The whole file, or false when it cannot be opened or a read fails part way: a document cut
// short by a read error could still parse, and would then pass for the whole list.
bool ReadWholeFile(std::string_view path, std::string* bytes) {
  os::FileSystem* files = os::Current().files;
  if (!files) return false;
  std::unique_ptr<os::File> file =
      files->Open(path, os::Access::kRead, os::Creation::kOpenExisting, os::Share::kReadWrite);
  if (!file) return false;
  // The length as it is now (and a byte for the NUL after a final lead byte) goes in at once: a
  // block of that size is the one the dropped file's raw text has just left. Whatever the file
  // has grown by meanwhile follows a block at a time.
  const std::int64_t length = file->Length();
  if (length > 0) {
    bytes->reserve(static_cast<std::size_t>(length) + 1);
    bytes->resize(static_cast<std::size_t>(length));
    const std::int64_t n = file->Read(bytes->data(), bytes->size());
    if (n < 0 || n > length) return false;
    bytes->resize(static_cast<std::size_t>(n));
  }
  char block[kReadBlock];
  for (;;) {
    const std::int64_t n = file->Read(block, sizeof block);
    if (n < 0 || static_cast<std::uint64_t>(n) > sizeof block) return false;
    if (n == 0) return true;
    bytes->append(block, static_cast<std::size_t>(n));
  }
}

// True when "<!--" occurs anywhere. Its "!" is what is looked for: a list has a "<" in every tag
// but hardly a "!" at all.
bool HoldsComment(std::string_view s) {
  for (std::size_t i = s.find('!', 1); i != std::string_view::npos; i = s.find('!', i + 1)) {
    if (s[i - 1] == '<' && s.substr(i + 1, 2) == "--") return true;
  }
  return false;
}

bool EightBelow0x80(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, 8);
  return (word & 0x8080808080808080ull) == 0;
}

// True when stepping over the bytes character by character ends inside one: the last byte is a
// lead byte that begins a character. Eight bytes below 0x80 are stepped over at a time.
bool EndsInsideCharacter(std::string_view s) {
  const std::size_t n = s.size();
  std::size_t i = 0;
  while (i < n) {
    if (n - i >= 8 && EightBelow0x80(s.data() + i)) {
      i += 8;
    } else {
      i += gbk::IsLeadByteOrFF(s[i]) ? 2 : 1;
    }
  }
  return i > n;
}

// Writes the comment-free copy over the bytes themselves: the copy is never longer than what was
// read up to any point, except for the NUL after a final lead byte.
void StripCommentsInPlace(std::string& s) {
  // A document without "<!--" anywhere keeps every byte, and gains only that NUL.
  if (!HoldsComment(s)) {
    if (EndsInsideCharacter(s)) s.push_back('\0');
    return;
  }
  const std::size_t n = s.size();
  std::size_t w = 0;
  std::size_t i = 0;
  while (i < n) {
    char c = s[i];
    if (gbk::IsLeadByteOrFF(c)) {
      s[w++] = c;
      if (i + 1 < n) {
        s[w++] = s[i + 1];
      } else {
        // A lead byte that ends the input still gets a second byte, a NUL, which the parser
        // never stores: such a document loads the same from a file as from memory.
        if (w == n) s.push_back('\0');
        s[w++] = '\0';
      }
      i += 2;
    } else if (c == '<' && std::string_view(s).substr(i, kCommentStart.size()) == kCommentStart) {
      std::size_t end = s.find(kCommentEnd, i + kCommentStart.size());
      i = end == std::string::npos ? n : end + kCommentEnd.size();
    } else {
      s[w++] = c;
      ++i;
    }
  }
  s.resize(w);
}

}  // namespace

std::string StripComments(std::string_view bytes) {
  std::string copy;
  copy.reserve(bytes.size() + 1);
  copy.assign(bytes);
  StripCommentsInPlace(copy);
  return copy;
}

std::string StripCommentsFromFile(std::string_view path) {
  std::string bytes;
  if (!ReadWholeFile(path, &bytes)) return {};
  StripCommentsInPlace(bytes);
  return bytes;
}

}  // namespace marvane::xml
