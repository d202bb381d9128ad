#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>

#include "runtime/commands/file/file_test_fixture.h"
#include "runtime/values/core.h"

namespace marvane::commands {
namespace {

using testing::TakeByteSet;
using testing::TempDirectory;
using Opt = std::optional<std::string>;
using std::nullopt;

class WholeFileTest : public FileCommandTest {
 protected:
  Opt ReadWhole(const std::string& path) {
    return TakeByteSet(CallCore(ReadWholeFile, {TextArg(path.c_str())}));
  }
  bool Exists(const std::string& path) {
    return CallCore(FileExists, {TextArg(path.c_str())}).low != 0;
  }
};

TEST_F(WholeFileTest, ReadWholeFile) {
  ASSERT_TRUE(std::filesystem::create_directory(dir_ / "dir"));
  const std::string binary("a\0b\x1a\xff\r\n", 7);
  struct Case {
    std::string path;
    Opt expected;
  };
  const Case cases[] = {
      {dir_.Write("text", "abc"), "abc"},
      {dir_.Write("binary", binary), binary},
      {dir_.Write("empty", ""), nullopt},
      {dir_ / "missing", nullopt},
      {dir_ / "dir", nullopt},
      {"", nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ReadWhole(c.path), c.expected);
  }
  EXPECT_EQ(open_files::Count(), 0u);
}

TEST_F(WholeFileTest, FilesAboveTheLimitAreRefused) {
  const std::string path = dir_.Write("four", "abcd");
  struct Case {
    std::uint64_t limit;
    Opt expected;
  };
  const Case cases[] = {{5, "abcd"}, {4, "abcd"}, {3, nullopt}, {0, nullopt}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.limit);
    EXPECT_EQ(TakeByteSet(PointerValue(ReadWholeFileUpTo(path.c_str(), c.limit), type::kByteSet)),
              c.expected);
  }
}

TEST_F(WholeFileTest, OversizedFileIsRefusedWithoutAllocatingIt) {
  // A sparse file one byte over the limit costs no disk space.
  const std::string path = dir_ / "huge";
  const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kReadLimit + 1)), 0);
  ::close(fd);
  heap_.set_largest(1 << 20);  // any attempt to hold the file would end the program
  EXPECT_EQ(RunToEnd([&] { EXPECT_EQ(ReadWhole(path), nullopt); }), nullopt);
  EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(WholeFileTest, FileExists) {
  dir_.Write("a.txt", "x");
  ASSERT_TRUE(std::filesystem::create_directory(dir_ / "dir"));
  struct Case {
    std::string path;
    bool expected;
  };
  const Case cases[] = {
      {dir_ / "a.txt", true},  {dir_.path() + "\\a.txt", true},
      {dir_ / "b.txt", false}, {dir_ / "dir", true},
      {dir_ / "*.txt", true},  {dir_ / "*.ini", false},
      {dir_ / "?.txt", true},  {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(Exists(c.path), c.expected);
  }
}

TEST_F(WholeFileTest, WriteToFile) {
  OwnedByteSet ab(MakeByteSet("ab", 2));
  OwnedByteSet nul(MakeByteSet("\0\r\n", 3));
  struct Case {
    const char* name;
    std::vector<ValueRecord> sets;
    bool answer;
    Opt after;
  };
  const Case cases[] = {
      {"one", {ByteSetArg(ab.get())}, true, "ab"},
      {"several",
       {ByteSetArg(ab.get()), ByteSetArg(nullptr), ByteSetArg(nul.get())},
       true,
       std::string("ab\0\r\n", 5)},
      {"empty set", {ByteSetArg(nullptr)}, true, ""},
      {"no set", {}, true, ""},
      {"longer before", {ByteSetArg(ab.get())}, true, "ab"},
      // Not a byte set: refused before the file is touched.
      {"text given", {ByteSetArg(ab.get()), TextArg("x")}, false, "previous contents"},
      {"missing/dir", {ByteSetArg(ab.get())}, false, nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = dir_ / c.name;
    if (std::string(c.name) == "longer before") dir_.Write(c.name, "a much longer old file");
    if (std::string(c.name) == "text given") dir_.Write(c.name, "previous contents");
    std::vector<ValueRecord> args = {TextArg(path.c_str())};
    args.insert(args.end(), c.sets.begin(), c.sets.end());
    ValueRecord r =
        CallCoreCommand(WriteToFile, static_cast<std::int32_t>(args.size()), args.data());
    EXPECT_EQ(r.type, type::kBool);
    EXPECT_EQ(r.low != 0, c.answer);
    EXPECT_EQ(TempDirectory::Read(path), c.after);
  }
  EXPECT_EQ(CallCore(WriteToFile, {TextArg(""), ByteSetArg(ab.get())}).low, 0u);
}

}  // namespace
}  // namespace marvane::commands
