// WriteToFile replaces its target whole or not at all, whatever step of the writing fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "runtime/commands/file/file_test_fixture.h"
#include "runtime/values/core.h"
#include "tests/support/failing_files.h"

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
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
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
// emptied), and the new file reaches storage before it takes the target's place.
TEST_F(SafeSaveTest, DataIsFlushedBeforeTheTargetIsReplaced) {
  const std::string target = dir_.Write("mac_sample.txt", "old list");
  const std::string temporary = target + kSaveSuffix;
  FailingFiles files(Fault::kNone);
  ASSERT_TRUE(Save(&files, target, "new list"));
  const std::vector<std::string> expected = {
      "open " + target, "open " + temporary,
      "write",          "flush",
      "close",          "replace " + temporary + " " + target};
  EXPECT_EQ(files.steps(), expected);
}

// The build's file system with one file that may not be written, as a POSIX file without write
// permission: it opens for reading only, yet the directory would let another file take its name.
class UnwritableFile final : public os::FileSystem {
 public:
  explicit UnwritableFile(std::string path) : path_(std::move(path)) {}
  std::unique_ptr<os::File> Open(std::string_view path, os::Access access, os::Creation creation,
                                 os::Share share) override {
    if (path == path_ && access != os::Access::kRead) return nullptr;
    return base_->Open(path, access, creation, share);
  }
  bool FindFirst(std::string_view pattern) override { return base_->FindFirst(pattern); }
  bool Identify(std::string_view path, os::FileIdentity* identity) override {
    return base_->Identify(path, identity);
  }
  bool Remove(std::string_view path) override { return base_->Remove(path); }
  bool Replace(std::string_view source, std::string_view target) override {
    return base_->Replace(source, target);
  }

 private:
  std::string path_;
  os::FileSystem* base_ = os::DefaultServices().files;
};

// A target that could not be written in place (read-only) is not replaced either.
TEST_F(SafeSaveTest, AnUnwritableTargetIsKept) {
  const std::string target = dir_.Write("mac_sample.txt", "old list");
  UnwritableFile files(target);
  EXPECT_FALSE(Save(&files, target, "new list"));
  EXPECT_EQ(TempDirectory::Read(target), "old list");
  EXPECT_EQ(Names(), std::set<std::string>{"mac_sample.txt"});
}

TEST_F(SafeSaveTest, ATemporaryFileLeftByACrashIsReused) {
  const std::string target = dir_.Write("mac_sample.txt", "old list");
  dir_.Write(std::string("mac_sample.txt") + kSaveSuffix, "half a list from an earlier crash");
  FailingFiles files(Fault::kNone);
  EXPECT_TRUE(Save(&files, target, "new"));
  EXPECT_EQ(TempDirectory::Read(target), "new");
  EXPECT_EQ(Names(), std::set<std::string>{"mac_sample.txt"});
}

}  // namespace
}  // namespace marvane::commands
