// The parser: a comment-free copy of a GBK document into an element tree.
//
// A practical subset of XML: no character set is converted, declarations, processing
// instructions and DOCTYPE lines are dropped, nothing is validated. Names, texts and attribute
// values are kept as written, entity references included. A byte above 0x80 and the byte after it
// form one character that is never taken as markup; a NUL byte is never stored.
#pragma once

#include <memory>
#include <string>

#include "runtime/xml/xml_document.h"

namespace marvane::xml {

// The tree of a comment-free copy, or null when the document is malformed. The copy is let go
// before the tree is finished, so a large document is not held twice at its end; nothing else is
// kept: the parser holds no state between calls.
std::unique_ptr<XmlDocument> ParseDocument(std::string copy);

}  // namespace marvane::xml
