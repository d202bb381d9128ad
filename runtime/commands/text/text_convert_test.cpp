#include <gtest/gtest.h>

#include <cstring>

#include "runtime/commands/text/text_commands.h"
#include "tests/support/runtime_fixture.h"
#include "tests/support/values_helpers.h"

namespace marvane::commands {
namespace {

using std::nullopt;
using testing::Gbk;
using testing::TakeByteSet;
using testing::TakeText;
using Opt = std::optional<std::string>;

class TextConvertTest : public testing::RuntimeTest {
 protected:
  // A one-dimensional numeric array block on the runtime heap.
  template <typename T>
  void* NumericArray(std::initializer_list<T> values) {
    auto block = static_cast<char*>(Allocate(8 + sizeof(T) * values.size()));
    const std::uint32_t header[2] = {1, static_cast<std::uint32_t>(values.size())};
    std::memcpy(block, header, 8);
    std::size_t i = 0;
    for (T v : values)
      std::memcpy(block + 8 + sizeof(T) * i++, &v, sizeof(T));
    return block;
  }
};

TEST_F(TextConvertTest, ToTextOfBasicValues) {
  float f = 1.5f;
  std::uint32_t fbits;
  std::memcpy(&fbits, &f, 4);
  struct Case {
    ValueRecord value;
    Opt expected;
  };
  const Case cases[] = {
      {IntValue(5), "5"},
      {IntValue(-12), "-12"},
      {IntValue(0), "0"},
      {{0x1FF, 0, type::kByte}, "255"},
      {{0xFFFF, 0, type::kShort}, "-1"},
      {LongValue(-9000000000LL), "-9000000000"},
      {{fbits, 0, type::kFloat}, "1.5"},
      {DoubleValue(0.1), "0.1"},
      {DoubleValue(1.0 / 3), "0.3333333333333"},
      {BoolValue(true), Gbk("真")},
      {{7, 0, type::kBool}, Gbk("真")},
      {BoolValue(false), Gbk("假")},
      {TextArg("x"), "x"},
      {TextArg(""), nullopt},
      {ByteSetArg(nullptr), nullopt},
      {{0, 0, type::kWindow}, nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TakeText(CallCore(ToText, {c.value})), c.expected) << c.value.type;
  }
}

TEST_F(TextConvertTest, ToTextOfBytesStopsAtNul) {
  OwnedByteSet set(MakeByteSet("ab\0cd", 5));
  EXPECT_EQ(TakeText(CallCore(ToText, {ByteSetArg(set.get())})), "ab");
  OwnedByteSet nul_first(MakeByteSet("\0ab", 3));
  EXPECT_EQ(TakeText(CallCore(ToText, {ByteSetArg(nul_first.get())})), nullopt);
  OwnedByteSet no_nul(MakeByteSet("xyz", 3));
  EXPECT_EQ(TakeText(CallCore(ToText, {ByteSetArg(no_nul.get())})), "xyz");

  OwnedByteSet bytes(NumericArray<std::uint8_t>({'h', 'i', 0, 'x'}));
  EXPECT_EQ(TakeText(CallCore(ToText, {PointerValue(bytes.get(), type::kByte | type::kArrayFlag)})),
            "hi");
  OwnedByteSet ints(NumericArray<std::int32_t>({0x434241}));
  EXPECT_EQ(TakeText(CallCore(ToText, {PointerValue(ints.get(), type::kInt | type::kArrayFlag)})),
            "ABC");
}

TEST_F(TextConvertTest, ToTextOfDateTimeIsReadable) {
  // 2 = 1900-01-01; .5 = noon.
  EXPECT_EQ(TakeText(CallCore(ToText, {ValueRecord{DoubleValue(2.5).low, DoubleValue(2.5).high,
                                                   type::kDateTime}})),
            "1900-01-01 12:00:00");
}

TEST_F(TextConvertTest, ToByteSet) {
  struct Case {
    ValueRecord value;
    Opt expected;
  };
  const Case cases[] = {
      {TextArg(""), nullopt},
      {TextArg("ab"), "ab"},
      {IntValue(1), std::string("\x01\0\0\0", 4)},
      {{0x1234, 0, type::kByte}, "\x34"},
      {{0x1234, 0, type::kShort}, "\x34\x12"},
      {LongValue(1), std::string("\x01\0\0\0\0\0\0\0", 8)},
      {BoolValue(true), std::string("\x01\0\0\0", 4)},
      {{1, 2, type::kDateTime}, std::string("\x01\0\0\0\x02\0\0\0", 8)},
      {{0, 0, type::kWindow}, nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TakeByteSet(CallCore(ToByteSet, {c.value})), c.expected) << c.value.type;
  }
  OwnedByteSet set(MakeByteSet("a\0b", 3));
  ValueRecord copy = CallCore(ToByteSet, {ByteSetArg(set.get())});
  EXPECT_NE(PointerOf(copy), set.get());
  EXPECT_EQ(TakeByteSet(copy), std::string("a\0b", 3));

  OwnedByteSet shorts(NumericArray<std::int16_t>({1, 2}));
  EXPECT_EQ(TakeByteSet(
                CallCore(ToByteSet, {PointerValue(shorts.get(), type::kShort | type::kArrayFlag)})),
            std::string("\x01\0\x02\0", 4));
  OwnedTextArray texts(NewTextArray(1));
  EXPECT_EQ(
      TakeByteSet(CallCore(ToByteSet, {PointerValue(texts.get(), type::kText | type::kArrayFlag)})),
      nullopt);
}

}  // namespace
}  // namespace marvane::commands
