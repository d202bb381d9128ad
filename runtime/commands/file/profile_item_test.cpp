#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "runtime/commands/file/file_test_fixture.h"
#include "tests/support/forwarding_files.h"

namespace marvane::commands {
namespace {

using testing::Omitted;
using Opt = std::optional<std::string>;
using std::nullopt;

// Counts every file system call, then passes it on.
class CountingFiles : public testing::ForwardingFiles {
 public:
  explicit CountingFiles(os::FileSystem* base) : ForwardingFiles(base) {}
  std::unique_ptr<os::File> Open(std::string_view path, os::Access access, os::Creation creation,
                                 os::Share share) override {
    ++calls;
    return ForwardingFiles::Open(path, access, creation, share);
  }
  bool FindFirst(std::string_view pattern) override {
    return ++calls, ForwardingFiles::FindFirst(pattern);
  }
  bool Identify(std::string_view path, os::FileIdentity* identity) override {
    return ++calls, ForwardingFiles::Identify(path, identity);
  }
  bool Remove(std::string_view path) override { return ++calls, ForwardingFiles::Remove(path); }
  bool Replace(std::string_view source, std::string_view target) override {
    return ++calls, ForwardingFiles::Replace(source, target);
  }
  int calls = 0;
};

class ProfileItemTest : public FileCommandTest {
 protected:
  Opt Item(const std::string& file, const char* section, const char* key,
           ValueRecord fallback = Omitted()) {
    return testing::TakeText(CallCore(
        ReadProfileItem, {TextArg(file.c_str()), TextArg(section), TextArg(key), fallback}));
  }
};

TEST_F(ProfileItemTest, NamesDefaultsAndLimits) {
  const std::string long_value(12000, 'v');
  const std::string path = dir_.Write("list.ini",
                                      "[00-1A-2B-3C-4D-5E]\r\nName = PC001 \r\nIPAddr=10.0.0.1\r\n"
                                      "[Empty]\r\nName=\r\n[Long]\r\nName=" +
                                          long_value + "\r\n");
  const std::string missing = dir_ / "missing.ini";
  const std::string long_default = std::string(10238, 'd') + "\xB1\xED";
  struct Case {
    std::string file;
    const char* section;
    const char* key;
    ValueRecord fallback;
    Opt expected;
  };
  const Case cases[] = {
      {path, "00-1A-2B-3C-4D-5E", "Name", Omitted(), "PC001"},
      {path, "00-1a-2b-3c-4d-5e", "NAME", Omitted(), "PC001"},  // ASCII case does not matter
      {" \t" + path, "\x01 00-1A-2B-3C-4D-5E", "\x20\x1fName", Omitted(), "PC001"},
      // Trailing blanks of the path are the file system's to interpret: POSIX keeps them,
      // Windows drops them.
      {path + " ", "00-1A-2B-3C-4D-5E", "Name", Omitted(),
       std::filesystem::exists(path + " ") ? Opt("PC001") : nullopt},
      {path, "00-1A-2B-3C-4D-5E", "Missing", Omitted(), nullopt},
      {path, "00-1A-2B-3C-4D-5E", "Missing", TextArg("dflt"), "dflt"},
      {path, "No such section", "Name", TextArg("dflt"), "dflt"},
      {missing, "00-1A-2B-3C-4D-5E", "Name", TextArg("dflt"), "dflt"},
      {path, "00-1A-2B-3C-4D-5E", "Name", TextArg("dflt"), "PC001"},
      {path, "Empty", "Name", TextArg("dflt"), nullopt},  // an empty value is not missing
      {path, "Long", "Name", Omitted(), long_value.substr(0, 10239)},
      // The default as the value buffer would hold it: trailing blanks gone, cut to 10239 bytes
      // before a character that would not fit.
      {path, "x", "Missing", TextArg("d  "), "d"},
      {path, "x", "Missing", TextArg(long_default.c_str()), long_default.substr(0, 10238)},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n++);
    EXPECT_EQ(Item(c.file, c.section, c.key, c.fallback), c.expected);
  }
}

TEST_F(ProfileItemTest, EmptyNamesGiveNullWithoutReading) {
  CountingFiles files(os::Current().files);
  os::Services services = os::Current();
  services.files = &files;
  os::ScopedServices scoped(services);
  const std::string path = dir_.Write("a.ini", "[S]\r\nK=v\r\n");
  struct Case {
    std::string file;
    const char* section;
    const char* key;
  };
  const Case cases[] = {
      {path, "S", " \t "},
      {path, "", "K"},
      {"\x20\x01", "S", "K"},
      {"", "S", "K"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Item(c.file, c.section, c.key, TextArg("dflt")), nullopt);
  }
  EXPECT_EQ(files.calls, 0);
  EXPECT_EQ(Item(path, "S", "K"), "v");
  EXPECT_GT(files.calls, 0);
}

// A list converted right after it was written is too fresh for the profile cache to keep; a hold
// still reads it only once for all of its lookups.
TEST_F(ProfileItemTest, AHoldReadsAFreshFileOnceForAllItsLookups) {
  CountingFiles files(os::Current().files);
  os::Services services = os::Current();
  services.files = &files;
  os::ScopedServices scoped(services);
  std::string text;
  for (int i = 0; i < 200; ++i)
    text += "[S" + std::to_string(i) + "]\r\nName=N" + std::to_string(i) + "\r\n";
  const std::string path = dir_.Write("fresh.ini", text);

  struct Case {
    bool held;
    int most_calls;  // for 200 lookups
    int least_calls;
  };
  for (const Case& c : {Case{false, 10000, 4}, Case{true, 3, 1}}) {
    SCOPED_TRACE(c.held);
    files.calls = 0;
    std::optional<ProfileFileHold> hold;
    if (c.held) hold.emplace(path.c_str());
    for (int i = 0; i < 200; ++i) {
      const std::string section = "S" + std::to_string(i);
      ASSERT_EQ(Item(path, section.c_str(), "Name"), "N" + std::to_string(i));
    }
    EXPECT_LE(files.calls, c.most_calls);
    EXPECT_GE(files.calls, c.least_calls);
  }

  // The hold answers from the reading it began with; once it ends the file is read again.
  {
    ProfileFileHold hold(path.c_str());
    dir_.Write("fresh.ini", "[S0]\r\nName=changed\r\n");
    EXPECT_EQ(Item(path, "S0", "Name"), "N0");
  }
  EXPECT_EQ(Item(path, "S0", "Name"), "changed");
}

}  // namespace
}  // namespace marvane::commands
