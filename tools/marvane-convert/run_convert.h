// Runs marvane-convert as a user of this system runs it and reads back what it showed; one
// implementation per platform (posix/run_convert.cpp, win32/run_convert.cpp).
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marvane::convert::testing {

// Paths from UTF-8 and back, and files read and written whole, alike on every system.
inline std::filesystem::path PathOf(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}
inline void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream(file, std::ios::binary).write(bytes.data(), std::ssize(bytes));
}
inline std::optional<std::string> ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Where the program's standard output and error go.
enum class Display {
  kFiles,          // files, as a script redirects them (on Windows: from a process without console)
  kConsoleFiles,   // Windows: files, from a process whose console is set to UTF-8 (65001)
  kConsoleScreen,  // Windows: the console itself, set to a code page without Chinese (437)
};

// The displays this system has; the first is kFiles.
std::vector<Display> Displays();

struct Outcome {
  int code = -1;
  std::string out;  // the bytes read back; for kConsoleScreen, both streams as the screen shows
  std::string err;  // them, in UTF-8 with "\n" after each line
};

// Runs the program in cwd with the arguments, given in UTF-8.
Outcome Run(const std::filesystem::path& cwd, const std::vector<std::string>& arguments,
            Display display = Display::kFiles);

// The bytes the display shows for lines given in UTF-8 ("\n" between them) with "/" for the
// system's separator.
std::string Shown(Display display, std::string_view lines);

// One run and what it must show: out and err as for Shown; saved, when not empty, where the list
// lands, in full as the save message names it, and bytes, what it then holds.
struct Case {
  std::vector<std::string> arguments;
  int code = 0;
  std::string out;
  std::string err;
  std::string saved;
  std::string bytes;
};

// The list most cases convert, and what converting it shows and saves.
inline constexpr char kList[] = "[00-1A-2B-3C-4D-5E]\r\nName=pc-01\r\nIPAddr=192.168.10.11\r\n";
inline constexpr char kListName[] = "列表.ini";
inline constexpr char kListCount[] = " 共 1 条";
inline constexpr char kListSaved[] = "00-1A-2B-3C-4D-5E PC-01";
inline constexpr char kSavedMessage[] = "[成功] 文件保存成功 ";

inline Case SavedCase(std::vector<std::string> arguments, const std::string& saved) {
  return {std::move(arguments), 0, kListCount, kSavedMessage + saved, saved, kListSaved};
}
// A run that saves nothing.
inline Case UnsavedCase(std::vector<std::string> arguments, int code, std::string out,
                        std::string err) {
  return {std::move(arguments), code, std::move(out), std::move(err), {}, {}};
}

// Rows for paths only this system has, built for a directory that holds the list as kListName
// and the folders 目录 and x. What they need outside it is removed with the object.
class PlatformCases {
 public:
  explicit PlatformCases(const std::filesystem::path& dir);
  ~PlatformCases();
  PlatformCases(const PlatformCases&) = delete;
  PlatformCases& operator=(const PlatformCases&) = delete;

  std::vector<Case> cases;

 private:
  std::vector<std::filesystem::path> outside_;
};

}  // namespace marvane::convert::testing
