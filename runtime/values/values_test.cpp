#include "runtime/values/values.h"

#include <gtest/gtest.h>

#include <cstring>

#include "runtime/values/heap.h"
#include "tests/support/runtime_fixture.h"

namespace marvane {
namespace {

using ValuesTest = testing::RuntimeTest;

TEST_F(ValuesTest, ConstructorsGiveNullForEmptyInput) {
  EXPECT_EQ(MakeText(static_cast<const char*>(nullptr)), nullptr);
  EXPECT_EQ(MakeText(""), nullptr);
  EXPECT_EQ(MakeTextFromBytes("abc", 0), nullptr);
  EXPECT_EQ(MakeTextFromBytes("abc", -1), nullptr);
  EXPECT_EQ(MakeByteSet("abc", 0), nullptr);
}

TEST_F(ValuesTest, TextIsANewNulTerminatedCopy) {
  const char source[] = "ab\0cd";
  OwnedText text(MakeTextFromBytes(source, 2));
  ASSERT_NE(text.get(), nullptr);
  EXPECT_NE(text.get(), source);
  EXPECT_STREQ(text.get(), "ab");
  OwnedText copy(MakeText(text.get()));
  EXPECT_NE(copy.get(), text.get());
  EXPECT_STREQ(copy.get(), "ab");
}

TEST_F(ValuesTest, ByteSetTakenOverAsTextEndsAtItsFirstNul) {
  struct Case {
    std::string_view bytes;
    const char* text;  // null: the empty text
  };
  const Case cases[] = {
      {std::string_view("abc", 3), "abc"},
      {std::string_view("ab\0cd", 5), "ab"},
      {std::string_view("\0ab", 3), nullptr},
      {std::string_view("\xB0\xA1\x1A", 3), "\xB0\xA1\x1A"},
  };
  for (const Case& c : cases) {
    // LeakSanitizer in the sanitizer build proves the set's block is the text's, or freed.
    OwnedText text(TextFromOwnedByteSet(MakeByteSet(c.bytes.data(), c.bytes.size())));
    if (c.text) {
      EXPECT_STREQ(text.get(), c.text) << c.bytes;
    } else {
      EXPECT_EQ(text.get(), nullptr) << c.bytes;
    }
  }
  EXPECT_EQ(TextFromOwnedByteSet(nullptr), nullptr);
}

TEST_F(ValuesTest, ByteSetLayoutIsCountLengthBytes) {
  OwnedByteSet set(MakeByteSet("a\0b", 3));
  std::uint32_t header[2];
  std::memcpy(header, set.get(), sizeof header);
  EXPECT_EQ(header[0], 1u);
  EXPECT_EQ(header[1], 3u);
  EXPECT_EQ(ByteSetView(set.get()), std::string_view("a\0b", 3));
}

TEST_F(ValuesTest, EmptyTextArrayIsAnEightByteBlock) {
  OwnedTextArray array(NewTextArray(0));
  ASSERT_NE(array.get(), nullptr);
  std::uint32_t header[2];
  std::memcpy(header, array.get(), sizeof header);
  EXPECT_EQ(header[0], 1u);
  EXPECT_EQ(header[1], 0u);
  EXPECT_EQ(ArrayCount(array.get()), 0u);
}

TEST_F(ValuesTest, TextArrayOwnsItsElements) {
  // LeakSanitizer in the sanitizer build proves the elements are freed with the array.
  OwnedTextArray array(NewTextArray(3));
  Text* slots = TextArrayElements(array.get());
  EXPECT_EQ(slots[0], nullptr);
  slots[0] = MakeText("a");
  slots[2] = MakeText("c");
  EXPECT_EQ(ArrayCount(array.get()), 3u);
}

TEST_F(ValuesTest, StaticEmptiesAreConstantAndNeverFreed) {
  EXPECT_STREQ(StaticEmptyText(), "");
  EXPECT_EQ(ByteSetLength(StaticEmptyByteSet()), 0u);
  EXPECT_TRUE(IsConstant(StaticEmptyText()));
  Free(const_cast<char*>(StaticEmptyText()));  // must be a no-op
  Free(nullptr);
  EXPECT_STREQ(StaticEmptyText(), "");
}

TEST_F(ValuesTest, ReallocateOfConstantCopiesToTheHeap) {
  static const char constants[] = "hello\0world";
  SetConstantRange(constants, sizeof constants);
  void* block = Reallocate(const_cast<char*>(constants + 6), 32);
  EXPECT_NE(block, constants + 6);
  EXPECT_FALSE(IsConstant(block));
  // Only the bytes up to the end of the constant data are copied.
  EXPECT_EQ(std::memcmp(block, "world", 6), 0);
  Free(block);
  Free(const_cast<char*>(constants));  // inside the range: left alone
  EXPECT_STREQ(constants, "hello");
  SetConstantRange(nullptr, 0);
}

TEST_F(ValuesTest, ReallocateKeepsContents) {
  auto block = static_cast<char*>(Allocate(4));
  std::memcpy(block, "abc", 4);
  block = static_cast<char*>(Reallocate(block, 4096));
  EXPECT_STREQ(block, "abc");
  Free(block);
  void* fresh = Reallocate(nullptr, 8);
  EXPECT_NE(fresh, nullptr);
  Free(fresh);
}

TEST_F(ValuesTest, AllocationFailureIsTheFatalReport) {
  heap_.set_largest(1000);
  auto code = RunToEnd([] { Allocate(1048576); });
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, -1);
  ASSERT_EQ(dialogs_.shown().size(), 1u);
  EXPECT_EQ(
      dialogs_.shown()[0].text,
      testing::Gbk("运行时出错!\r\n\r\n错误信息：分配 1048576 字节内存失败!\r\n\r\n0, 0\r\n"));
  EXPECT_EQ(dialogs_.shown()[0].caption, testing::Gbk("错误"));
  EXPECT_EQ(dialogs_.shown()[0].style, 0x10u);
  EXPECT_EQ(dialogs_.shown()[0].owner, 0u);
}

TEST_F(ValuesTest, ReallocationFailureIsFatalToo) {
  void* block = Allocate(16);
  heap_.set_largest(100);
  auto code = RunToEnd([&] { block = Reallocate(block, 5000); });
  EXPECT_EQ(code, -1);
  EXPECT_NE(dialogs_.shown().at(0).text.find("5000"), std::string::npos);
  heap_.set_largest(static_cast<std::size_t>(-1));
  Free(block);  // a failed reallocation leaves the block as it was
}

TEST(ValueRecordTest, PointerPayloadRoundTrips) {
  int x = 0;
  ValueRecord r = PointerValue(&x, type::kText);
  EXPECT_EQ(PointerOf(r), &x);
  if (sizeof(void*) == 4) {
    EXPECT_EQ(r.high, 0u);
  }
}

TEST(ValueRecordTest, TypeClasses) {
  struct Case {
    std::uint32_t code;
    bool basic, numeric, array, library;
  };
  const Case cases[] = {
      {type::kByte, true, true, false, false},
      {type::kDouble, true, true, false, false},
      {type::kText, true, false, false, false},
      {type::kBool, true, false, false, false},
      {type::kInt | type::kArrayFlag, true, true, true, false},
      {type::kText | type::kArrayFlag, true, false, true, false},
      {type::kWindow, false, false, false, true},
      {type::kXmlTree, false, false, false, true},
      {0x40000001, false, false, false, false},
      {0, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(type::IsBasic(c.code), c.basic);
    EXPECT_EQ(type::IsNumeric(c.code), c.numeric);
    EXPECT_EQ(type::IsArray(c.code), c.array);
    EXPECT_EQ(type::IsLibraryDefined(c.code), c.library);
  }
  EXPECT_EQ(type::NumericSize(type::kLong), 8);
  EXPECT_EQ(type::NumericSize(type::kFloat), 4);
}

}  // namespace
}  // namespace marvane
