#include <gtest/gtest.h>

#include <cstring>

#include "runtime/commands/file/file_test_fixture.h"
#include "runtime/commands/file/read_ahead_file.h"
#include "runtime/values/core.h"

namespace marvane::commands {
namespace {

using Opt = std::optional<std::string>;
using std::nullopt;

class ReadLineTest : public FileCommandTest {};

// One ReadLine call and what the two end tests answer after it.
struct Step {
  Opt line;
  bool at_end_stopping;  // IsEndOfFile(number, true)
  bool at_end_plain;     // IsEndOfFile(number)
};

struct Case {
  const char* name;
  std::string bytes;
  std::vector<Step> steps;
};

std::string Repeat(char c, std::size_t n) {
  return std::string(n, c);
}

TEST_F(ReadLineTest, LinesAndEndsOfText) {
  const std::string x511 = Repeat('x', 511);
  const std::string x512 = Repeat('x', 512);
  const std::string a1000 = Repeat('a', 1000);
  const std::string block = Repeat('y', ReadAheadFile::kDefaultBlock);
  const std::string block_less_one = Repeat('y', ReadAheadFile::kDefaultBlock - 1);
  const Case cases[] = {
      {"crlf", "ab\r\ncd", {{"ab", false, false}, {"cd", true, true}, {nullopt, true, true}}},
      {"lf only", "ab\ncd\n", {{"ab", false, false}, {"cd", true, true}}},
      {"one cr dropped", "ab\r\r\n", {{"ab\r", true, true}, {nullopt, true, true}}},
      {"cr at the end", "ab\r", {{"ab", true, true}}},
      {"empty lines",
       "\n\r\nx",
       {{nullopt, false, false}, {nullopt, false, false}, {"x", true, true}}},
      // 0x1A and NUL end the text and stay unread.
      {"ctrl-z",
       "ab\x1a"
       "cd",
       {{"ab", true, false}, {nullopt, true, false}, {nullopt, true, false}}},
      {"nul", std::string("ab\0cd", 5), {{"ab", true, false}, {nullopt, true, false}}},
      // After a byte of 0x80 or more the next byte belongs to it.
      {"lead before lf", "\xB1\nx\ny", {{"\xB1\nx", false, false}, {"y", true, true}}},
      {"lead before ctrl-z",
       "\xB1\x1a"
       "x\n",
       {{"\xB1\x1ax", true, true}}},
      {"lead at the end", "ab\xB1", {{"ab\xB1", true, true}}},
      // A lead byte before a NUL: the broken character ends the line and is consumed.
      {"lead before nul",
       std::string("ab\xB1\0cd\n", 7),
       {{"ab", false, false}, {"cd", true, true}}},
      {"only lead and nul", std::string("\xB1\0", 2), {{nullopt, true, true}}},
      // Lines and characters across the 512-byte chunks.
      {"long line", a1000 + "\nb", {{a1000, false, false}, {"b", true, true}}},
      {"lf at 512", x512 + "\nb", {{x512, false, false}, {"b", true, true}}},
      {"cr lf across", x511 + "\r\nb", {{x511, false, false}, {"b", true, true}}},
      {"lead ends a chunk",
       x511 + "\xB1\ny\nz",
       {{x511 + "\xB1\ny", false, false}, {"z", true, true}}},
      {"lead ends a chunk, nul follows",
       x511 + std::string("\xB1\0z", 3),
       {{x511, false, false}, {"z", true, true}}},
      {"ctrl-z starts the second chunk", x512 + "\x1a", {{x512, true, false}}},
      // The same where eight bytes at a time are passed over.
      {"ctrl-z inside a long run",
       "0123456789\x1a"
       "0123456789abcdef",
       {{"0123456789", true, false}, {nullopt, true, false}}},
      {"nul inside a long run",
       std::string("0123456789\0"
                   "0123456789abcdef",
                   27),
       {{"0123456789", true, false}}},
      {"lead before lf inside a long run",
       "0123456789\xB1\n0123456789abcdef\n",
       {{"0123456789\xB1\n0123456789abcdef", true, true}}},
      // The same across the blocks of a file that is only read.
      {"lead ends a block",
       block_less_one + "\xB1\ny\nz",
       {{block_less_one + "\xB1\ny", false, false}, {"z", true, true}}},
      {"lead ends a block, nul follows",
       block_less_one + std::string("\xB1\0z", 3),
       {{block_less_one, false, false}, {"z", true, true}}},
      {"cr lf across blocks",
       block_less_one + "\r\nb",
       {{block_less_one, false, false}, {"b", true, true}}},
      {"ctrl-z starts a block", block + "\x1a", {{block, true, false}}},
  };
  int n = 0;
  // Mode 1 reads the file ahead a block at a time, mode 3 (read and write) does not. A reading
  // that keeps only lines starting with a given byte moves through the file the same way.
  for (std::int32_t mode : {1, 3}) {
    for (std::optional<char> first :
         {std::optional<char>(), std::optional<char>('a'), std::optional<char>('x')}) {
      SCOPED_TRACE(::testing::Message() << mode << " " << first.value_or('-'));
      for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir_.Write("l" + std::to_string(n++), c.bytes);
        const std::int32_t number = Open(path, IntValue(mode));
        ASSERT_NE(number, 0);
        int call = 0;
        for (const Step& step : c.steps) {
          SCOPED_TRACE(call++);
          if (first) {
            OwnedText line(ReadLineUpTo(static_cast<std::uint32_t>(number), kReadLimit, first));
            const bool kept = step.line && step.line->front() == *first;
            EXPECT_EQ(line ? Opt(line.get()) : nullopt, kept ? step.line : nullopt);
          } else {
            EXPECT_EQ(Line(number), step.line);
          }
          EXPECT_EQ(AtEnd(number, BoolValue(true)), step.at_end_stopping);
          EXPECT_EQ(AtEnd(number), step.at_end_plain);
        }
        Close(number);
      }
    }
  }
}

TEST_F(ReadLineTest, RepeatedCallsReachTheEndWhateverTheBytes) {
  // A reader that stops only at the plain end of the file must get there; NUL and 0x1A stay
  // unread by rule, so they are left out here.
  std::string bytes;
  for (int i = 0; i < 3000; ++i) {
    const unsigned char c = static_cast<unsigned char>((i * 7919) % 256);
    bytes.push_back(c == 0 || c == 0x1A ? '\n' : static_cast<char>(c));
    // After "a\n" a new character starts whatever came before, so 81 is a lead byte.
    if (i % 97 == 0) bytes += std::string("a\n\x81\0", 4);
  }
  const std::int32_t number = Open(dir_.Write("mixed", bytes), IntValue(1));
  ASSERT_NE(number, 0);
  int calls = 0;
  while (!AtEnd(number) && calls < 10000) {
    testing::TakeText(CallCore(ReadLine, {IntValue(number)}));
    ++calls;
  }
  EXPECT_LT(calls, 10000);
}

// A file whose reads fail after the first chunk, to watch the failure path.
class FailingFile : public os::File {
 public:
  std::int64_t Read(void* buffer, std::size_t size) override {
    if (reads_++ > 0) return -1;
    std::memset(buffer, 'a', size);
    position_ += static_cast<std::int64_t>(size);
    return static_cast<std::int64_t>(size);
  }
  bool Write(const void*, std::size_t) override { return false; }
  bool Seek(std::uint64_t position) override {
    position_ = static_cast<std::int64_t>(position);
    return true;
  }
  std::int64_t Position() override { return position_; }
  std::int64_t Length() override { return 5000; }
  bool Flush() override { return true; }
  bool Close() override { return true; }

 private:
  int reads_ = 0;
  std::int64_t position_ = 0;
};

TEST_F(ReadLineTest, ReadFailureGivesNullAndTheEnd) {
  const auto number = static_cast<std::int32_t>(
      open_files::Register(std::make_unique<FailingFile>(), open_files::kPlainFile));
  opened_.push_back(number);
  EXPECT_FALSE(AtEnd(number));
  EXPECT_EQ(Line(number), nullopt);
  EXPECT_EQ(open_files::Find(static_cast<std::uint32_t>(number))->Position(), 5000);
  EXPECT_TRUE(AtEnd(number));
  EXPECT_TRUE(AtEnd(number, BoolValue(true)));
}

TEST_F(ReadLineTest, LineLongerThanTheLimitEndsTheReading) {
  const std::string path = dir_.Write("long", Repeat('a', 2000) + "\nnext\n");
  const std::int32_t number = Open(path, IntValue(1));
  ASSERT_NE(number, 0);
  EXPECT_EQ(ReadLineUpTo(static_cast<std::uint32_t>(number), 1000), nullptr);
  EXPECT_TRUE(AtEnd(number));

  const std::int32_t again = Open(path, IntValue(1));
  ASSERT_NE(again, 0);
  OwnedText line(ReadLineUpTo(static_cast<std::uint32_t>(again), 2000));
  EXPECT_EQ(TextLength(line.get()), 2000u);
  EXPECT_EQ(Line(again), "next");
}

}  // namespace
}  // namespace marvane::commands
