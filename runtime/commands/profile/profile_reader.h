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
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <unordered_map>
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
  static ProfileIndex FromFileBytes(std::string_view bytes, os::TextCodec& codec);

  // Moving keeps the buffers that the maps' views point into; copying would not.
  ProfileIndex(ProfileIndex&&) = default;
  ProfileIndex& operator=(ProfileIndex&&) = default;
  ProfileIndex(const ProfileIndex&) = delete;
  ProfileIndex& operator=(const ProfileIndex&) = delete;

  // The value's GBK bytes, or nullopt where the platform call gives its default text.
  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

 private:
  struct Entry {
    std::size_t offset = 0;
    std::size_t size = 0;
    bool has_value = false;
  };
  // A key of one section; the name is a view into folded_.
  struct KeyName {
    std::size_t section;
    std::string_view name;
    bool operator==(const KeyName&) const = default;
  };
  struct KeyNameHash {
    std::size_t operator()(const KeyName& k) const {
      return std::hash<std::string_view>()(k.name) ^ (k.section * 0x9E3779B97F4A7C15ull);
    }
  };

  // `text` is a decoded file: the scans rely on its pairs being well formed.
  explicit ProfileIndex(std::string_view text);
  void IndexLine(std::size_t begin, std::size_t end, std::size_t& section);

  std::vector<char> text_;    // the decoded file: values point here
  std::vector<char> folded_;  // the same with ASCII letters in lower case: names point here
  // Section names to section numbers; the unnamed section is 0. Keys of a repeated section are
  // not kept: they can never be found.
  std::unordered_map<std::string_view, std::size_t> sections_;
  std::unordered_map<KeyName, Entry, KeyNameHash> keys_;
};

}  // namespace marvane::profile
