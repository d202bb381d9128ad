#include "runtime/commands/profile/profile_cache.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace marvane::profile {
namespace {

constexpr std::int64_t kSecond = 1'000'000'000;

// Files in memory, with identities the test sets, counting the opens.
class FakeFiles : public os::FileSystem {
 public:
  struct Stored {
    std::string bytes;
    os::FileIdentity identity;
  };
  std::map<std::string, Stored, std::less<>> files;
  int opens = 0;
  int identifies = 0;
  // Runs after each read, to change a file while it is being read.
  std::function<void()> during_read;

  void Put(const std::string& path, const std::string& bytes, std::int64_t time,
           std::uint64_t file_number = 1) {
    files[path] = {bytes, {1, file_number, bytes.size(), time, time}};
  }

  std::unique_ptr<os::File> Open(std::string_view path, os::Access, os::Creation,
                                 os::Share) override {
    auto it = files.find(path);
    if (it == files.end()) return nullptr;
    ++opens;
    return std::make_unique<Reader>(it->second.bytes, this);
  }
  bool FindFirst(std::string_view pattern) override { return files.contains(pattern); }
  bool Identify(std::string_view path, os::FileIdentity* identity) override {
    ++identifies;
    auto it = files.find(path);
    if (it == files.end()) return false;
    *identity = it->second.identity;
    return true;
  }
  bool Remove(std::string_view) override { return false; }
  bool Replace(std::string_view, std::string_view) override { return false; }

 private:
  class Reader : public os::File {
   public:
    Reader(std::string bytes, FakeFiles* owner) : bytes_(std::move(bytes)), owner_(owner) {}
    std::int64_t Read(void* buffer, std::size_t size) override {
      std::size_t n = std::min(size, bytes_.size() - pos_);
      std::memcpy(buffer, bytes_.data() + pos_, n);
      pos_ += n;
      if (owner_->during_read) owner_->during_read();
      return static_cast<std::int64_t>(n);
    }
    bool Write(const void*, std::size_t) override { return false; }
    bool Seek(std::uint64_t position) override { return (pos_ = position) <= bytes_.size(); }
    std::int64_t Position() override { return static_cast<std::int64_t>(pos_); }
    std::int64_t Length() override { return static_cast<std::int64_t>(bytes_.size()); }
    bool Flush() override { return true; }
    bool Close() override { return true; }

   private:
    std::string bytes_;
    std::size_t pos_ = 0;
    FakeFiles* owner_;
  };
};

class NoCodec : public os::TextCodec {
 public:
  std::u16string GbkToUtf16(std::string_view) override { return {}; }
  std::string Utf16ToGbk(std::u16string_view, bool*) override { return {}; }
};

class ProfileCacheTest : public testing::Test {
 protected:
  std::optional<std::string> Name(std::string_view path, std::string_view section = "A") {
    auto index = cache.Get(path);
    if (!index) return std::nullopt;
    auto v = index->Find(section, "Name");
    return v ? std::optional<std::string>(*v) : std::nullopt;
  }

  FakeFiles files;
  NoCodec codec;
  std::int64_t now = 1000 * kSecond;
  ProfileCache cache{files, codec, 2, [this] { return now; }};
};

TEST_F(ProfileCacheTest, ReadsAnUnchangedFileOnce) {
  files.Put("list.ini", "[A]\nName=1\n[B]\nName=2\n", 10 * kSecond);
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(Name("list.ini", "A"), "1");
    EXPECT_EQ(Name("list.ini", "B"), "2");
  }
  EXPECT_EQ(files.opens, 1);
}

TEST_F(ProfileCacheTest, RereadsWhenAnyPartOfTheIdentityChanges) {
  struct Change {
    const char* what;
    void (*apply)(os::FileIdentity&);
  } changes[] = {
      {"change time only (a restored modification time)", [](auto& id) { id.change_time++; }},
      {"modification time", [](auto& id) { id.modification_time++; }},
      {"file number (replaced by rename)", [](auto& id) { id.file++; }},
      {"device", [](auto& id) { id.device++; }},
  };
  for (const auto& change : changes) {
    files.Put("list.ini", "[A]\nName=old\n", 10 * kSecond);
    ASSERT_EQ(Name("list.ini"), "old");
    files.files["list.ini"].bytes = "[A]\nName=new\n";
    change.apply(files.files["list.ini"].identity);
    EXPECT_EQ(Name("list.ini"), "new") << change.what;
  }
  files.Put("list.ini", "[A]\nName=old\n", 10 * kSecond);
  ASSERT_EQ(Name("list.ini"), "old");
  files.Put("list.ini", "[A]\nName=longer\n", 10 * kSecond);  // size differs, times equal
  EXPECT_EQ(Name("list.ini"), "longer");
}

TEST_F(ProfileCacheTest, DoesNotKeepAFileChangedWithinTheLastTicks) {
  files.Put("list.ini", "[A]\nName=1\n", now - 1);
  EXPECT_EQ(Name("list.ini"), "1");
  // Same size, same times: only a fresh read can see this change.
  files.files["list.ini"].bytes = "[A]\nName=2\n";
  EXPECT_EQ(Name("list.ini"), "2");
  EXPECT_EQ(files.opens, 2);
  now += ProfileCache::kSettleNanoseconds + 1;
  EXPECT_EQ(Name("list.ini"), "2");
  EXPECT_EQ(Name("list.ini"), "2");
  EXPECT_EQ(files.opens, 3);
}

TEST_F(ProfileCacheTest, DoesNotKeepAFileChangedWhileItWasRead) {
  files.Put("list.ini", "[A]\nName=1\n", 10 * kSecond);
  files.during_read = [&] {
    files.files["list.ini"].identity.change_time = 11 * kSecond;
    files.during_read = nullptr;
  };
  EXPECT_EQ(Name("list.ini"), "1");
  files.files["list.ini"].bytes = "[A]\nName=2\n";  // unseen by the identity from now on
  EXPECT_EQ(Name("list.ini"), "2");
}

TEST_F(ProfileCacheTest, MissingFilesAndEvictionAreHandled) {
  EXPECT_EQ(cache.Get("none.ini"), nullptr);
  files.Put("none.ini", "[A]\nName=late\n", 10 * kSecond);
  EXPECT_EQ(Name("none.ini"), "late");

  files.Put("b.ini", "[A]\nName=b\n", 10 * kSecond, 2);
  files.Put("c.ini", "[A]\nName=c\n", 10 * kSecond, 3);
  ASSERT_EQ(Name("b.ini"), "b");
  ASSERT_EQ(Name("c.ini"), "c");  // capacity 2: none.ini goes
  int opens = files.opens;
  EXPECT_EQ(Name("c.ini"), "c");
  EXPECT_EQ(Name("b.ini"), "b");
  EXPECT_EQ(files.opens, opens);
  EXPECT_EQ(Name("none.ini"), "late");
  EXPECT_EQ(files.opens, opens + 1);

  files.files.erase("b.ini");
  EXPECT_EQ(cache.Get("b.ini"), nullptr);  // never answered from a vanished file
}

TEST_F(ProfileCacheTest, AHeldFileIsReadOnceAndNotLookedAtAgain) {
  // Written this very tick: without a hold every lookup would read it afresh.
  files.Put("list.ini", "[A]\nName=1\n", now);
  cache.Hold("list.ini");
  const int identifies = files.identifies;
  for (int i = 0; i < 50; ++i)
    EXPECT_EQ(Name("list.ini"), "1");
  EXPECT_EQ(files.opens, 1);
  EXPECT_EQ(files.identifies, identifies);

  // A change while held is not seen: the lookups of one run read one state of the file.
  files.Put("list.ini", "[A]\nName=2\n", now + 1);
  EXPECT_EQ(Name("list.ini"), "1");
  EXPECT_EQ(Name("other.ini"), std::nullopt);  // other paths are not held
  cache.Release("list.ini");
  EXPECT_EQ(Name("list.ini"), "2");

  // The last release lets the index go, also that of a file old enough to be kept.
  files.Put("old.ini", "[A]\nName=o\n", 10 * kSecond);
  ASSERT_EQ(Name("old.ini"), "o");
  cache.Hold("old.ini");
  cache.Release("old.ini");
  const int opens = files.opens;
  EXPECT_EQ(Name("old.ini"), "o");
  EXPECT_EQ(files.opens, opens + 1);
}

TEST_F(ProfileCacheTest, HoldsNestAndHoldAMissingFileMissing) {
  struct Step {
    const char* what;
    void (*act)(ProfileCache&, FakeFiles&);
    std::optional<std::string> name;
  };
  const Step steps[] = {
      {"held while missing", [](ProfileCache& c, FakeFiles&) { c.Hold("late.ini"); }, std::nullopt},
      {"held twice", [](ProfileCache& c, FakeFiles&) { c.Hold("late.ini"); }, std::nullopt},
      {"appears while held",
       [](ProfileCache&, FakeFiles& f) { f.Put("late.ini", "[A]\nName=here\n", 10 * kSecond); },
       std::nullopt},
      {"one release of two", [](ProfileCache& c, FakeFiles&) { c.Release("late.ini"); },
       std::nullopt},
      {"the last release", [](ProfileCache& c, FakeFiles&) { c.Release("late.ini"); }, "here"},
      {"a release too many", [](ProfileCache& c, FakeFiles&) { c.Release("late.ini"); }, "here"},
  };
  for (const Step& step : steps) {
    step.act(cache, files);
    EXPECT_EQ(Name("late.ini"), step.name) << step.what;
  }
}

}  // namespace
}  // namespace marvane::profile
