// ReadLine: the next line of an open file, read in chunks of 512 bytes, or straight from the
// block of a file that is read ahead.
//
// LF ends a line and is consumed; NUL and 0x1A end a line and stay unread, since they mark the end
// of the readable text. A byte of 0x80 or more takes the byte after it along, also across a chunk
// boundary, so a LF or 0x1A there is part of a character. When that byte is a NUL the character
// is broken: the line ends before its lead byte and both bytes are consumed, so that a reader who
// keeps calling reaches the end of the file.
#include <bit>
#include <cstring>
#include <typeinfo>

#include "platform/gbk_bytes.h"
#include "platform/platform.h"
#include "runtime/commands/file/file_commands.h"
#include "runtime/commands/file/read_ahead_file.h"
#include "runtime/values/core.h"
#include "runtime/values/text_builder.h"

namespace marvane::commands {
namespace {

constexpr std::size_t kChunk = 512;

// The line read so far: its length, and its bytes unless the line is passed over.
class Line {
 public:
  std::size_t size() const { return size_; }
  void Keep(bool keep) { keep_ = keep; }
  void Append(std::string_view bytes) {
    size_ += bytes.size();
    if (keep_) text_.Append(bytes);
  }
  void DropLast() {
    --size_;
    if (keep_) text_.DropLast();
  }
  // Without the one CR that may end it; null when empty or passed over.
  Text Release() {
    if (!keep_) return nullptr;
    if (!text_.empty() && text_.back() == '\r') text_.DropLast();
    return text_.Release();
  }

 private:
  // The line goes straight to the runtime heap, so that it becomes the result without a copy.
  TextBuilder text_;
  std::size_t size_ = 0;
  bool keep_ = true;
};

// After a failure the file is taken as read to its end, so that an end test answers true.
Text Fail(os::File* file) {
  const std::int64_t length = file->Length();
  if (length >= 0) file->Seek(static_cast<std::uint64_t>(length));
  return nullptr;
}

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// Non-zero when any byte of the word is zero.
std::uint64_t ZeroByte(std::uint64_t word) {
  return (word - kOnes) & ~word & kHighBits;
}

// The first byte from i on that can end a line or starts a character: 0x80 or more, LF, NUL or
// 0x1A; count when there is none. Most of a line is other bytes, eight of which are passed over
// at a time.
std::size_t NextSpecialByte(const char* chunk, std::size_t i, std::size_t count) {
  while (count - i >= 8) {
    std::uint64_t word;
    std::memcpy(&word, chunk + i, 8);
    const std::uint64_t special = (word & kHighBits) | ZeroByte(word) |
                                  ZeroByte(word ^ (kOnes * '\n')) | ZeroByte(word ^ (kOnes * 0x1A));
    if (special) {
      // The lowest marked byte is exact; marks above it can be false.
      if constexpr (std::endian::native == std::endian::little) {
        return i + static_cast<std::size_t>(std::countr_zero(special)) / 8;
      }
      break;
    }
    i += 8;
  }
  return i;
}

// The next bytes of the file: in place from a file read ahead, else read into chunk. Their count,
// or -1 when the platform fails.
std::int64_t NextChunk(os::File* file, ReadAheadFile* ahead, char* chunk, const char** bytes) {
  if (ahead) {
    std::string_view view;
    if (!ahead->ReadInPlace(&view)) return -1;
    *bytes = view.data();
    return static_cast<std::int64_t>(view.size());
  }
  *bytes = chunk;
  return file->Read(chunk, kChunk);
}

}  // namespace

Text ReadLineUpTo(std::uint32_t number, std::uint64_t limit, std::optional<char> first) {
  os::File* file = open_files::Find(number);
  if (!file) return nullptr;
  // ReadAheadFile is final: comparing the type is enough, and cheaper than a cast that searches.
  auto* ahead =
      typeid(*file) == typeid(ReadAheadFile) ? static_cast<ReadAheadFile*>(file) : nullptr;
  Line line;
  bool started = false;  // the line's first byte has been looked at
  char buffer[kChunk];
  bool trail_due = false;  // the previous chunk ended with a lead byte
  for (;;) {
    const std::int64_t at = file->Position();
    if (at < 0) return Fail(file);
    const char* chunk = nullptr;
    const std::int64_t got = NextChunk(file, ahead, buffer, &chunk);
    if (got < 0) return Fail(file);
    if (got == 0) break;
    const auto count = static_cast<std::size_t>(got);
    if (!started) {
      started = true;
      if (first) line.Keep(chunk[0] == *first);
    }

    std::size_t i = 0;
    std::int64_t resume = -1;  // where the next read starts, once the line has ended
    if (trail_due) {
      trail_due = false;
      if (chunk[0] == '\0') {
        line.DropLast();
        resume = at + 1;
      } else {
        i = 1;
      }
    }
    for (; resume < 0 && i < count; ++i) {
      i = NextSpecialByte(chunk, i, count);
      if (i == count) break;
      const auto c = static_cast<unsigned char>(chunk[i]);
      if (gbk::IsHighByte(c)) {
        if (i + 1 == count) {
          trail_due = true;
        } else if (chunk[i + 1] == '\0') {
          line.Append(std::string_view(chunk, i));
          resume = at + static_cast<std::int64_t>(i) + 2;
        } else {
          ++i;
        }
      } else if (c == '\n') {
        line.Append(std::string_view(chunk, i));
        resume = at + static_cast<std::int64_t>(i) + 1;
      } else if (c == 0x00 || c == 0x1A) {
        line.Append(std::string_view(chunk, i));
        resume = at + static_cast<std::int64_t>(i);
      }
    }
    // A chunk can hold a whole line longer than the limit, so the limit is checked either way.
    if (resume >= 0) {
      if (line.size() > limit) return Fail(file);
      if (!file->Seek(static_cast<std::uint64_t>(resume))) return Fail(file);
      break;
    }
    line.Append(std::string_view(chunk, count));
    if (line.size() > limit) return Fail(file);
  }
  return line.Release();
}

void ReadLine(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  const auto number = static_cast<std::uint32_t>(IntOf(Arg(argc, args, 0)));
  *result = PointerValue(ReadLineUpTo(number, kReadLimit), type::kText);
}

}  // namespace marvane::commands
