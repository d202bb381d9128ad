// marvane-convert.exe started as a batch file or a console starts it: arguments on the wide
// command line, output read back as bytes from files or as characters from the console's screen.
// Runs under Wine: the build's paths are Linux paths, which Wine takes on the drive of the current
// directory, and ctest starts the test in the build directory (on Z:, which is "/").
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/temp_directory.h"
#include "tools/marvane-convert/run_convert.h"

namespace marvane::convert::testing {
namespace {

namespace fs = std::filesystem;

constexpr UINT kNoChineseCodePage = 437;
// Room for a message with a long path on one row, and for every row the program writes.
constexpr SHORT kScreenWidth = 400;
constexpr SHORT kScreenHeight = 50;

std::wstring WideOf(std::string_view utf8) {
  return PathOf(utf8).wstring();
}

std::string Encode(std::wstring_view text, UINT code_page) {
  const int in = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(code_page, 0, text.data(), in, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(std::max(n, 0)), '\0');
  WideCharToMultiByte(code_page, 0, text.data(), in, bytes.data(), n, nullptr, nullptr);
  return bytes;
}

// One argument as CommandLineToArgvW splits it back; none here holds a quote, so only the
// backslashes before the closing quote are doubled.
std::wstring Quoted(const std::wstring& argument) {
  const std::size_t kept = argument.find_last_not_of(L'\\') + 1;  // 0 when all are "\\"
  return L"\"" + argument + std::wstring(argument.size() - kept, L'\\') + L"\"";
}

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

SECURITY_ATTRIBUTES inherited = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};

Handle CreateOutput(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                            0, nullptr);
  return Handle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// A console of this process's own for one run, in the code page given; the process's standard
// handles are put back after it. Wine gives a process started without a terminal a console of a
// kind that takes no new one until it is let go.
class OwnConsole {
 public:
  explicit OwnConsole(UINT code_page) {
    for (int i = 0; i < 3; ++i)
      saved_[i] = GetStdHandle(kStandard[i]);
    FreeConsole();
    EXPECT_TRUE(AllocConsole());
    SetConsoleOutputCP(code_page);
    screen_.reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0,
                              nullptr));
    SetConsoleScreenBufferSize(screen_.get(), {kScreenWidth, kScreenHeight});
  }
  ~OwnConsole() {
    screen_.reset();
    FreeConsole();
    for (int i = 0; i < 3; ++i)
      SetStdHandle(kStandard[i], saved_[i]);
  }
  HANDLE screen() const { return screen_.get(); }

  // The rows written, in UTF-8, without the spaces that fill them.
  std::string Text() const {
    std::wstring row(kScreenWidth, L' ');
    std::string text;
    for (SHORT y = 0; y < kScreenHeight; ++y) {
      DWORD read = 0;
      ReadConsoleOutputCharacterW(screen_.get(), row.data(), kScreenWidth, {0, y}, &read);
      const std::wstring_view line(row.data(), row.find_last_not_of(L' ') + 1);
      if (!line.empty()) text += Encode(line, CP_UTF8) + "\n";
    }
    return text;
  }

 private:
  static constexpr DWORD kStandard[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  HANDLE saved_[3] = {};
  Handle screen_;
};

}  // namespace

std::vector<Display> Displays() {
  return {Display::kFiles, Display::kConsoleFiles, Display::kConsoleScreen};
}

Outcome Run(const fs::path& cwd, const std::vector<std::string>& arguments, Display display) {
  marvane::testing::TempDirectory scratch;
  const std::string out_path = scratch / "stdout", err_path = scratch / "stderr";
  std::wstring command = Quoted(fs::absolute(MARVANE_CONVERT).wstring());
  for (const std::string& argument : arguments)
    command += L" " + Quoted(WideOf(argument));

  std::unique_ptr<OwnConsole> console;
  Handle out, err;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  DWORD flags = 0;
  if (display == Display::kConsoleScreen) {
    console = std::make_unique<OwnConsole>(kNoChineseCodePage);
    startup.hStdOutput = startup.hStdError = console->screen();
  } else {
    if (display == Display::kConsoleFiles) {
      console = std::make_unique<OwnConsole>(CP_UTF8);
    } else {
      flags = DETACHED_PROCESS;
    }
    out = CreateOutput(out_path);
    err = CreateOutput(err_path);
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
  }

  Outcome run;
  PROCESS_INFORMATION process = {};
  const std::wstring directory = cwd.wstring();
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, flags, nullptr,
                      directory.c_str(), &startup, &process)) {
    ADD_FAILURE() << "cannot start marvane-convert: error " << GetLastError();
    return run;
  }
  Handle child(process.hProcess);
  CloseHandle(process.hThread);
  DWORD code = 0;
  WaitForSingleObject(child.get(), INFINITE);  // ctest ends a run that hangs
  if (GetExitCodeProcess(child.get(), &code)) run.code = static_cast<int>(code);
  out.reset();
  err.reset();
  if (display == Display::kConsoleScreen) {
    run.out = console->Text();
  } else {
    run.out = marvane::testing::TempDirectory::Read(out_path).value_or("<none>");
    run.err = marvane::testing::TempDirectory::Read(err_path).value_or("<none>");
  }
  return run;
}

// Files get CR LF line ends, in the console's code page, or the OEM one without a console; the
// screen is read back as text.
std::string Shown(Display display, std::string_view lines) {
  const UINT code_page = display == Display::kFiles ? GetOEMCP() : CP_UTF8;
  const std::string line_end = display == Display::kConsoleScreen ? "\n" : "\r\n";
  std::string shown;
  for (std::size_t begin = 0; begin < lines.size();) {
    std::size_t end = std::min(lines.find('\n', begin), lines.size());
    std::wstring line = WideOf(lines.substr(begin, end - begin));
    std::replace(line.begin(), line.end(), L'/', L'\\');
    shown += Encode(line, code_page) + line_end;
    begin = end + 1;
  }
  return shown;
}

// "\" and a separator at the end; a share, with "/" as well, and its root; a folder GBK cannot
// name, taken in its short form, which the save message then shows.
PlatformCases::PlatformCases(const fs::path& dir) {
  const std::string d = Utf8Of(dir);
  cases.push_back(SavedCase({"--dir", "目录\\", "x\\..\\列表.ini"}, d + "/目录/mac_sample.txt"));

  // Wine's share \\server\share is the folder dosdevices/unc/server/share of its prefix.
  if (const char* prefix = std::getenv("WINEPREFIX")) {
    const std::string server = "marvane-" + std::to_string(GetCurrentProcessId());
    const fs::path unc = fs::path("Z:" + std::string(prefix)) / "dosdevices" / "unc";
    fs::create_directories(unc / server / "share");
    outside_.push_back(unc / server);
    WriteBytes(unc / server / "share" / PathOf(kListName), kList);
    cases.push_back(
        SavedCase({"--dir", "\\\\" + server + "\\share\\", "//" + server + "/share/列表.ini"},
                  "\\\\" + server + "\\share\\mac_sample.txt"));
  }

  const fs::path bjorn = dir / PathOf("Björn");
  fs::create_directory(bjorn);
  WriteBytes(bjorn / PathOf(kListName), kList);
  wchar_t short_path[MAX_PATH];
  const DWORD n = GetShortPathNameW(bjorn.c_str(), short_path, MAX_PATH);
  EXPECT_TRUE(n > 0 && n < MAX_PATH) << "no short name for " << Utf8Of(bjorn);
  cases.push_back(SavedCase({"--dir", "Björn", "Björn/列表.ini"},
                            Utf8Of(std::wstring(short_path, n)) + "\\mac_sample.txt"));
}

PlatformCases::~PlatformCases() {
  std::error_code ignored;
  for (const fs::path& made : outside_)
    fs::remove_all(made, ignored);
}

}  // namespace marvane::convert::testing
