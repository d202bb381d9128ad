// WriteToFile replaces its target whole or not at all, whatever step of the writing fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <regex>
#include <set>
#include <vector>

#include "runtime/commands/file/file_test_fixture.h"
#include "runtime/values/core.h"
#include "tests/support/failing_files.h"
#include "tests/support/forwarding_files.h"

namespace marvane::commands {
namespace {

using testing::FailingFiles;
using testing::TempDirectory;
using Fault = FailingFiles::Fault;

class SafeSaveTest : public FileCommandTest {
 protected:
  // Saves bytes to the name through the file system given; the command's answer.
  bool Save(os::FileSystem* files, const std::string& path, std::string_view bytes) {
    os::Services services = os::Current();
    services.files = files;
    os::ScopedServices installed(services);
    OwnedByteSet set(MakeByteSet(bytes.data(), bytes.size()));
    return CallCore(WriteToFile, {TextArg(path.c_str()), ByteSetArg(set.get())}).low != 0;
  }
  std::set<std::string> Names() const { return Names(dir_.path()); }
  static std::set<std::string> Names(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
      names.insert(entry.path().filename().string());
    return names;
  }
};

TEST_F(SafeSaveTest, AFailedStepKeepsTheOldFileAndLeavesNothingBehind) {
  const std::string big(256 * 1024, 'n');  // large enough that half of it is a real write
  struct Case {
    const char* name;
    Fault fault;
    bool had_file;  // a previous list exists
    bool answer;
  };
  const Case cases[] = {
      {"no fault", Fault::kNone, true, true},
      {"no fault, new file", Fault::kNone, false, true},
      {"cannot create", Fault::kCreate, true, false},
      {"disk full", Fault::kWrite, true, false},
      {"disk full, new file", Fault::kWrite, false, false},
      {"flush fails", Fault::kFlush, true, false},
      {"close fails", Fault::kClose, true, false},
      {"replace fails", Fault::kReplace, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string target = dir_ / "mac_sample.txt";
    std::filesystem::remove(target);
    if (c.had_file) dir_.Write("mac_sample.txt", "old list");
    FailingFiles files(c.fault);
    EXPECT_EQ(Save(&files, target, big), c.answer);
    std::optional<std::string> now = TempDirectory::Read(target);
    if (c.answer) {
      EXPECT_EQ(now, big);
    } else if (c.had_file) {
      EXPECT_EQ(now, "old list");
    } else {
      EXPECT_EQ(now, std::nullopt);
    }
    // Only the target, if anything: a temporary file never outlives the save.
    const bool target_there = c.answer || c.had_file;
    EXPECT_EQ(Names(),
              target_there ? std::set<std::string>{"mac_sample.txt"} : std::set<std::string>{});
  }
  EXPECT_EQ(open_files::Count(), 0u);
}

// The target is opened for writing only to learn that it could be (it is never written or
// emptied), and the new file, beside it under a name of the process's own, reaches storage before
// it takes the target's place.
TEST_F(SafeSaveTest, DataIsFlushedBeforeTheTargetIsReplaced) {
  const std::string target = dir_.Write("mac_sample.txt", "old list");
  FailingFiles files(Fault::kNone);
  ASSERT_TRUE(Save(&files, target, "new list"));
  ASSERT_EQ(files.steps().size(), 6u);
  const std::string temporary = files.steps()[1].substr(std::strlen("open "));
  EXPECT_EQ(temporary.rfind(target + ".", 0), 0u);
  EXPECT_TRUE(
      std::regex_match(temporary.substr(target.size()),
                       std::regex(R"(\.1\.[0-9]+\.saving)")));  // the fixture's process is 1
  const std::vector<std::string> expected = {
      "open " + target, "open " + temporary,
      "write",          "flush",
      "close",          "replace " + temporary + " " + target};
  EXPECT_EQ(files.steps(), expected);
}

// The build's file system with one file that may not be written, as a POSIX file without write
// permission: it opens for reading only, yet the directory would let another file take its name.
class UnwritableFile final : public testing::ForwardingFiles {
 public:
  explicit UnwritableFile(std::string path) : path_(std::move(path)) {}
  std::unique_ptr<os::File> Open(std::string_view path, os::Access access, os::Creation creation,
                                 os::Share share) override {
    if (path == path_ && access != os::Access::kRead) return nullptr;
    return ForwardingFiles::Open(path, access, creation, share);
  }

 private:
  std::string path_;
};

// A target that could not be written in place (read-only) is not replaced either.
TEST_F(SafeSaveTest, AnUnwritableTargetIsKept) {
  const std::string target = dir_.Write("mac_sample.txt", "old list");
  UnwritableFile files(target);
  EXPECT_FALSE(Save(&files, target, "new list"));
  EXPECT_EQ(TempDirectory::Read(target), "old list");
  EXPECT_EQ(Names(), std::set<std::string>{"mac_sample.txt"});
}

// The build's file system where the first names a save tries for its temporary file are taken by
// the time it tries them, as a run that crashed, or another save, would leave them.
class TakenNames final : public testing::ForwardingFiles {
 public:
  explicit TakenNames(bool folders) : folders_(folders) {}
  std::unique_ptr<os::File> Open(std::string_view path, os::Access access, os::Creation creation,
                                 os::Share share) override {
    if (creation == os::Creation::kCreateNew && taken_.size() < 2) {
      const std::string name(path);
      if (folders_) {
        std::filesystem::create_directory(name);
      } else {
        if (std::FILE* f = std::fopen(name.c_str(), "wb")) {
          std::fputs("half a list", f);
          std::fclose(f);
        }
      }
      taken_.push_back(name);
    }
    return ForwardingFiles::Open(path, access, creation, share);
  }
  const std::vector<std::string>& taken() const { return taken_; }

 private:
  bool folders_;
  std::vector<std::string> taken_;
};

// Leftovers under the temporary names, and under the one name saves once all took, neither block
// the save nor are touched by it.
TEST_F(SafeSaveTest, LeftoverTemporaryFilesAndFoldersDoNotBlockTheSave) {
  for (bool folders : {false, true}) {
    SCOPED_TRACE(folders ? "folders" : "files");
    TempDirectory dir;
    const std::string target = dir.Write("mac_sample.txt", "old list");
    const std::string fixed_name = std::string("mac_sample.txt") + kSaveSuffix;
    if (folders) {
      ASSERT_TRUE(std::filesystem::create_directory(dir / fixed_name));
    } else {
      dir.Write(fixed_name, "half a list");
    }
    TakenNames files(folders);
    EXPECT_TRUE(Save(&files, target, "new"));
    EXPECT_EQ(TempDirectory::Read(target), "new");
    ASSERT_EQ(files.taken().size(), 2u);
    std::set<std::string> expected = {"mac_sample.txt", fixed_name};
    for (const std::string& taken : files.taken()) {
      expected.insert(std::filesystem::path(taken).filename().string());
      if (!folders) {
        EXPECT_EQ(TempDirectory::Read(taken), "half a list");
      }
    }
    EXPECT_EQ(Names(dir.path()), expected);
  }
}

}  // namespace
}  // namespace marvane::commands
