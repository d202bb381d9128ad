#include "platform/posix/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>

#include "tests/support/temp_directory.h"

namespace marvane::os::posix {
namespace {

using testing::TempDirectory;

class PosixFileSystemTest : public ::testing::Test {
 protected:
  std::unique_ptr<File> Open(const std::string& path, Access access, Creation creation,
                             Share share = Share::kReadWrite) {
    return files_.Open(path, access, creation, share);
  }

  PosixFileSystem files_;
  TempDirectory dir_;
};

TEST_F(PosixFileSystemTest, ReadWriteSeekAndLength) {
  auto file = Open(dir_ / "a", Access::kReadWrite, Creation::kOpenAlways);
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(file->Write("hello world", 11));
  EXPECT_EQ(file->Position(), 11);
  EXPECT_EQ(file->Length(), 11);
  ASSERT_TRUE(file->Seek(6));
  char buffer[16] = {};
  EXPECT_EQ(file->Read(buffer, sizeof buffer), 5);  // short only at the end of the file
  EXPECT_EQ(std::string(buffer, 5), "world");
  EXPECT_EQ(file->Read(buffer, sizeof buffer), 0);
  EXPECT_TRUE(file->Flush());
  EXPECT_TRUE(file->Close());
  // A closed file refuses everything instead of touching a reused descriptor.
  EXPECT_EQ(file->Read(buffer, 1), -1);
  EXPECT_FALSE(file->Write("x", 1));
  EXPECT_FALSE(file->Seek(0));
  EXPECT_EQ(file->Position(), -1);
  EXPECT_EQ(file->Length(), -1);
  EXPECT_FALSE(file->Close());
}

TEST_F(PosixFileSystemTest, ExclusiveSharingAmongOurOpens) {
  struct Case {
    Share first;
    Share second;
    bool second_opens;
  };
  const Case cases[] = {
      {Share::kReadWrite, Share::kReadWrite, true}, {Share::kReadOnly, Share::kReadOnly, true},
      {Share::kWriteOnly, Share::kReadWrite, true}, {Share::kReadWrite, Share::kNone, false},
      {Share::kReadOnly, Share::kNone, false},      {Share::kNone, Share::kReadWrite, false},
      {Share::kNone, Share::kNone, false},
  };
  std::string path = dir_.Write("s", "data");
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.first) * 10 + static_cast<int>(c.second));
    auto first = Open(path, Access::kRead, Creation::kOpenExisting, c.first);
    ASSERT_NE(first, nullptr);
    auto second = Open(path, Access::kRead, Creation::kOpenExisting, c.second);
    EXPECT_EQ(second != nullptr, c.second_opens);
    second.reset();
    first.reset();
    // Closing gives the file back.
    EXPECT_NE(Open(path, Access::kRead, Creation::kOpenExisting, Share::kNone), nullptr);
  }
}

TEST_F(PosixFileSystemTest, ExclusiveOpenHoldsOffAnotherProcess) {
  std::string path = dir_.Write("x", "data");
  auto held = Open(path, Access::kRead, Creation::kOpenExisting, Share::kNone);
  ASSERT_NE(held, nullptr);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    PosixFileSystem files;
    bool refused = !files.Open(path, Access::kRead, Creation::kOpenExisting, Share::kReadWrite);
    ::_exit(refused ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(PosixFileSystemTest, OnlyRegularFilesOpen) {
  ASSERT_EQ(::mkdir((dir_ / "d").c_str(), 0755), 0);
  EXPECT_EQ(Open(dir_ / "d", Access::kRead, Creation::kOpenExisting), nullptr);
  EXPECT_EQ(Open(dir_ / "d", Access::kWrite, Creation::kOpenAlways), nullptr);
  // A FIFO without a writer would block a plain open for ever.
  ASSERT_EQ(::mkfifo((dir_ / "p").c_str(), 0644), 0);
  auto opened = std::async(std::launch::async, [&] {
    return Open(dir_ / "p", Access::kRead, Creation::kOpenExisting) != nullptr;
  });
  ASSERT_EQ(opened.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_FALSE(opened.get());
  EXPECT_EQ(Open("", Access::kRead, Creation::kOpenAlways), nullptr);
}

TEST_F(PosixFileSystemTest, BackslashSeparatesButNotInsideACharacter) {
  ASSERT_EQ(::mkdir((dir_ / "sub").c_str(), 0755), 0);
  // 81 5C is one GBK character, 乗, whose trail byte is the backslash.
  std::string runtime_path = dir_.path() + "\\sub\\\x81\x5C.txt";
  auto file = Open(runtime_path, Access::kWrite, Creation::kCreateAlways);
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(file->Write("z", 1));
  file.reset();
  EXPECT_EQ(TempDirectory::Read(dir_ / "sub/乗.txt"), "z");
}

TEST_F(PosixFileSystemTest, FindFirst) {
  dir_.Write("a.txt", "");
  dir_.Write("表.txt", "");  // one Chinese character, three bytes, before the dot
  ASSERT_EQ(::mkdir((dir_ / "sub").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((dir_ / "empty").c_str(), 0755), 0);
  struct Case {
    const char* pattern;  // inside the directory
    bool found;
  };
  const Case cases[] = {
      {"a.txt", true},
      {"b.txt", false},
      {"A.TXT", false},  // names keep their letter case here
      {"sub", true},
      {"sub/", false},
      {"sub\\", false},
      {"*.txt", true},
      {"*.ini", false},
      {"?.txt", true},
      {"\?\?.txt", false},  // the Chinese name is one character, "a" is one
      {"a*", true},
      {"*a*t", true},
      {"*z*", false},
      {"sub\\*", true},  // "." and ".." are entries, as in every directory
      {"empty/*.txt", false},
      {"missing/*", false},
      {"missing/a.txt", false},
      {"[a].txt", false},  // brackets are plain bytes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(files_.FindFirst(dir_.path() + "\\" + c.pattern), c.found);
  }
  EXPECT_FALSE(files_.FindFirst(""));
  dir_.Write("[a].txt", "");
  EXPECT_TRUE(files_.FindFirst(dir_ / "[a]*"));
}

// The kernel's names are UTF-8: a GBK path reaches the file of that name in UTF-8, and bytes that
// are no GBK name no file at all.
TEST_F(PosixFileSystemTest, GbkPathsNameUtf8Files) {
  ASSERT_EQ(::mkdir((dir_ / "目录").c_str(), 0755), 0);
  struct Case {
    const char* path;    // GBK, inside the directory
    const char* native;  // the file it names, or null for none
  };
  const Case cases[] = {
      {"\xC1\xD0\xB1\xED.ini", "列表.ini"},
      {"\xC4\xBF\xC2\xBC\\list.ini", "目录/list.ini"},
      {"\xC4\xBF\xC2\xBC\\\xC1\xD0\xB1\xED.ini", "目录/列表.ini"},
      {"\x81\x20.ini", nullptr},  // an invalid byte pair
      {"\xC1\xD0\xB1", nullptr},  // a lead byte without its trail byte
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const std::string path = dir_.path() + "\\" + c.path;
    const bool names = c.native != nullptr;
    auto file = Open(path, Access::kWrite, Creation::kCreateAlways);
    ASSERT_EQ(file != nullptr, names);
    if (file) {
      ASSERT_TRUE(file->Write("x", 1));
      file.reset();
      EXPECT_EQ(TempDirectory::Read(dir_ / c.native), "x");
    }
    EXPECT_EQ(files_.FindFirst(path), names);
    FileIdentity identity;
    EXPECT_EQ(files_.Identify(path, &identity), names);
    EXPECT_EQ(files_.Remove(path), names);
  }
  // No file was made under the GBK bytes themselves.
  EXPECT_TRUE(std::filesystem::is_empty(dir_ / "目录"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

TEST_F(PosixFileSystemTest, IdentityFollowsTheFile) {
  std::string a = dir_.Write("a", "one");
  std::string b = dir_.Write("b", "one");
  FileIdentity first, again, other;
  ASSERT_TRUE(files_.Identify(a, &first));
  ASSERT_TRUE(files_.Identify(a, &again));
  ASSERT_TRUE(files_.Identify(b, &other));
  EXPECT_EQ(first, again);
  EXPECT_EQ(first.size, 3u);
  EXPECT_NE(first.file, other.file);

  dir_.Write("a", "three");
  ASSERT_TRUE(files_.Identify(a, &again));
  EXPECT_NE(first, again);
  EXPECT_EQ(again.size, 5u);
  EXPECT_FALSE(files_.Identify(dir_ / "missing", &again));
}

TEST_F(PosixFileSystemTest, RemoveAndReplace) {
  std::string source = dir_.Write("new", "fresh");
  std::string target = dir_.Write("old", "stale");
  EXPECT_TRUE(files_.Replace(source, target));
  EXPECT_EQ(TempDirectory::Read(target), "fresh");
  EXPECT_EQ(TempDirectory::Read(source), std::nullopt);
  EXPECT_FALSE(files_.Replace(source, target));
  EXPECT_EQ(TempDirectory::Read(target), "fresh");

  EXPECT_TRUE(files_.Remove(target));
  EXPECT_EQ(TempDirectory::Read(target), std::nullopt);
  EXPECT_FALSE(files_.Remove(target));
}

}  // namespace
}  // namespace marvane::os::posix
