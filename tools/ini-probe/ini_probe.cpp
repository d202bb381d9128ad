// Asks the platform's own profile reader about every query of a corpus and writes the answers, so
// that our reader can be compared with it. Runs on Windows (or a compatible layer) with code page
// 936 as the ANSI code page.
//
//   ini_probe <output-dir> <corpus-dir>...
//
// For each NAME.queries in a corpus directory, reads NAME.ini with GetPrivateProfileStringA and a
// 10240-byte buffer, and writes NAME.expected into the output directory.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/ini-probe/probe_format.h"

namespace {

using marvane::ini_probe::FormatResult;
using marvane::ini_probe::kMissingDefault;
using marvane::ini_probe::ParseQueries;

constexpr DWORD kBufferBytes = 10240;
// Fills the buffer before each call, so a byte the call leaves unset shows in the output.
constexpr char kUnsetByte = 0x01;

bool ReadAll(const std::string& path, std::string* out) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  char chunk[65536];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
    out->append(chunk, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool WriteAll(const std::string& path, const std::string& data) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

// A relative name would be looked up in the Windows directory, so pass the full path.
std::string FullPath(const std::string& path) {
  char full[MAX_PATH * 4];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  if (n == 0 || n >= sizeof full) return path;
  return std::string(full, n);
}

bool ProbeOne(const std::string& dir, const std::string& base, const std::string& out_dir) {
  std::string text;
  if (!ReadAll(dir + "\\" + base + ".queries", &text)) {
    std::fprintf(stderr, "cannot read %s.queries\n", base.c_str());
    return false;
  }
  auto queries = ParseQueries(text);
  if (!queries) {
    std::fprintf(stderr, "malformed %s.queries\n", base.c_str());
    return false;
  }
  std::string ini = FullPath(dir + "\\" + base + ".ini");
  std::string defaults(kMissingDefault);
  std::vector<char> buffer(kBufferBytes);
  std::string out;
  for (const auto& q : *queries) {
    std::memset(buffer.data(), kUnsetByte, buffer.size());
    DWORD n = GetPrivateProfileStringA(q.section.c_str(), q.key.c_str(), defaults.c_str(),
                                       buffer.data(), kBufferBytes, ini.c_str());
    std::string value(buffer.data(), strnlen(buffer.data(), buffer.size()));
    if (value == defaults) {
      out += FormatResult(q, std::nullopt);
    } else {
      out += FormatResult(q, value, n);
    }
  }
  return WriteAll(out_dir + "\\" + base + ".expected", out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: ini_probe <output-dir> <corpus-dir>...\n");
    return 2;
  }
  if (GetACP() != 936) {
    std::fprintf(stderr, "the ANSI code page is %u, not 936\n", GetACP());
    return 2;
  }
  std::string out_dir = argv[1];
  int files = 0;
  bool ok = true;
  for (int i = 2; i < argc; ++i) {
    std::string dir = argv[i];
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir + "\\*.queries").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) continue;
    do {
      std::string name = found.cFileName;
      ok = ProbeOne(dir, name.substr(0, name.size() - 8), out_dir) && ok;
      ++files;
    } while (FindNextFileA(h, &found));
    FindClose(h);
  }
  std::printf("probed %d files\n", files);
  return ok && files > 0 ? 0 : 1;
}
