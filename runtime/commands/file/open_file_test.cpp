#include <gtest/gtest.h>

#include "runtime/commands/file/file_test_fixture.h"
#include "runtime/values/core.h"

namespace marvane::commands {
namespace {

using testing::Omitted;
using testing::TempDirectory;
using Opt = std::optional<std::string>;

class OpenFileTest : public FileCommandTest {};

TEST_F(OpenFileTest, ModesDecideAccessAndCreation) {
  struct Case {
    ValueRecord mode;
    bool exists;
    bool opens;
    bool readable;
    bool writable;
    Opt after;  // the file's bytes once closed
  };
  const Case cases[] = {
      {Omitted(), true, true, true, true, "old\n"},  // mode 3 by default
      {IntValue(1), true, true, true, false, "old\n"},
      {IntValue(1), false, false, false, false, std::nullopt},
      {IntValue(2), true, true, false, true, "old\n"},
      {IntValue(2), false, false, false, false, std::nullopt},
      {IntValue(3), true, true, true, true, "old\n"},
      {IntValue(3), false, false, false, false, std::nullopt},
      {IntValue(4), true, true, false, true, ""},
      {IntValue(4), false, true, false, true, ""},
      {IntValue(5), true, true, false, true, "old\n"},
      {IntValue(5), false, true, false, true, ""},
      {IntValue(6), true, true, true, true, "old\n"},
      {IntValue(6), false, true, true, true, ""},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << IntOf(c.mode) << " exists " << c.exists);
    const std::string name = "f" + std::to_string(n++);
    const std::string path = c.exists ? dir_.Write(name, "old\n") : dir_ / name;
    const std::int32_t number = Open(path, c.mode);
    EXPECT_EQ(number != 0, c.opens);
    if (number == 0) {
      EXPECT_EQ(TempDirectory::Read(path), c.after);
      continue;
    }
    // Every mode starts at byte 0, so a readable existing file gives its first line.
    EXPECT_EQ(Line(number), c.readable && c.exists ? Opt("old") : std::nullopt);
    os::File* file = open_files::Find(static_cast<std::uint32_t>(number));
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->Seek(static_cast<std::uint64_t>(file->Length())));
    EXPECT_EQ(file->Write("#", 1), c.writable);
    Close(number);
    Opt after = TempDirectory::Read(path);
    if (c.writable && after && !after->empty()) after->pop_back();  // the probe byte
    EXPECT_EQ(after, c.after);
  }
}

TEST_F(OpenFileTest, BadArgumentsOpenAndRegisterNothing) {
  struct Case {
    const char* name;  // inside the directory; "" for the empty name itself
    ValueRecord mode;
    ValueRecord sharing;
  };
  const Case cases[] = {
      {"a", IntValue(0), Omitted()},   {"a", IntValue(7), Omitted()},
      {"a", IntValue(-1), Omitted()},  {"a", IntValue(4), IntValue(0)},
      {"a", IntValue(4), IntValue(5)}, {"a", IntValue(6), IntValue(-3)},
      {"", IntValue(4), Omitted()},
  };
  const std::size_t open_before = open_files::Count();
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << IntOf(c.mode) << "/" << IntOf(c.sharing));
    const std::string path = *c.name ? dir_ / c.name : "";
    EXPECT_EQ(Open(path, c.mode, c.sharing), 0);
    EXPECT_EQ(open_files::Count(), open_before);
    // Modes 4 and 6 would have created it.
    if (*c.name) {
      EXPECT_FALSE(TempDirectory::Read(path).has_value());
    }
  }
}

TEST_F(OpenFileTest, ExclusiveSharingKeepsOthersOut) {
  const std::string path = dir_.Write("held", "data");
  const std::int32_t exclusive = Open(path, IntValue(1), IntValue(4));
  ASSERT_NE(exclusive, 0);
  EXPECT_EQ(Open(path, IntValue(1), IntValue(1)), 0);
  EXPECT_EQ(testing::TakeByteSet(CallCore(ReadWholeFile, {TextArg(path.c_str())})), std::nullopt);
  OwnedByteSet bytes(MakeByteSet("new", 3));
  EXPECT_EQ(CallCore(WriteToFile, {TextArg(path.c_str()), ByteSetArg(bytes.get())}).low, 0u);
  Close(exclusive);

  // A reader that shares everything still holds off an exclusive writer.
  const std::int32_t reader = Open(path, IntValue(1), IntValue(1));
  ASSERT_NE(reader, 0);
  EXPECT_NE(Open(path, IntValue(1), IntValue(3)), 0);
  EXPECT_EQ(CallCore(WriteToFile, {TextArg(path.c_str()), ByteSetArg(bytes.get())}).low, 0u);
  EXPECT_EQ(TempDirectory::Read(path), "data");
  for (std::int32_t number : opened_)
    Close(number);
  EXPECT_EQ(CallCore(WriteToFile, {TextArg(path.c_str()), ByteSetArg(bytes.get())}).low, 1u);
}

TEST_F(OpenFileTest, NumbersNotInTheTableNameNoFile) {
  const std::string path = dir_.Write("a", "x\n");
  const std::int32_t number = Open(path, IntValue(1));
  ASSERT_NE(number, 0);
  Close(number);
  for (std::int32_t unknown : {number, 0, 12345, -1}) {
    SCOPED_TRACE(unknown);
    EXPECT_EQ(Line(unknown), std::nullopt);
    EXPECT_TRUE(AtEnd(unknown));
    EXPECT_TRUE(AtEnd(unknown, BoolValue(true)));
    Close(unknown);  // nothing to do, nothing to break
  }
  EXPECT_EQ(open_files::Count(), 0u);
}

TEST_F(OpenFileTest, EndTestOnlyLooksAtTheNextByteWhenAsked) {
  struct Case {
    const char* bytes;
    std::size_t size;
    bool plain;     // second argument omitted
    bool stopping;  // second argument true
  };
  const Case cases[] = {
      {"", 0, true, true},
      {"a", 1, false, false},
      {"\0a", 2, false, true},
      {"\x1a"
       "a",
       2, false, true},
      {"\n", 1, false, false},
      {"\xB1\xED", 2, false, false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n);
    const std::string path = dir_.Write("e" + std::to_string(n++), std::string(c.bytes, c.size));
    const std::int32_t number = Open(path, IntValue(1));
    ASSERT_NE(number, 0);
    EXPECT_EQ(AtEnd(number), c.plain);
    EXPECT_EQ(AtEnd(number, BoolValue(true)), c.stopping);
    EXPECT_EQ(AtEnd(number, IntValue(2)), c.plain);  // only a payload of 1 asks for the byte
    // Looking ahead does not move the file.
    EXPECT_EQ(open_files::Find(static_cast<std::uint32_t>(number))->Position(), 0);
    Close(number);
  }
}

}  // namespace
}  // namespace marvane::commands
