// Reads the stored little-endian encoding shared by the form description and the component data
// of every class: dwords, 16-bit words, counted texts and blocks, zero-ended texts.
//
// Every read is bounds-checked. The first read that cannot be met sets a sticky failure; from then
// on every read yields 0 or an empty string, so a parser may read a whole record and test ok()
// once at the end. Lengths and counts are checked against the bytes that remain before anything
// is allocated, so a hostile count cannot make the reader ask for more memory than the input holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marvane::ui {

class StreamReader {
 public:
  static constexpr std::size_t kBufferSize = 4096;

  // Reads straight out of bytes, which must outlive the reader.
  explicit StreamReader(std::string_view bytes);

  // Reads through a buffer of kBufferSize bytes that is refilled from source whenever it runs
  // dry, as the form description is read at start-up. Decodes exactly as the direct reader.
  static StreamReader Buffered(std::string_view source);

  std::uint32_t U32();
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  std::uint16_t U16();
  std::uint8_t U8();

  // n raw bytes.
  std::string Bytes(std::size_t n);
  // A dword length, then that many bytes (GBK for a text). The two differ only in what the
  // caller means by them.
  std::string CountedText() { return CountedBytes(); }
  std::string CountedBlock() { return CountedBytes(); }
  // Bytes up to a 0 byte, which is consumed and not returned.
  std::string ZeroText();
  void Skip(std::size_t n);

  // A dword count of records that each take at least min_record_size bytes. A count that the
  // remaining bytes cannot hold fails the reader and gives 0.
  std::uint32_t Count(std::size_t min_record_size);
  // The same with a 16-bit count, where 0xFFFF is followed by the real count as a dword.
  std::uint32_t ShortCount(std::size_t min_record_size);

  // count dwords, each checked as above.
  std::vector<std::uint32_t> U32s(std::size_t count);

  // Everything not yet read.
  std::string Rest() { return Bytes(remaining()); }

  bool ok() const { return ok_; }
  void Fail() { ok_ = false; }
  // Bytes not yet read; 0 once the reader has failed.
  std::size_t remaining() const;
  // Bytes consumed so far.
  std::size_t position() const { return consumed_; }
  bool AtEnd() const { return remaining() == 0; }

 private:
  StreamReader(std::string_view source, bool buffered);
  std::string CountedBytes();
  // Copies n bytes to out; false (and the reader failed) when fewer remain.
  bool Read(void* out, std::size_t n);
  bool CheckCount(std::uint64_t count, std::size_t min_record_size);

  std::string_view source_;
  std::size_t source_pos_ = 0;  // next byte of source not yet read or buffered
  std::size_t consumed_ = 0;
  bool buffered_ = false;
  std::vector<char> buffer_;
  std::size_t buffer_pos_ = 0, buffer_end_ = 0;
  bool ok_ = true;
};

}  // namespace marvane::ui
