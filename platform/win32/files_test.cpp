#include "platform/win32/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/win32/codec.h"
#include "platform/win32/process.h"
#include "platform/win32/windows_api.h"

namespace marvane::os::win32 {
namespace {

// A fresh directory under the system's temporary directory, removed with its files at the end.
class Directory {
 public:
  Directory() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    for (int i = 0; i < 100 && path_.empty(); ++i) {
      std::wstring candidate = std::wstring(temp) + L"marvane-files-" +
                               std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(i);
      if (CreateDirectoryW(candidate.c_str(), nullptr)) path_ = candidate;
    }
    EXPECT_FALSE(path_.empty());
  }
  ~Directory() {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = path_ + L"\\" + entry.cFileName;
        SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only file is not deleted
        DeleteFileW(name.c_str());
      } while (FindNextFileW(search, &entry));
      FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
  }
  std::string path() const { return Gbk(path_); }
  // The GBK path of a name in the directory.
  std::string operator/(std::string_view gbk_name) const {
    return Gbk(path_) + "\\" + std::string(gbk_name);
  }
  std::wstring Wide(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

 private:
  std::wstring path_;
};

std::string Contents(const std::string& gbk_path) {
  HANDLE h = CreateFileW(Wide(gbk_path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes(4096, '\0');
  DWORD n = 0;
  ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  CloseHandle(h);
  bytes.resize(n);
  return bytes;
}

void Put(const std::string& gbk_path, std::string_view bytes) {
  Win32FileSystem files;
  auto f = files.Open(gbk_path, Access::kWrite, Creation::kCreateAlways, Share::kReadWrite);
  ASSERT_NE(f, nullptr) << gbk_path;
  ASSERT_TRUE(f->Write(bytes.data(), bytes.size()));
  ASSERT_TRUE(f->Close());
}

TEST(Win32FileSystemTest, CreationRules) {
  const struct {
    Access access;
    Creation creation;
    bool exists;
    bool opens;
    const char* after;  // the file's bytes once closed
  } cases[] = {
      {Access::kRead, Creation::kOpenExisting, false, false, "<missing>"},
      {Access::kWrite, Creation::kOpenExisting, false, false, "<missing>"},
      {Access::kRead, Creation::kOpenExisting, true, true, "old"},
      {Access::kReadWrite, Creation::kOpenExisting, true, true, "old"},
      {Access::kWrite, Creation::kCreateAlways, true, true, ""},
      {Access::kWrite, Creation::kCreateAlways, false, true, ""},
      {Access::kWrite, Creation::kOpenAlways, true, true, "old"},
      {Access::kReadWrite, Creation::kOpenAlways, false, true, ""},
  };
  Win32FileSystem files;
  int i = 0;
  for (const auto& c : cases) {
    Directory dir;
    std::string path = dir / ("f" + std::to_string(i++));
    if (c.exists) Put(path, "old");
    auto f = files.Open(path, c.access, c.creation, Share::kReadWrite);
    EXPECT_EQ(f != nullptr, c.opens) << i;
    if (f) {
      EXPECT_EQ(f->Position(), 0);
      EXPECT_TRUE(f->Close());
    }
    EXPECT_EQ(Contents(path), c.after) << i;
  }
}

TEST(Win32FileSystemTest, SharingDecidesASecondOpen) {
  const struct {
    Access first_access;
    Share first_share;
    Access second_access;
    Share second_share;
    bool opens;
  } cases[] = {
      {Access::kRead, Share::kReadWrite, Access::kReadWrite, Share::kReadWrite, true},
      {Access::kRead, Share::kReadOnly, Access::kRead, Share::kReadWrite, true},
      {Access::kRead, Share::kReadOnly, Access::kWrite, Share::kReadWrite, false},
      {Access::kRead, Share::kWriteOnly, Access::kRead, Share::kReadWrite, false},
      {Access::kRead, Share::kWriteOnly, Access::kWrite, Share::kReadWrite, true},
      {Access::kRead, Share::kNone, Access::kRead, Share::kReadWrite, false},
      // The second opener's own sharing must allow what the first one already does.
      {Access::kWrite, Share::kReadWrite, Access::kRead, Share::kReadOnly, false},
      {Access::kRead, Share::kReadWrite, Access::kRead, Share::kReadOnly, true},
  };
  Win32FileSystem files;
  Directory dir;
  std::string path = dir / "shared";
  Put(path, "data");
  int i = 0;
  for (const auto& c : cases) {
    ++i;
    auto first = files.Open(path, c.first_access, Creation::kOpenExisting, c.first_share);
    ASSERT_NE(first, nullptr) << i;
    auto second = files.Open(path, c.second_access, Creation::kOpenExisting, c.second_share);
    EXPECT_EQ(second != nullptr, c.opens) << i;
  }
}

// A file held by another opener without sharing, or marked read-only, refuses every writing open,
// even one that would first empty it, keeps its contents, and (read-only) cannot be replaced or
// removed.
TEST(Win32FileSystemTest, RefusedChangesKeepTheContents) {
  Win32FileSystem files;
  for (bool read_only : {false, true}) {
    SCOPED_TRACE(read_only ? "read-only" : "held");
    Directory dir;
    std::string path = dir / "kept";
    Put(path, "keep me");
    std::unique_ptr<File> holder;
    if (read_only) {
      ASSERT_TRUE(SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY));
    } else {
      holder = files.Open(path, Access::kRead, Creation::kOpenExisting, Share::kNone);
      ASSERT_NE(holder, nullptr);
    }
    for (Creation creation :
         {Creation::kOpenExisting, Creation::kOpenAlways, Creation::kCreateAlways}) {
      EXPECT_EQ(files.Open(path, Access::kWrite, creation, Share::kReadWrite), nullptr);
    }
    if (read_only) {
      Put(dir / "new", "fresh");
      EXPECT_FALSE(files.Replace(dir / "new", path));
      EXPECT_FALSE(files.Remove(path));
      EXPECT_NE(files.Open(path, Access::kRead, Creation::kOpenExisting, Share::kReadWrite),
                nullptr);
    }
    holder.reset();
    EXPECT_EQ(Contents(path), "keep me");
  }
}

TEST(Win32FileSystemTest, ReadWriteSeekAndLength) {
  Win32FileSystem files;
  Directory dir;
  auto f = files.Open(dir / "rw", Access::kReadWrite, Creation::kCreateAlways, Share::kNone);
  ASSERT_NE(f, nullptr);
  ASSERT_TRUE(f->Write("0123456789", 10));
  EXPECT_EQ(f->Position(), 10);
  EXPECT_EQ(f->Length(), 10);
  ASSERT_TRUE(f->Seek(3));
  char buffer[16] = {};
  EXPECT_EQ(f->Read(buffer, 4), 4);
  EXPECT_EQ(std::string(buffer, 4), "3456");
  EXPECT_EQ(f->Position(), 7);
  EXPECT_EQ(f->Read(buffer, sizeof buffer), 3);  // stops at the end
  EXPECT_EQ(f->Read(buffer, sizeof buffer), 0);
  EXPECT_TRUE(f->Flush());
  EXPECT_TRUE(f->Close());
  EXPECT_FALSE(f->Close());
  EXPECT_EQ(f->Read(buffer, 1), -1);
  EXPECT_FALSE(f->Write("x", 1));
  EXPECT_EQ(f->Length(), -1);
}

TEST(Win32FileSystemTest, ChineseNamesReachTheDiskAsTheirCharacters) {
  Win32FileSystem files;
  Directory dir;
  const std::string name = "\xB2\xE2\xCA\xD4.txt";  // 测试.txt
  Put(dir / name, "x");
  // The name on disk is the wide name, not the GBK bytes read in the system's own code page.
  EXPECT_NE(GetFileAttributesW(dir.Wide(L"\u6D4B\u8BD5.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(files.Open(dir / name, Access::kRead, Creation::kOpenExisting, Share::kReadWrite),
            nullptr);
}

std::wstring ShortForm(const std::wstring& path) {
  wchar_t buffer[MAX_PATH];
  DWORD n = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
  return n == 0 || n >= MAX_PATH ? std::wstring() : std::wstring(buffer, n);
}

// A path that GBK cannot write names the same file by its short form when the system has one in
// ASCII, or else nothing at all.
TEST(Win32FileSystemTest, GbkPathNamesTheFileOrNothing) {
  Directory dir;
  ASSERT_TRUE(CreateDirectoryW(dir.Wide(L"Bj\u00F6rn").c_str(), nullptr));
  const struct {
    const wchar_t* name;
    bool gbk;  // GBK writes the name
  } cases[] = {
      {L"\u6D4B\u8BD5.txt", true},       // 测试.txt
      {L"\uAC00.txt", false},            // a Hangul syllable
      {L"Bj\u00F6rn\\list.ini", false},  // in a folder GBK cannot write
  };
  for (const auto& c : cases) {
    const std::wstring wide = dir.Wide(c.name);
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    WriteFile(h, "list", 4, &n, nullptr);
    CloseHandle(h);
    const std::string path = GbkPath(wide);
    const std::wstring short_form = ShortForm(wide);
    const bool ascii_short =
        !short_form.empty() &&
        std::all_of(short_form.begin(), short_form.end(), [](wchar_t u) { return u < 0x80; });
    const bool named = path.find('?') == std::string::npos;
    EXPECT_EQ(named, c.gbk || ascii_short) << path;
    if (c.gbk) {
      EXPECT_EQ(path, Gbk(wide));
    }
    EXPECT_EQ(Contents(path), named ? "list" : "<missing>") << path;
  }

  // A program in that folder whose path has no short form (here: it does not exist) has a run
  // directory that names nothing: saving there creates, replaces and changes to nothing.
  Win32FileSystem files;
  const std::string program = GbkPath(dir.Wide(L"Bj\u00F6rn\\missing.exe"));
  const std::string run_directory = program.substr(0, program.rfind('\\'));
  ASSERT_NE(run_directory.find('?'), std::string::npos) << program;
  const std::string target = run_directory + "\\mac_sample.txt";
  EXPECT_EQ(files.Open(target, Access::kWrite, Creation::kCreateAlways, Share::kNone), nullptr);
  Put(dir / "new", "fresh");
  EXPECT_FALSE(files.Replace(dir / "new", target));
  EXPECT_EQ(Contents(dir / "new"), "fresh");
  EXPECT_FALSE(Win32Process().SetCurrentDirectory(run_directory));
  EXPECT_EQ(GetFileAttributesW(dir.Wide(L"Bj\u00F6rn\\mac_sample.txt").c_str()),
            INVALID_FILE_ATTRIBUTES);

  DeleteFileW(dir.Wide(L"Bj\u00F6rn\\list.ini").c_str());
  RemoveDirectoryW(dir.Wide(L"Bj\u00F6rn").c_str());
}

TEST(Win32FileSystemTest, DevicesAreNoFiles) {
  Win32FileSystem files;
  for (const char* device : {"NUL", "CON"}) {
    EXPECT_EQ(files.Open(device, Access::kWrite, Creation::kOpenAlways, Share::kReadWrite), nullptr)
        << device;
  }
  EXPECT_EQ(files.Open("", Access::kRead, Creation::kOpenExisting, Share::kReadWrite), nullptr);
}

TEST(Win32FileSystemTest, FindFirst) {
  Win32FileSystem files;
  Directory dir;
  Put(dir / "\xB2\xE2\xCA\xD4.txt", "x");  // 测试.txt
  Put(dir / "list.ini", "x");
  const struct {
    std::string pattern;
    bool found;
  } cases[] = {
      {dir / "list.ini", true},
      {dir / "LIST.INI", true},
      {dir / "*.txt", true},
      {dir / "\xB2\xE2?.txt", true},  // "?" is one character, double-byte or not
      {dir / "\xB2\xE2\xCA\xD4.*", true},
      {dir / "*.xml", false},
      {dir / "missing.txt", false},
      {dir.path(), true},
      {dir.path() + "\\", false},  // ends in a separator
      {"", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(files.FindFirst(c.pattern), c.found) << c.pattern;
}

TEST(Win32FileSystemTest, IdentifyTellsFilesAndChangesApart) {
  Win32FileSystem files;
  Directory dir;
  Put(dir / "a", "one");
  Put(dir / "b", "one");
  FileIdentity a1, a2, b;
  ASSERT_TRUE(files.Identify(dir / "a", &a1));
  ASSERT_TRUE(files.Identify(dir / "a", &a2));
  ASSERT_TRUE(files.Identify(dir / "b", &b));
  EXPECT_EQ(a1, a2);
  EXPECT_EQ(a1.size, 3u);
  EXPECT_NE(a1.file, b.file);
  EXPECT_GT(a1.modification_time, 0);  // after 1970

  Sleep(20);
  Put(dir / "a", "longer");
  FileIdentity changed;
  ASSERT_TRUE(files.Identify(dir / "a", &changed));
  EXPECT_EQ(changed.size, 6u);
  EXPECT_NE(changed, a1);

  FileIdentity directory;
  EXPECT_TRUE(files.Identify(dir.path(), &directory));
  EXPECT_FALSE(files.Identify(dir / "missing", &directory));
}

TEST(Win32FileSystemTest, ReplaceAndRemove) {
  Win32FileSystem files;
  Directory dir;
  Put(dir / "new", "fresh");
  Put(dir / "target", "stale");
  EXPECT_TRUE(files.Replace(dir / "new", dir / "target"));
  EXPECT_EQ(Contents(dir / "target"), "fresh");
  EXPECT_EQ(Contents(dir / "new"), "<missing>");

  Put(dir / "second", "also");
  EXPECT_TRUE(files.Replace(dir / "second", dir / "absent"));  // no target yet
  EXPECT_EQ(Contents(dir / "absent"), "also");
  EXPECT_FALSE(files.Replace(dir / "missing", dir / "target"));
  EXPECT_EQ(Contents(dir / "target"), "fresh");

  EXPECT_TRUE(files.Remove(dir / "target"));
  EXPECT_FALSE(files.Remove(dir / "target"));
  EXPECT_EQ(Contents(dir / "target"), "<missing>");
}

}  // namespace
}  // namespace marvane::os::win32
