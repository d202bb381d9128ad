// The XmlTree object of the XML library (type 0x00040001) and its commands.
//
// Every command takes the tree as argument 1: a record of type kXmlTree whose payload is the
// address of an XmlTree. Commands write only the payload of their result and never fail loudly:
// bad input gives 0 or the empty text.
#pragma once

#include <cstdint>

#include "runtime/values/command.h"

namespace marvane::xml {

class XmlDocument;

// The object's state. Its owner creates it zeroed (there is no construction step) and runs
// CloseDocument before letting it go, which frees the document it holds.
struct XmlTree {
  std::uint32_t loaded;
  XmlDocument* root;  // owned while loaded is 1
};

// (tree, source: path Text or ByteSet) -> bool: 1 when a document was loaded. Whatever was held
// before is released first, unless the source is null or of another type.
void LoadDocument(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (tree, path Text, names: address of a TextArray variable) -> bool: 1 when the path names an
// element with child elements; the variable then holds a new array of their decoded names (its
// earlier array is freed). On 0 the variable is left untouched.
void GetChildNames(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (tree, path Text, found?: address of a 32-bit bool variable, record type bool) -> Text: the
// element's text, decoded unless it came from CDATA; empty when the path names nothing. found
// is written only when its record is of type bool.
void GetNodeText(ValueRecord* result, std::int32_t argc, ValueRecord* args);
// (tree) -> bool: 1 when a document was released.
void CloseDocument(ValueRecord* result, std::int32_t argc, ValueRecord* args);

}  // namespace marvane::xml
