// Feeds arbitrary texts and arguments to FindText, SplitText and CompareText and checks each answer
// against what it must mean, worked out independently of the commands.
//
// Input: a flag byte, a 32-bit start position, an 8-bit part limit, then two texts separated by a
// NUL (the first is searched, split and compared; the second is the search text, the delimiter
// and the other side of the comparison).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_services.h"
#include "runtime/commands/text/text_commands.h"
#include "runtime/values/values.h"

namespace {

using namespace marvane;
using fuzz::Check;

enum Flags : std::uint8_t {
  kStartGiven = 1,
  kFoldGiven = 2,
  kFoldPayloadTwo = 4,  // a bool payload other than 0 or 1
  kDelimiterOmitted = 8,
  kLimitGiven = 16,
  kExactGiven = 32,
};

struct Input {
  std::uint8_t flags = 0;
  std::int32_t start = 0;
  std::int8_t limit = 0;
  std::string a;
  std::string b;
};

std::optional<Input> Parse(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return std::nullopt;
  Input in;
  in.flags = data[0];
  std::uint32_t start = 0;
  std::memcpy(&start, data + 1, 4);
  in.start = static_cast<std::int32_t>(start);
  in.limit = static_cast<std::int8_t>(data[5]);
  std::string_view rest(reinterpret_cast<const char*>(data + 6), size - 6);
  const std::size_t nul = rest.find('\0');
  in.a = std::string(rest.substr(0, nul));
  if (nul != std::string_view::npos) {
    std::string_view tail = rest.substr(nul + 1);
    in.b = std::string(tail.substr(0, tail.find('\0')));
  }
  return in;
}

bool IsLead(char c) {
  return static_cast<unsigned char>(c) >= 0x80;
}
char Fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// Character starts of a text as the searching commands step: a byte of 0x80 or more starts a
// two-byte character, and one directly before the end ends the text.
std::vector<std::size_t> CharacterStarts(std::string_view t, std::size_t from) {
  std::vector<std::size_t> starts;
  std::size_t i = from;
  while (i < t.size()) {
    starts.push_back(i);
    if (!IsLead(t[i])) {
      ++i;
    } else if (i + 1 < t.size()) {
      i += 2;
    } else {
      break;
    }
  }
  return starts;
}

bool MatchesAt(std::string_view t, std::size_t at, std::string_view s, bool fold) {
  if (at + s.size() > t.size()) return false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (fold ? Fold(t[at + i]) != Fold(s[i]) : t[at + i] != s[i]) return false;
  }
  return true;
}

void CheckFindText(const Input& in) {
  ValueRecord start = (in.flags & kStartGiven) ? IntValue(in.start) : ValueRecord{};
  ValueRecord fold_arg{};
  if (in.flags & kFoldGiven) {
    fold_arg = BoolValue(true);
    fold_arg.low = (in.flags & kFoldPayloadTwo) ? 2 : 1;
  }
  const bool fold = fold_arg.low == 1;  // only a payload of exactly 1 folds
  const std::int32_t found = IntOf(CallCore(
      commands::FindText, {TextArg(in.a.c_str()), TextArg(in.b.c_str()), start, fold_arg}));

  const std::int64_t given = (in.flags & kStartGiven) ? std::int64_t{in.start} - 1 : 0;
  const std::size_t from = given < 0 ? 0 : static_cast<std::size_t>(given);
  if (from >= in.a.size()) {
    Check(found == -1);
    return;
  }
  if (in.b.empty()) {
    Check(found == 1);
    return;
  }
  std::int32_t expected = -1;
  for (std::size_t at : CharacterStarts(in.a, from)) {
    if (MatchesAt(in.a, at, in.b, fold)) {
      expected = static_cast<std::int32_t>(at + 1);
      break;
    }
  }
  Check(found == expected);
}

// A TextArray as strings, empty elements as "" (they must be null, never an allocated "").
std::vector<std::string> Pieces(const ValueRecord& r) {
  OwnedTextArray array(PointerOf(r));
  Check(array != nullptr);
  Check(ArrayDimensions(array.get()) == 1);
  std::vector<std::string> pieces;
  Text* elements = TextArrayElements(array.get());
  for (std::uint64_t i = 0; i < ArrayCount(array.get()); ++i) {
    Check(elements[i] == nullptr || elements[i][0] != '\0');
    pieces.emplace_back(TextView(elements[i]));
  }
  return pieces;
}

void CheckSplitText(const Input& in) {
  const bool omitted = in.flags & kDelimiterOmitted;
  const ValueRecord delimiter_arg = omitted ? ValueRecord{} : TextArg(in.b.c_str());
  const std::string d = omitted ? "," : in.b;
  const std::vector<std::string> all =
      Pieces(CallCore(commands::SplitText, {TextArg(in.a.c_str()), delimiter_arg, {}}));

  if (in.a.empty()) {
    Check(all.empty());
  } else if (d.empty()) {
    Check(all.size() == 1 && all[0] == in.a);
  } else {
    // Joined again the pieces give the text, less an empty last piece after a final delimiter.
    std::string joined;
    for (std::size_t i = 0; i < all.size(); ++i)
      joined += (i ? d : "") + all[i];
    Check(joined == in.a || joined + d == in.a);
    // No piece holds the delimiter where its own scan would have stopped.
    for (const std::string& piece : all) {
      for (std::size_t at : CharacterStarts(piece, 0))
        Check(!MatchesAt(piece, at, d, false));
    }
  }

  if (in.flags & kLimitGiven) {
    const std::vector<std::string> limited = Pieces(
        CallCore(commands::SplitText, {TextArg(in.a.c_str()), delimiter_arg, IntValue(in.limit)}));
    const std::size_t keep =
        in.limit < 1 ? 0 : std::min(all.size(), static_cast<std::size_t>(in.limit));
    Check(limited == std::vector<std::string>(all.begin(), all.begin() + keep));
  }
}

// A text as the comparison reads it: characters by code-page stepping, ending at the NUL or at a
// lead byte directly before it; single-byte letters folded when asked.
std::vector<unsigned> Characters(std::string_view t, bool fold) {
  std::vector<unsigned> out;
  for (std::size_t i = 0; i < t.size();) {
    auto c = static_cast<unsigned char>(t[i]);
    if (c >= 0x81 && c <= 0xFE) {
      if (i + 1 == t.size()) break;
      out.push_back(c * 256u + static_cast<unsigned char>(t[i + 1]));
      i += 2;
    } else {
      out.push_back(fold ? static_cast<unsigned char>(Fold(t[i])) : c);
      ++i;
    }
  }
  return out;
}

std::int32_t Compare(const std::string& a, const std::string& b, const ValueRecord& exact) {
  return IntOf(CallCore(commands::CompareText, {TextArg(a.c_str()), TextArg(b.c_str()), exact}));
}

void CheckCompareText(const Input& in) {
  const bool exact = in.flags & kExactGiven;
  const ValueRecord exact_arg = exact ? BoolValue(true) : ValueRecord{};
  const std::int32_t order = Compare(in.a, in.b, exact_arg);
  const std::vector<unsigned> a = Characters(in.a, !exact);
  const std::vector<unsigned> b = Characters(in.b, !exact);
  const std::int32_t expected = a < b ? -1 : (b < a ? 1 : 0);
  Check(order == expected);
  Check(Compare(in.b, in.a, exact_arg) == -order);
  Check(Compare(in.a, in.a, exact_arg) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InstallFuzzServices();
  std::optional<Input> in = Parse(data, size);
  if (!in) return 0;
  CheckFindText(*in);
  CheckSplitText(*in);
  CheckCompareText(*in);
  return 0;
}
