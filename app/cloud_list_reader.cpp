#include "app/cloud_list_reader.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/gbk_bytes.h"
#include "runtime/commands/file/file_commands.h"
#include "runtime/commands/text/text_commands.h"
#include "runtime/values/text_builder.h"

namespace marvane::app {
namespace {

using commands::CloseFile;
using commands::FileExists;
using commands::FindText;
using commands::IsEndOfFile;
using commands::MidText;
using commands::OpenFile;
using commands::ReadProfileItem;

OwnedText TakeText(const ValueRecord& r) {
  return OwnedText(static_cast<char*>(PointerOf(r)));
}

// Joins the section names with "|" and splits the joined text on "|" as the names come, handing
// each piece on at once: neither the joined text nor the array of pieces is ever held, which for a
// large list would cost as much as the profile index. The split steps as SplitText does: a byte of
// 0x80 or more takes the next byte with it, so a "|" that is such a byte's partner splits nothing.
template <typename OnPiece>
class SectionNameSplitter {
 public:
  explicit SectionNameSplitter(OnPiece on_piece) : on_piece_(std::move(on_piece)) {}

  // A header's name: it becomes the joined text while that is empty (so empty names before the
  // first non-empty one leave no trace), else "|" and the name follow.
  void Join(std::string_view name) {
    if (joined_any_) Take('|');
    joined_any_ = joined_any_ || !name.empty();
    for (const char c : name)
      Take(c);
  }
  // The split's end: what follows the last "|" is a piece unless it is empty.
  void Finish() {
    if (!piece_.empty()) EndPiece();
  }

 private:
  void Take(char c) {
    if (second_byte_next_) {
      second_byte_next_ = false;
    } else if (c == '|') {
      EndPiece();
      return;
    } else {
      second_byte_next_ = gbk::IsHighByte(static_cast<unsigned char>(c));
    }
    piece_ += c;
  }
  void EndPiece() {
    on_piece_(piece_);
    piece_.clear();
  }

  OnPiece on_piece_;
  std::string piece_;  // the piece so far; an empty one between two bars is handed on empty
  bool joined_any_ = false;
  bool second_byte_next_ = false;
};

// The name of a section header line, or nothing for any other line. A header starts with "["
// and holds a "]" further on; the name is what lies between "[" and the first "]".
bool SectionName(const char* line, OwnedText* name) {
  // Most lines are key lines; they fail the first test below without a command being run.
  if (!line || *line != '[') return false;
  // The first byte is "[" itself, so the head of p bytes up to the "]" starts with "[" and, being
  // longer, compares above it exactly when a "]" was found (p is then 2 or more): the tests of
  // LeftText and CompareText come down to that.
  const std::int32_t close =
      IntOf(CallCore(FindText, {TextArg(line), TextArg("]"), IntValue(1), BoolValue(true)}));
  if (close == -1) return false;
  *name = TakeText(CallCore(MidText, {TextArg(line), IntValue(2), IntValue(close - 2)}));
  return true;
}

// The line pass: each section name as the join and the split leave it, in file order, to
// on_piece (a const std::string&). False when no file exists at the path.
template <typename OnPiece>
bool ForEachSectionName(const char* path, OnPiece on_piece) {
  if (CallCore(FileExists, {TextArg(path)}).low == 0) return false;
  SectionNameSplitter<OnPiece> names(std::move(on_piece));
  const ValueRecord file = CallCore(OpenFile, {TextArg(path), IntValue(1), IntValue(1)});
  const ValueRecord number = IntValue(IntOf(file));
  // A file that could not be opened (number 0) is at its end at once.
  while (CallCore(IsEndOfFile, {number, BoolValue(true)}).low == 0) {
    // Only a line that starts with "[" can be a header: any other is passed over as ReadLine
    // would read it, without a text being made of it.
    OwnedText line(commands::ReadLineUpTo(static_cast<std::uint32_t>(IntOf(number)),
                                          commands::kReadLimit, '['));
    OwnedText name;
    if (SectionName(line.get(), &name)) names.Join(TextView(name.get()));
  }
  CallCore(CloseFile, {number});
  names.Finish();
  return true;
}

}  // namespace

void CollectSectionNames(const char* path, OwnedTextArray* names) {
  std::vector<OwnedText> pieces;
  // An empty piece becomes a null element, as the split makes it.
  const auto keep = [&pieces](const std::string& piece) { pieces.emplace_back(MakeText(piece)); };
  if (!ForEachSectionName(path, keep)) return;
  OwnedTextArray array(NewTextArray(static_cast<std::uint32_t>(pieces.size())));
  Text* slots = TextArrayElements(array.get());
  for (std::size_t i = 0; i < pieces.size(); ++i)
    slots[i] = pieces[i].release();
  *names = std::move(array);
}

Text ReadCloudUpdateList(const char* path, std::int32_t* count) {
  // One reading of the file answers every section's lookup. It is taken before the line pass:
  // its copy of the file then lands in the block that the raw text has just left, before the
  // pass's smaller blocks are cut from it.
  commands::ProfileFileHold hold(path);
  // The list grows on the runtime heap and becomes the result without a copy. Each name is
  // looked up as the line pass finds it, so the names are never held all at once.
  TextBuilder list;
  std::int64_t local_count = 0;
  ForEachSectionName(path, [&](const std::string& name) {
    ++local_count;
    if (name.empty()) return;
    // No default given: a missing key reads as the empty text.
    OwnedText value = TakeText(
        CallCore(ReadProfileItem, {TextArg(path), TextArg(name.c_str()), TextArg("Name"), {}}));
    if (!list.empty()) list.Append("\r\n");
    list.Append(name);
    list.Append(' ');
    list.Append(TextView(value.get()));
  });
  *count = static_cast<std::int32_t>(std::min<std::int64_t>(local_count, INT32_MAX));
  return list.Release();
}

}  // namespace marvane::app
