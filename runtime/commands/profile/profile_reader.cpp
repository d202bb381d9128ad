#include "runtime/commands/profile/profile_reader.h"

#include <algorithm>
#include <string>

#include "runtime/commands/profile/profile_decode.h"

namespace marvane::profile {
namespace {

// The section number of a repeated section, whose keys are never searched.
constexpr std::size_t kIgnored = static_cast<std::size_t>(-1);

bool IsTrimmed(char c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A;
}

struct Span {
  std::size_t begin;
  std::size_t end;
  bool empty() const { return begin == end; }
};

// None of the trimmed bytes, nor NUL, "=", "]" or a quote, can be the trail byte of a well-formed
// pair, so these scan bytes.
Span Trim(const char* t, Span s) {
  while (s.begin < s.end && IsTrimmed(t[s.begin]))
    ++s.begin;
  while (s.end > s.begin && IsTrimmed(t[s.end - 1]))
    --s.end;
  return s;
}

Span CutAtNul(const char* t, Span s) {
  for (std::size_t i = s.begin; i < s.end; ++i) {
    if (t[i] == '\0') return {s.begin, i};
  }
  return s;
}

Span Unquote(const char* t, Span s) {
  if (s.end - s.begin >= 2 && (t[s.begin] == '"' || t[s.begin] == '\'') &&
      t[s.end - 1] == t[s.begin]) {
    return {s.begin + 1, s.end - 1};
  }
  return s;
}

// "]" can be a trail byte, so the last one is found by stepping over whole characters.
std::size_t LastCloseBracket(const char* t, Span s) {
  std::size_t found = std::string_view::npos;
  for (std::size_t i = s.begin; i < s.end; ++i) {
    if (IsGbkLead(static_cast<unsigned char>(t[i])) && i + 1 < s.end) {
      ++i;
    } else if (t[i] == ']') {
      found = i;
    }
  }
  return found;
}

Span LimitValue(const char* t, Span s) {
  if (s.end - s.begin <= ProfileIndex::kValueLimit) return s;
  std::size_t limit = s.begin + ProfileIndex::kValueLimit;
  std::size_t i = s.begin;
  while (i < limit) {
    std::size_t step = IsGbkLead(static_cast<unsigned char>(t[i])) ? 2 : 1;
    if (i + step > limit) break;
    i += step;
  }
  return {s.begin, i};
}

void FoldAscii(const char* in, std::size_t size, char* out) {
  for (std::size_t i = 0; i < size; ++i) {
    char c = in[i];
    if (IsGbkLead(static_cast<unsigned char>(c)) && i + 1 < size) {
      out[i] = c;
      out[i + 1] = in[i + 1];  // a trail byte in A-Z is part of a character, not a letter
      ++i;
    } else {
      out[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
  }
}

// A name asked for, in the form its match in folded_ has.
std::string QueryName(std::string_view name) {
  name = name.substr(0, name.find('\0'));  // the platform takes NUL-terminated names
  std::string text = NormalizeGbk(name, LoneLead::kDrop);
  Span s = Trim(text.data(), {0, text.size()});
  std::string folded(s.end - s.begin, '\0');
  FoldAscii(text.data() + s.begin, folded.size(), folded.data());
  return folded;
}

}  // namespace

ProfileIndex::ProfileIndex(std::string_view text)
    : text_(text.begin(), text.end()), folded_(text.size()) {
  FoldAscii(text_.data(), text_.size(), folded_.data());
  const char* t = text_.data();
  const std::size_t n = text_.size();
  // Room for one key a line, so the table never grows while the file is read.
  keys_.reserve(static_cast<std::size_t>(std::count(t, t + n, '\n') + std::count(t, t + n, '\r')) +
                1);
  sections_.emplace(std::string_view(), 0);
  std::size_t section = 0;
  std::size_t pos = 0;
  while (pos < n) {
    std::size_t end = pos;
    while (end < n && t[end] != '\n' && t[end] != '\r')
      ++end;
    IndexLine(pos, end, section);
    pos = end + 1;
  }
}

ProfileIndex ProfileIndex::FromFileBytes(std::string_view bytes, os::TextCodec& codec) {
  return ProfileIndex(DecodeProfileFile(bytes, codec));
}

void ProfileIndex::IndexLine(std::size_t begin, std::size_t end, std::size_t& section) {
  const char* t = text_.data();
  Span line = Trim(t, {begin, end});
  if (line.empty()) return;
  auto name_view = [&](Span s) {
    return std::string_view(folded_.data() + s.begin, s.end - s.begin);
  };

  if (t[line.begin] == '[') {
    std::size_t close = LastCloseBracket(t, {line.begin + 1, line.end});
    if (close != std::string_view::npos) {
      Span name = CutAtNul(t, Trim(t, {line.begin + 1, close}));
      auto [it, inserted] = sections_.try_emplace(name_view(name), sections_.size());
      section = inserted ? it->second : kIgnored;
      return;
    }
  }
  if (section == kIgnored) return;

  std::size_t eq = line.begin;
  while (eq < line.end && t[eq] != '=')
    ++eq;
  Span name = CutAtNul(t, Trim(t, {line.begin, eq}));
  Entry entry;
  if (eq < line.end) {
    Span value = LimitValue(t, Unquote(t, CutAtNul(t, Trim(t, {eq + 1, line.end}))));
    entry = {value.begin, value.end - value.begin, true};
  }
  keys_.try_emplace(KeyName{section, name_view(name)}, entry);
}

std::optional<std::string_view> ProfileIndex::Find(std::string_view section,
                                                   std::string_view key) const {
  auto s = sections_.find(QueryName(section));
  if (s == sections_.end()) return std::nullopt;
  std::string folded_key = QueryName(key);
  auto k = keys_.find(KeyName{s->second, folded_key});
  if (k == keys_.end() || !k->second.has_value) return std::nullopt;
  return std::string_view(text_.data() + k->second.offset, k->second.size);
}

}  // namespace marvane::profile
