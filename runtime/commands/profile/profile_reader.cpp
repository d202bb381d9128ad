#include "runtime/commands/profile/profile_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <utility>

#include "platform/gbk_bytes.h"
#include "runtime/commands/profile/profile_decode.h"

namespace marvane::profile {
namespace {

// Room is made in advance for at most one section per so many bytes of the file; a file with
// more headers than that grows its array from there.
constexpr std::size_t kBytesPerSectionBound = 16;

constexpr std::uint64_t kHashBasis = 0xcbf29ce484222325ull;
constexpr std::uint64_t kHashPrime = 0x100000001b3ull;

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
    if (gbk::IsLeadByte(static_cast<unsigned char>(t[i])) && i + 1 < s.end) {
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
    std::size_t step = gbk::IsLeadByte(static_cast<unsigned char>(t[i])) ? 2 : 1;
    if (i + step > limit) break;
    i += step;
  }
  return {s.begin, i};
}

// Names compare and hash as their folded form reads: ASCII letters in lower case, a double-byte
// character taken whole (a trail byte in A-Z is part of a character, not a letter). Every name
// in the file starts on a character, so folding it alone gives what folding the file would.
std::uint32_t FoldedHash(std::string_view name) {
  std::uint64_t h = kHashBasis;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (gbk::IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < name.size()) {
      h = (h ^ static_cast<unsigned char>(c)) * kHashPrime;
      h = (h ^ static_cast<unsigned char>(name[++i])) * kHashPrime;
    } else {
      h = (h ^ static_cast<unsigned char>(gbk::AsciiLower(c))) * kHashPrime;
    }
  }
  return static_cast<std::uint32_t>(h ^ (h >> 32));
}

bool FoldedEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (gbk::IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (gbk::AsciiLower(a[i]) != gbk::AsciiLower(b[i])) {
      return false;
    }
  }
  return true;
}

// The keys of different sections spread over the table even where their names are equal.
std::uint32_t KeyHash(std::string_view name, std::size_t section) {
  return FoldedHash(name) ^ static_cast<std::uint32_t>(section * 0x9E3779B9u);
}

// A name asked for, in the form that FoldedEqual compares.
std::string QueryName(std::string_view name) {
  name = name.substr(0, name.find('\0'));  // the platform takes NUL-terminated names
  std::string text = NormalizeGbk(name, LoneLead::kDrop);
  Span s = Trim(text.data(), {0, text.size()});
  text.erase(s.end);
  text.erase(0, s.begin);
  return text;
}

// The position of the first LF or CR from pos on, or n. Eight bytes are tested at a time: a
// byte equal to c leaves a zero byte in the word XORed with c in every byte.
std::size_t LineEnd(const char* t, std::size_t pos, std::size_t n) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
  auto zero_byte = [](std::uint64_t w) { return (w - kOnes) & ~w & kHighBits; };
  while (n - pos >= 8) {
    std::uint64_t word;
    std::memcpy(&word, t + pos, 8);
    const std::uint64_t ends = zero_byte(word ^ (kOnes * '\n')) | zero_byte(word ^ (kOnes * '\r'));
    if (ends) {
      // The lowest marked byte is exact; marks above it can be false.
      if constexpr (std::endian::native == std::endian::little) {
        return pos + static_cast<std::size_t>(std::countr_zero(ends)) / 8;
      }
      break;
    }
    pos += 8;
  }
  while (pos < n && t[pos] != '\n' && t[pos] != '\r')
    ++pos;
  return pos;
}

// Calls f with each non-empty line of t[begin, end), trimmed, in order, until f returns true.
template <typename F>
void ForEachLine(const char* t, std::size_t begin, std::size_t end, F f) {
  for (std::size_t pos = begin; pos < end;) {
    const std::size_t line_end = LineEnd(t, pos, end);
    const Span line = Trim(t, {pos, line_end});
    if (!line.empty() && f(line)) return;
    pos = line_end + 1;
  }
}

std::size_t TableSizeFor(std::size_t entries) {
  std::size_t size = 16;
  while (size < 2 * entries)
    size *= 2;
  return size;
}

}  // namespace

ProfileIndex::ProfileIndex(std::string text) : text_(std::move(text)) {
  // Offsets are 32 bits wide; a larger file than that is no profile.
  if (text_.size() > UINT32_MAX) {
    text_ = std::string();
    return;
  }
  const char* t = text_.data();
  const auto n = static_cast<std::uint32_t>(text_.size());
  // Every header holds a "[": made at once at about its final size (a bound on how much a file
  // full of "[" can ask for), the array does not leave behind the copies that growing makes.
  const std::size_t headers =
      std::min<std::size_t>(std::count(t, t + n, '['), n / kBytesPerSectionBound);
  sections_.reserve(headers + 1);  // and the unnamed section
  // Every section in file order, repeats too; the unnamed one first. Each line after a header
  // belongs to the last section begun.
  sections_.push_back({0, 0, 0, 0, 0, 0});
  ForEachLine(t, 0, n, [&](Span line) {
    if (t[line.begin] == '[') {
      const std::size_t close = LastCloseBracket(t, {line.begin + 1, line.end});
      if (close != std::string_view::npos) {
        // The header ends the lines of the section before it and begins those of its own. What
        // lies around the trimmed header on its line is trimmed bytes, an empty line to a scan.
        sections_.back().body_end = static_cast<std::uint32_t>(line.begin);
        const Span name = CutAtNul(t, Trim(t, {line.begin + 1, close}));
        sections_.push_back({static_cast<std::uint32_t>(name.begin),
                             static_cast<std::uint32_t>(name.end - name.begin),
                             static_cast<std::uint32_t>(line.end), 0, 0, 0});
        return false;
      }
    }
    ++sections_.back().key_count;
    return false;
  });
  sections_.back().body_end = n;
  IndexSectionNames();
  IndexLargeSections();
}

ProfileIndex ProfileIndex::FromFileBytes(std::string_view bytes, os::TextCodec& codec) {
  return ProfileIndex(DecodeProfileFile(bytes, codec));
}

ProfileIndex ProfileIndex::FromFileBytes(std::string&& bytes, os::TextCodec& codec) {
  return ProfileIndex(DecodeProfileFile(std::move(bytes), codec));
}

void ProfileIndex::IndexSectionNames() {
  // The table is made once, at its final size, after all sections are known.
  section_slots_.assign(TableSizeFor(sections_.size()), 0);
  section_hashes_.reserve(sections_.size());
  const std::size_t mask = section_slots_.size() - 1;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    const Section section = sections_[i];
    const std::string_view name = View(section.name_offset, section.name_length);
    const std::uint32_t hash = FoldedHash(name);
    std::size_t s = hash & mask;
    bool repeat = false;
    for (; section_slots_[s] != 0 && !repeat; s = (s + 1) & mask) {
      const std::uint32_t other = section_slots_[s] - 1;
      repeat = section_hashes_[other] == hash &&
               FoldedEqual(View(sections_[other].name_offset, sections_[other].name_length), name);
    }
    if (repeat) continue;
    section_slots_[s] = static_cast<std::uint32_t>(kept + 1);
    sections_[kept++] = section;
    section_hashes_.push_back(hash);
  }
  sections_.resize(kept);
}

ProfileIndex::Key ProfileIndex::KeyOf(std::size_t begin, std::size_t end) const {
  const char* t = text_.data();
  std::size_t eq = begin;
  while (eq < end && t[eq] != '=')
    ++eq;
  const Span name = CutAtNul(t, Trim(t, {begin, eq}));
  Key key{static_cast<std::uint32_t>(name.begin), static_cast<std::uint32_t>(name.end - name.begin),
          0, kNoValue};
  if (eq < end) {
    const Span value = LimitValue(t, Unquote(t, CutAtNul(t, Trim(t, {eq + 1, end}))));
    key.value_offset = static_cast<std::uint32_t>(value.begin);
    key.value_length = static_cast<std::uint32_t>(value.end - value.begin);
  }
  return key;
}

void ProfileIndex::IndexLargeSections() {
  std::size_t keys = 0;
  for (const Section& s : sections_) {
    if (s.key_count > kSearchedInTurn) keys += s.key_count;
  }
  if (keys == 0) return;
  keys_.reserve(keys);
  for (Section& s : sections_) {
    if (s.key_count <= kSearchedInTurn) continue;
    s.first_key = static_cast<std::uint32_t>(keys_.size());
    ForEachLine(text_.data(), s.body_begin, s.body_end, [&](Span line) {
      keys_.push_back(KeyOf(line.begin, line.end));
      return false;
    });
  }
  key_slots_.assign(TableSizeFor(keys), 0);
  const std::size_t mask = key_slots_.size() - 1;
  for (std::size_t si = 0; si < sections_.size(); ++si) {
    const Section& section = sections_[si];
    if (section.key_count <= kSearchedInTurn) continue;
    for (std::uint32_t k = section.first_key; k < section.first_key + section.key_count; ++k) {
      const std::string_view name = View(keys_[k].name_offset, keys_[k].name_length);
      std::size_t s = KeyHash(name, si) & mask;
      // Keys go in in file order: a name already there came first and stays.
      for (; key_slots_[s] != 0; s = (s + 1) & mask) {
        const Key& other = keys_[key_slots_[s] - 1];
        if (key_slots_[s] - 1 >= section.first_key &&
            FoldedEqual(View(other.name_offset, other.name_length), name)) {
          break;
        }
      }
      if (key_slots_[s] == 0) key_slots_[s] = k + 1;
    }
  }
}

std::optional<std::string_view> ProfileIndex::Find(std::string_view section,
                                                   std::string_view key) const {
  if (section_slots_.empty()) return std::nullopt;
  const std::string section_name = QueryName(section);
  const std::size_t section_mask = section_slots_.size() - 1;
  std::size_t si = next_section_;
  // Names are unique in sections_, so an equal name there is the section the table would give.
  if (si >= sections_.size() ||
      !FoldedEqual(View(sections_[si].name_offset, sections_[si].name_length), section_name)) {
    const std::uint32_t section_hash = FoldedHash(section_name);
    for (std::size_t s = section_hash & section_mask;; s = (s + 1) & section_mask) {
      const std::uint32_t slot = section_slots_[s];
      if (slot == 0) return std::nullopt;
      const Section& candidate = sections_[slot - 1];
      if (section_hashes_[slot - 1] == section_hash &&
          FoldedEqual(View(candidate.name_offset, candidate.name_length), section_name)) {
        si = slot - 1;
        break;
      }
    }
  }
  next_section_ = si + 1;
  const std::optional<Key> found = FindKey(si, QueryName(key));
  if (!found || found->value_length == kNoValue) return std::nullopt;
  return View(found->value_offset, found->value_length);
}

std::optional<ProfileIndex::Key> ProfileIndex::FindKey(std::size_t section,
                                                       std::string_view name) const {
  const Section& found_section = sections_[section];
  std::optional<Key> found;
  if (found_section.key_count <= kSearchedInTurn) {
    ForEachLine(text_.data(), found_section.body_begin, found_section.body_end, [&](Span line) {
      const Key k = KeyOf(line.begin, line.end);
      if (FoldedEqual(View(k.name_offset, k.name_length), name)) found = k;
      return found.has_value();
    });
    return found;
  }
  const std::uint32_t first = found_section.first_key;
  const std::uint32_t last = first + found_section.key_count;
  const std::size_t mask = key_slots_.size() - 1;
  for (std::size_t s = KeyHash(name, section) & mask; key_slots_[s] != 0; s = (s + 1) & mask) {
    const std::uint32_t k = key_slots_[s] - 1;
    if (k >= first && k < last &&
        FoldedEqual(View(keys_[k].name_offset, keys_[k].name_length), name)) {
      return keys_[k];
    }
  }
  return std::nullopt;
}

}  // namespace marvane::profile
