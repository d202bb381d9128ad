// Feeds arbitrary bytes to the profile reader as a whole file: decoding and indexing must not read
// out of bounds, and lookups of the section and key names found in the input must answer alike
// however a name is spelled (letter case, surrounding blanks, anything after a NUL), with values
// that fit the platform's buffer and hold well-formed GBK.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_services.h"
#include "platform/platform.h"
#include "runtime/commands/profile/profile_decode.h"
#include "runtime/commands/profile/profile_reader.h"

namespace {

using namespace marvane;
using fuzz::Check;

constexpr std::size_t kNames = 12;  // of each kind: lookups grow with the square

// The ASCII letters of a name in the other case; bytes of double-byte characters stay.
std::string SwapCase(std::string_view name) {
  std::string out(name);
  for (std::size_t i = 0; i < out.size(); ++i) {
    auto c = static_cast<unsigned char>(out[i]);
    if (gbk::IsLeadByte(c)) {
      ++i;
    } else if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 32);
    } else if (c >= 'A' && c <= 'Z') {
      out[i] = static_cast<char>(c + 32);
    }
  }
  return out;
}

// True when stepping over the name by characters ends on a character boundary.
bool EndsWhole(std::string_view name) {
  std::size_t i = 0;
  while (i < name.size())
    i += gbk::IsLeadByte(static_cast<unsigned char>(name[i])) ? 2 : 1;
  return i == name.size();
}

void CheckValue(std::string_view value) {
  Check(value.size() <= profile::ProfileIndex::kValueLimit);
  Check(value.find('\0') == std::string_view::npos);
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (!gbk::IsLeadByte(static_cast<unsigned char>(value[i]))) continue;
    Check(i + 1 < value.size() && gbk::IsTrailByte(static_cast<unsigned char>(value[i + 1])));
    ++i;
  }
}

// Names as the input spells them: what follows "[" on a line, up to its last "]", and what comes
// before the first "=" of a line.
void CollectNames(std::string_view bytes, std::vector<std::string>* sections,
                  std::vector<std::string>* keys) {
  sections->push_back("");  // the keys before the first header
  std::size_t pos = 0;
  while (pos < bytes.size() && (sections->size() < kNames || keys->size() < kNames)) {
    std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(pos, end - pos);
    pos = end + 1;
    const std::size_t open = line.find('[');
    const std::size_t close = line.rfind(']');
    if (open != std::string_view::npos && close != std::string_view::npos && close > open &&
        sections->size() < kNames) {
      sections->emplace_back(line.substr(open + 1, close - open - 1));
    }
    const std::size_t eq = line.find('=');
    if (eq != std::string_view::npos && keys->size() < kNames) {
      keys->emplace_back(line.substr(0, eq));
    }
  }
  keys->push_back("Name");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InstallFuzzServices();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  os::TextCodec& codec = *os::Current().codec;
  const profile::ProfileIndex index = profile::ProfileIndex::FromFileBytes(bytes, codec);

  std::vector<std::string> sections, keys;
  CollectNames(bytes, &sections, &keys);
  for (const std::string& section : sections) {
    for (const std::string& key : keys) {
      const std::optional<std::string_view> value = index.Find(section, key);
      if (value) CheckValue(*value);
      Check(index.Find(SwapCase(section), SwapCase(key)) == value);
      Check(index.Find(section + std::string(1, '\0') + "x", key) == value);
      // Blanks after a lead byte would pair with it, so names that end inside a character keep
      // their end as it is.
      const bool whole = EndsWhole(section) && EndsWhole(key);
      if (whole) Check(index.Find(" \t" + section + " \r", "\x1a" + key + "\x0b") == value);
      // A lead byte left at the end of a name asked for is dropped.
      if (whole) Check(index.Find(section + "\x81", key) == value);
    }
  }
  // The empty index answers nothing.
  Check(!profile::ProfileIndex().Find(sections.back(), keys.front()));
  return 0;
}
