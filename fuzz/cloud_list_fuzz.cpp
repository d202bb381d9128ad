// Feeds arbitrary bytes to the cloud-update list reader as the dropped file, and checks its list
// and count against a model read straight from the bytes: the lines as the line reader cuts them
// (chunk boundaries and double-byte characters included), the section headers, the join on "|"
// and split again, and each name's value from a profile index of the same bytes.
//
// The reader works on a path, so every input is written to one temporary file. The profile cache
// never keeps the index of a file changed within the last seconds, so each input is read afresh;
// the comparison with the model would fail if a stale index were used.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/cloud_list_reader.h"
#include "fuzz/fuzz_services.h"
#include "runtime/commands/profile/profile_reader.h"
#include "runtime/values/core.h"
#include "runtime/values/values.h"

namespace {

using namespace marvane;
using fuzz::Check;

class ListFile {
 public:
  ListFile() {
    std::error_code error;
    std::string pattern =
        (std::filesystem::temp_directory_path(error) / "marvane-cloud-fuzz-XXXXXX").string();
    if (error) pattern = "/tmp/marvane-cloud-fuzz-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    Check(fd >= 0);
    ::close(fd);
    path_ = pattern;
  }
  ~ListFile() { ::unlink(path_.c_str()); }

  void Write(std::string_view bytes) const {
    const int fd = ::open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    Check(fd >= 0);
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      Check(n > 0);
      done += static_cast<std::size_t>(n);
    }
    Check(::close(fd) == 0);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

bool IsMarkerLead(char c) {
  return static_cast<unsigned char>(c) >= 0x80;
}

// The lines the reader sees, until a NUL or 0x1A where a line would start, or the end.
std::vector<std::string> Lines(std::string_view b) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < b.size() && b[pos] != '\0' && b[pos] != '\x1a') {
    std::size_t i = pos;
    std::size_t next = b.size();
    std::size_t end = b.size();
    while (i < b.size()) {
      const char c = b[i];
      if (IsMarkerLead(c)) {
        if (i + 1 == b.size()) break;  // the lead byte stays in the last line
        if (b[i + 1] == '\0') {        // a broken character ends the line, both bytes read
          end = i;
          next = i + 2;
          break;
        }
        i += 2;
      } else if (c == '\n') {
        end = i;
        next = i + 1;
        break;
      } else if (c == '\0' || c == '\x1a') {
        end = next = i;
        break;
      } else {
        ++i;
      }
    }
    std::string line(b.substr(pos, end - pos));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    pos = next;
  }
  return lines;
}

// The first "]" at a character start, stepping from the line's start.
std::size_t CloseBracket(std::string_view line) {
  for (std::size_t i = 0; i < line.size();) {
    if (line[i] == ']') return i;
    if (!IsMarkerLead(line[i])) {
      ++i;
    } else if (i + 1 < line.size()) {
      i += 2;
    } else {
      break;
    }
  }
  return std::string_view::npos;
}

std::vector<std::string> SplitOnBars(std::string_view joined) {
  std::vector<std::string> pieces;
  std::size_t segment = 0;
  std::size_t i = 0;
  while (i < joined.size()) {
    if (joined[i] == '|') {
      pieces.emplace_back(joined.substr(segment, i - segment));
      segment = ++i;
    } else if (!IsMarkerLead(joined[i])) {
      ++i;
    } else if (i + 1 < joined.size()) {
      i += 2;
    } else {
      break;
    }
  }
  if (segment < joined.size()) pieces.emplace_back(joined.substr(segment));
  return pieces;
}

std::vector<std::string> ExpectedNames(std::string_view bytes) {
  std::string joined;
  for (const std::string& line : Lines(bytes)) {
    if (line.empty() || line[0] != '[') continue;
    const std::size_t close = CloseBracket(line);
    if (close == std::string_view::npos) continue;
    if (!joined.empty()) joined += '|';
    joined += line.substr(1, close - 1);
  }
  return SplitOnBars(joined);
}

// The value ReadProfileItem gives for the key "Name": leading bytes 0x01 to 0x20 of the section
// are not part of it, and an empty section reads nothing.
std::string ExpectedValue(const profile::ProfileIndex& index, std::string_view section) {
  while (!section.empty() && section[0] >= 0x01 && section[0] <= 0x20)
    section.remove_prefix(1);
  if (section.empty()) return "";
  return std::string(index.Find(section, "Name").value_or(""));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InstallFuzzServices();
  static const ListFile file;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  file.Write(bytes);

  OwnedTextArray names;
  app::CollectSectionNames(file.path().c_str(), &names);
  const std::vector<std::string> expected_names = ExpectedNames(bytes);
  Check(names != nullptr && ArrayCount(names.get()) == expected_names.size());
  for (std::size_t i = 0; i < expected_names.size(); ++i) {
    Check(TextView(TextArrayElements(names.get())[i]) == expected_names[i]);
  }

  const profile::ProfileIndex index =
      profile::ProfileIndex::FromFileBytes(bytes, *os::Current().codec);
  std::string expected_list;
  for (const std::string& name : expected_names) {
    if (name.empty()) continue;
    if (!expected_list.empty()) expected_list += "\r\n";
    expected_list += name + " " + ExpectedValue(index, name);
  }
  std::int32_t count = -1;
  OwnedText list(app::ReadCloudUpdateList(file.path().c_str(), &count));
  Check(count == static_cast<std::int32_t>(expected_names.size()));
  Check(TextView(list.get()) == expected_list);
  Check(open_files::Count() == 0);  // the reader closed what it opened
  return 0;
}
