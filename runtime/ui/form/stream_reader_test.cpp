#include "runtime/ui/form/stream_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace marvane::ui {
namespace {

std::string Raw(std::initializer_list<int> bytes) {
  std::string out;
  for (int b : bytes)
    out.push_back(static_cast<char>(b));
  return out;
}

// Each case runs on the direct reader and on the buffered one, which must agree.
TEST(StreamReader, DecodesAndRefusesShortInput) {
  struct Case {
    const char* name;
    std::string input;
    std::function<void(StreamReader&)> read;  // reads and checks values
    bool ok;
    std::size_t remaining;  // after the reads
  };
  const Case cases[] = {
      {"dword is little-endian", Raw({0x78, 0x56, 0x34, 0x12, 0xFF}),
       [](StreamReader& r) { EXPECT_EQ(r.U32(), 0x12345678u); }, true, 1},
      {"signed dword", Raw({0xFF, 0xFF, 0xFF, 0xFF}),
       [](StreamReader& r) { EXPECT_EQ(r.I32(), -1); }, true, 0},
      {"word and byte", Raw({0x2A, 0x80, 0x07}),
       [](StreamReader& r) {
         EXPECT_EQ(r.U16(), 0x802A);
         EXPECT_EQ(r.U8(), 7);
       },
       true, 0},
      {"dword short by one", Raw({1, 2, 3}), [](StreamReader& r) { EXPECT_EQ(r.U32(), 0u); }, false,
       0},
      {"counted text", Raw({2, 0, 0, 0, 0xB1, 0xA3, 9}),
       [](StreamReader& r) { EXPECT_EQ(r.CountedText(), "\xB1\xA3"); }, true, 1},
      {"empty counted block", Raw({0, 0, 0, 0}),
       [](StreamReader& r) { EXPECT_EQ(r.CountedBlock(), ""); }, true, 0},
      {"counted text longer than the input", Raw({3, 0, 0, 0, 'a', 'b'}),
       [](StreamReader& r) { EXPECT_EQ(r.CountedText(), ""); }, false, 0},
      {"huge counted block", Raw({0xF0, 0xFF, 0xFF, 0xFF, 'a'}),
       [](StreamReader& r) { EXPECT_EQ(r.CountedBlock(), ""); }, false, 0},
      {"zero-ended texts", Raw({'a', 'b', 0, 0, 'c'}),
       [](StreamReader& r) {
         EXPECT_EQ(r.ZeroText(), "ab");
         EXPECT_EQ(r.ZeroText(), "");
       },
       true, 1},
      {"zero-ended text without its 0", Raw({'a', 'b'}),
       [](StreamReader& r) { EXPECT_EQ(r.ZeroText(), ""); }, false, 0},
      {"skip", Raw({1, 2, 3, 4, 5}),
       [](StreamReader& r) {
         r.Skip(3);
         EXPECT_EQ(r.U8(), 4);
       },
       true, 1},
      {"skip past the end", Raw({1, 2}), [](StreamReader& r) { r.Skip(3); }, false, 0},
      {"count that fits", Raw({2, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}),
       [](StreamReader& r) { EXPECT_EQ(r.Count(4), 2u); }, true, 8},
      {"count of records larger than the rest", Raw({3, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}),
       [](StreamReader& r) { EXPECT_EQ(r.Count(4), 0u); }, false, 0},
      {"hostile count", Raw({0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4}),
       [](StreamReader& r) { EXPECT_EQ(r.Count(1), 0u); }, false, 0},
      {"count of empty records still needs a byte each", Raw({5, 0, 0, 0, 1, 2}),
       [](StreamReader& r) { EXPECT_EQ(r.Count(0), 0u); }, false, 0},
      {"short count", Raw({2, 0, 'a', 'b'}),
       [](StreamReader& r) { EXPECT_EQ(r.ShortCount(1), 2u); }, true, 2},
      {"short count escapes to a dword", Raw({0xFF, 0xFF, 1, 0, 0, 0, 'a'}),
       [](StreamReader& r) { EXPECT_EQ(r.ShortCount(1), 1u); }, true, 1},
      {"escaped short count too large", Raw({0xFF, 0xFF, 0xFF, 0xFF, 0, 0}),
       [](StreamReader& r) { EXPECT_EQ(r.ShortCount(1), 0u); }, false, 0},
      {"dword list", Raw({1, 0, 0, 0, 2, 0, 0, 0}),
       [](StreamReader& r) {
         EXPECT_EQ(r.U32s(2), (std::vector<std::uint32_t>{1, 2}));
       },
       true, 0},
      {"dword list short", Raw({1, 0, 0, 0, 2, 0, 0}),
       [](StreamReader& r) { EXPECT_TRUE(r.U32s(2).empty()); }, false, 0},
      {"a failure sticks", Raw({1, 2, 3, 4, 5, 6, 7}),
       [](StreamReader& r) {
         r.Skip(8);
         EXPECT_EQ(r.U8(), 0);  // a byte is there, but the reader has failed
         EXPECT_EQ(r.Rest(), "");
       },
       false, 0},
  };
  for (const Case& c : cases) {
    for (bool buffered : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (buffered ? " (buffered)" : " (direct)"));
      StreamReader r = buffered ? StreamReader::Buffered(c.input) : StreamReader(c.input);
      c.read(r);
      EXPECT_EQ(r.ok(), c.ok);
      EXPECT_EQ(r.remaining(), c.remaining);
    }
  }
}

// Reads that straddle the buffer's refills must see the same bytes as reads straight from memory.
TEST(StreamReader, BufferedReadsAcrossRefills) {
  std::string source;
  for (int i = 0; i < 3 * 4096 + 100; ++i)
    source.push_back(static_cast<char>((i * 7 + i / 251) | 1));
  source[4096 + 3] = '\0';  // ends a zero-ended text just after the first refill
  struct Step {
    enum Kind { kBytes, kU32, kU16, kSkip, kZeroText } kind;
    std::size_t n;
  };
  const std::vector<Step> plans[] = {
      {{Step::kBytes, 4094}, {Step::kU32, 0}, {Step::kU16, 0}, {Step::kBytes, 8000}},
      {{Step::kSkip, 4095}, {Step::kZeroText, 0}, {Step::kU32, 0}, {Step::kSkip, 5000}},
      {{Step::kBytes, 4096}, {Step::kBytes, 4096}, {Step::kBytes, 4096}, {Step::kBytes, 100}},
      {{Step::kSkip, 10}, {Step::kBytes, 9000}, {Step::kSkip, 3000}, {Step::kU16, 0}},
      {{Step::kU16, 0}, {Step::kSkip, 4093}, {Step::kBytes, 5}, {Step::kSkip, 8200}},
  };
  for (std::size_t p = 0; p < std::size(plans); ++p) {
    SCOPED_TRACE("plan " + std::to_string(p));
    StreamReader direct(source);
    StreamReader buffered = StreamReader::Buffered(source);
    for (const Step& step : plans[p]) {
      switch (step.kind) {
        case Step::kBytes:
          EXPECT_EQ(buffered.Bytes(step.n), direct.Bytes(step.n));
          break;
        case Step::kU32:
          EXPECT_EQ(buffered.U32(), direct.U32());
          break;
        case Step::kU16:
          EXPECT_EQ(buffered.U16(), direct.U16());
          break;
        case Step::kSkip:
          buffered.Skip(step.n);
          direct.Skip(step.n);
          break;
        case Step::kZeroText:
          EXPECT_EQ(buffered.ZeroText(), direct.ZeroText());
          break;
      }
      EXPECT_EQ(buffered.position(), direct.position());
      EXPECT_EQ(buffered.remaining(), direct.remaining());
    }
    EXPECT_TRUE(direct.ok());
    EXPECT_TRUE(buffered.ok());
    EXPECT_EQ(buffered.Rest(), direct.Rest());
  }
}

}  // namespace
}  // namespace marvane::ui
