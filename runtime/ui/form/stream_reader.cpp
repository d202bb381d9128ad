#include "runtime/ui/form/stream_reader.h"

#include <algorithm>
#include <cstring>

namespace marvane::ui {

StreamReader::StreamReader(std::string_view bytes) : StreamReader(bytes, false) {}

StreamReader::StreamReader(std::string_view source, bool buffered)
    : source_(source), buffered_(buffered) {
  if (buffered_) buffer_.resize(kBufferSize);
}

StreamReader StreamReader::Buffered(std::string_view source) {
  return StreamReader(source, true);
}

std::size_t StreamReader::remaining() const {
  if (!ok_) return 0;
  return (buffer_end_ - buffer_pos_) + (source_.size() - source_pos_);
}

bool StreamReader::Read(void* out, std::size_t n) {
  if (!ok_ || n > remaining()) {
    ok_ = false;
    return false;
  }
  auto* dst = static_cast<char*>(out);
  consumed_ += n;
  if (!buffered_) {
    if (n) std::memcpy(dst, source_.data() + source_pos_, n);
    source_pos_ += n;
    return true;
  }
  while (n > 0) {
    if (buffer_pos_ == buffer_end_) {
      std::size_t fill = std::min(kBufferSize, source_.size() - source_pos_);
      std::memcpy(buffer_.data(), source_.data() + source_pos_, fill);
      source_pos_ += fill;
      buffer_pos_ = 0;
      buffer_end_ = fill;
    }
    std::size_t take = std::min(n, buffer_end_ - buffer_pos_);
    std::memcpy(dst, buffer_.data() + buffer_pos_, take);
    buffer_pos_ += take;
    dst += take;
    n -= take;
  }
  return true;
}

std::uint32_t StreamReader::U32() {
  unsigned char b[4];
  if (!Read(b, 4)) return 0;
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::uint16_t StreamReader::U16() {
  unsigned char b[2];
  if (!Read(b, 2)) return 0;
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint8_t StreamReader::U8() {
  unsigned char b = 0;
  if (!Read(&b, 1)) return 0;
  return b;
}

std::string StreamReader::Bytes(std::size_t n) {
  // Checked before the string is sized: the length may come straight from the input.
  if (!ok_ || n > remaining()) {
    ok_ = false;
    return {};
  }
  std::string out(n, '\0');
  Read(out.data(), n);
  return out;
}

std::string StreamReader::CountedBytes() {
  std::uint32_t n = U32();
  return Bytes(n);
}

std::string StreamReader::ZeroText() {
  std::string out;
  while (ok_) {
    char c = static_cast<char>(U8());
    if (!ok_) return {};
    if (c == '\0') return out;
    out.push_back(c);
  }
  return {};
}

void StreamReader::Skip(std::size_t n) {
  if (!ok_ || n > remaining()) {
    ok_ = false;
    return;
  }
  consumed_ += n;
  std::size_t from_buffer = std::min(n, buffer_end_ - buffer_pos_);
  buffer_pos_ += from_buffer;
  source_pos_ += n - from_buffer;
}

bool StreamReader::CheckCount(std::uint64_t count, std::size_t min_record_size) {
  // A record of no bytes would let any count through; every record takes at least one.
  std::uint64_t size = std::max<std::size_t>(min_record_size, 1);
  if (!ok_ || count > remaining() || count * size > remaining()) {
    ok_ = false;
    return false;
  }
  return true;
}

std::uint32_t StreamReader::Count(std::size_t min_record_size) {
  std::uint32_t count = U32();
  return CheckCount(count, min_record_size) ? count : 0;
}

std::uint32_t StreamReader::ShortCount(std::size_t min_record_size) {
  std::uint32_t count = U16();
  if (count == 0xFFFF) count = U32();
  return CheckCount(count, min_record_size) ? count : 0;
}

std::vector<std::uint32_t> StreamReader::U32s(std::size_t count) {
  std::vector<std::uint32_t> out;
  if (!CheckCount(count, 4)) return out;
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i)
    out.push_back(U32());
  return out;
}

}  // namespace marvane::ui
