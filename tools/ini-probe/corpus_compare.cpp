#include "tools/ini-probe/corpus_compare.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "runtime/commands/profile/profile_decode.h"
#include "runtime/commands/profile/profile_reader.h"
#include "tools/ini-probe/probe_format.h"

namespace marvane::ini_probe {
namespace {

std::optional<std::string> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// Splits a result line into the query part and the value, when it has one.
std::optional<std::pair<std::string_view, std::string>> SplitValue(std::string_view line) {
  std::size_t tab = line.rfind('\t');
  if (tab == std::string_view::npos || line.substr(tab + 1, 1) != "=") return std::nullopt;
  auto value = Unescape(line.substr(tab + 2));
  if (!value) return std::nullopt;
  return std::pair(line.substr(0, tab), std::move(*value));
}

// Two places where the platform's answer is wrong and ours is not:
// - its 10240-byte buffer ends inside a double-byte character: it returns 10238 bytes and one
//   unset byte, we return the 10238 bytes;
// - a quoted value of exactly 10239 characters fills its buffer without the closing quote, and it
//   drops the value's last character instead of the quote. Only values of single-byte characters
//   can tell: with any double-byte character the byte limit cuts deeper anyway.
bool AllowedDifference(std::string_view recorded_line, std::string_view our_line) {
  auto recorded = SplitValue(recorded_line);
  auto ours = SplitValue(our_line);
  if (!recorded || !ours || recorded->first != ours->first) return false;
  const std::string& theirs = recorded->second;
  const std::string& mine = ours->second;
  constexpr std::size_t kLimit = profile::ProfileIndex::kValueLimit;
  if (theirs.size() == kLimit && mine.size() == kLimit - 1 && theirs.starts_with(mine)) {
    return true;
  }
  bool single_bytes = std::none_of(mine.begin(), mine.end(), [](char c) {
    return gbk::IsLeadByte(static_cast<unsigned char>(c));
  });
  return mine.size() == kLimit && theirs.size() == kLimit - 1 && mine.starts_with(theirs) &&
         single_bytes;
}

}  // namespace

std::vector<std::string> CorpusNames(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    if (entry.path().extension() == ".queries") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

CorpusFileResult CompareCorpusFile(const std::filesystem::path& corpus_dir, const std::string& name,
                                   const std::filesystem::path& expected_dir,
                                   os::TextCodec& codec) {
  CorpusFileResult result;
  result.name = name;
  auto query_text = ReadFile(corpus_dir / (name + ".queries"));
  auto queries = query_text ? ParseQueries(*query_text) : std::nullopt;
  if (!queries) {
    result.disagreements.push_back(name + ".queries: missing or malformed");
    return result;
  }
  auto expected_text = ReadFile(expected_dir / (name + ".expected"));
  if (!expected_text) {
    result.disagreements.push_back(name + ".expected: missing");
    return result;
  }
  std::vector<std::string> expected = Lines(*expected_text);
  auto bytes = ReadFile(corpus_dir / (name + ".ini"));
  profile::ProfileIndex index =
      bytes ? profile::ProfileIndex::FromFileBytes(*bytes, codec) : profile::ProfileIndex();

  if (expected.size() != queries->size()) {
    result.disagreements.push_back(name + ": " + std::to_string(expected.size()) +
                                   " recorded answers for " + std::to_string(queries->size()) +
                                   " queries");
  }
  for (std::size_t i = 0; i < queries->size() && i < expected.size(); ++i) {
    ++result.queries;
    std::string ours =
        FormatResult((*queries)[i], index.Find((*queries)[i].section, (*queries)[i].key));
    ours.pop_back();  // the line end
    if (ours == expected[i]) continue;
    if (AllowedDifference(expected[i], ours)) {
      ++result.allowed;
      continue;
    }
    result.disagreements.push_back(name + ": query " + std::to_string(i + 1) +
                                   "\n  platform: " + expected[i].substr(0, 300) +
                                   "\n  ours:     " + ours.substr(0, 300));
  }
  return result;
}

}  // namespace marvane::ini_probe
