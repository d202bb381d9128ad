// Small helpers for tests that call commands and inspect what they return.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "runtime/values/values.h"

namespace marvane::testing {

// Takes ownership of a Text result: nullopt for the null (empty) text.
inline std::optional<std::string> TakeText(const ValueRecord& r) {
  OwnedText text(static_cast<char*>(PointerOf(r)));
  if (!text) return std::nullopt;
  return std::string(text.get());
}

inline std::optional<std::string> TakeByteSet(const ValueRecord& r) {
  OwnedByteSet set(PointerOf(r));
  if (!set) return std::nullopt;
  return std::string(ByteSetView(set.get()));
}

// Elements of a TextArray result, nullopt standing for null elements; frees the array.
inline std::vector<std::optional<std::string>> TakeTextArray(const ValueRecord& r) {
  OwnedTextArray array(PointerOf(r));
  std::vector<std::optional<std::string>> out;
  if (!array) return out;
  Text* slots = TextArrayElements(array.get());
  for (std::uint64_t i = 0; i < ArrayCount(array.get()); ++i) {
    out.push_back(slots[i] ? std::optional<std::string>(slots[i]) : std::nullopt);
  }
  return out;
}

inline ValueRecord Omitted() {
  return {};
}

}  // namespace marvane::testing
