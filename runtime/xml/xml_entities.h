// Entity references between the written form of a document and the texts a query hands back.
#pragma once

#include <string>
#include <string_view>

namespace marvane::xml {

// A query path in the written form of element names: < > & ' and the double quote become
// "&lt;" "&gt;" "&amp;" "&apos;" "&quot;"; two-byte characters and all other bytes are copied.
std::string EncodeMarkup(std::string_view path);
// True when EncodeMarkup would change the path: it holds one of the five bytes above.
bool HoldsMarkup(std::string_view path);

// Replaces the five predefined references, and "&quote;" as a double quote, once, left to right.
// Any other "&...;" sequence (numeric ones too) and an unended "&..." are copied as they are.
std::string DecodeEntities(std::string_view text);

}  // namespace marvane::xml
