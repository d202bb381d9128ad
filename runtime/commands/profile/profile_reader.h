// The index of one profile (INI-style) file: built in one pass over the file, then answering
// (section, key) lookups in constant time. It gives the answers the platform's
// GetPrivateProfileStringA gives for a GBK file under code page 936 with a 10240-byte buffer:
//
// - The file is decoded first (profile_decode.h): a BOM selects UTF-8 or UTF-16, anything else is
//   GBK with malformed pairs turned into "?".
// - LF ends a line, and so does a lone CR. Lines, names and values are trimmed of blank, TAB, LF,
//   VT, FF, CR and 0x1A; other control bytes and the full-width blank (A1A1) stay. Empty lines are
//   skipped.
// - A line opening with "[" and holding a "]" is a section header ("[k]=v" too); the name runs to
//   the line's last "]" and is trimmed. Text after that "]" is ignored.
// - Any other line is a key line. The name runs to the first "=", the value is the rest. A line
//   without "=" names a key that has no value: it answers like a missing key, and it hides later
//   lines with the same name. There are no comments: ";Name=x" is the key ";Name".
// - After trimming, a NUL ends a name or a value. A value then loses one pair of equal quotes
//   (" or ') that open and close it, and is cut to 10239 bytes. Two platform faults are not copied:
//   where its buffer ends inside a double-byte character (leaving one byte unset) the cut is made
//   before that character, and a quoted value of exactly 10239 characters keeps its last one.
// - Keys before the first header belong to an unnamed section that always comes first, so a later
//   "[]" is never searched.
// - Names match with ASCII letters case folded, nothing else. Of equal section names only the first
//   section is searched; of equal keys in it the first wins.
// - The names asked for are read like names in the file: trimmed, malformed pairs turned into "?",
//   and a lead byte at their end dropped.
//
// The index is a few flat arrays of offsets into the decoded file. A section with few keys keeps
// only where its lines are, and a lookup reads them in turn; only large sections get their keys
// indexed. A large list (a million small sections) so costs little more than its size, where an
// entry per key would cost twice that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace marvane::profile {

class ProfileIndex {
 public:
  // The longest value the platform call returns into its 10240-byte buffer.
  static constexpr std::size_t kValueLimit = 10239;

  // An index of nothing: every lookup misses.
  ProfileIndex() = default;
  // Decodes the file's bytes (the codec is asked only for a file with a BOM), then indexes them.
  // A decoded file of 4 GiB or more gives the index of nothing.
  static ProfileIndex FromFileBytes(std::string_view bytes, os::TextCodec& codec);
  // The same, decoding in the bytes' own buffer where it can.
  static ProfileIndex FromFileBytes(std::string&& bytes, os::TextCodec& codec);

  // Moving keeps the buffer that the offsets point into.
  ProfileIndex(ProfileIndex&&) = default;
  ProfileIndex& operator=(ProfileIndex&&) = default;
  ProfileIndex(const ProfileIndex&) = delete;
  ProfileIndex& operator=(const ProfileIndex&) = delete;

  // The value's GBK bytes, or nullopt where the platform call gives its default text.
  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

 private:
  // Sections with more keys than this get their keys into key_slots_; fewer are searched in turn.
  static constexpr std::uint32_t kSearchedInTurn = 16;
  static constexpr std::uint32_t kNoValue = UINT32_MAX;

  struct Key {
    std::uint32_t name_offset;
    std::uint32_t name_length;
    std::uint32_t value_offset;
    std::uint32_t value_length;  // kNoValue for a line without "="
  };
  struct Section {
    std::uint32_t name_offset;
    std::uint32_t name_length;
    // Its lines: from the one after its header up to the next header, each non-empty one a key.
    std::uint32_t body_begin;
    std::uint32_t body_end;
    std::uint32_t key_count;
    std::uint32_t first_key;  // a large section's keys are keys_[first_key, first_key + key_count)
  };
  // Open addressing: a slot holds an index + 1, or 0 when empty; the table size is a power of 2.
  using Slots = std::vector<std::uint32_t>;

  // `text` is a decoded file: the scans rely on its pairs being well formed.
  explicit ProfileIndex(std::string text);
  // Hashes the section names; of equal names only the first section stays.
  void IndexSectionNames();
  // The key of a non-empty key line, [begin, end) trimmed.
  Key KeyOf(std::size_t begin, std::size_t end) const;
  // The first key of the section named so (folded); null when there is none.
  std::optional<Key> FindKey(std::size_t section, std::string_view name) const;
  void IndexLargeSections();
  std::string_view View(std::uint32_t offset, std::uint32_t length) const {
    return std::string_view(text_).substr(offset, length);
  }

  std::string text_;  // the decoded file: every name and value lies in it
  // In file order; the unnamed section (keys before the first header) is 0. Of equal names only
  // the first is kept: the keys of a repeat can never be found.
  std::vector<Section> sections_;
  std::vector<std::uint32_t> section_hashes_;
  Slots section_slots_;
  std::vector<Key> keys_;  // of the large sections, in file order: the first equal key first
  Slots key_slots_;        // the first of each name among the keys of the large sections
  // The section after the one last found: lists are read section by section in file order, and
  // trying it first walks the index in order instead of jumping through the hash table.
  mutable std::size_t next_section_ = 0;
};

}  // namespace marvane::profile
