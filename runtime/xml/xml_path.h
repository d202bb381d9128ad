// Naming an element of a document by a path such as "ClientInfor/@3/Mac".
#pragma once

#include <string_view>

#include "runtime/xml/xml_document.h"

namespace marvane::xml {

// Steps are joined by "/". The first names the root: its name or "@1". Each further step takes a
// child element: "@n" (n from 1, decimal) the n-th whatever its name, any other step the first
// child of that exact name. A trailing "/" names the element before it; an empty step elsewhere,
// an unknown name or an index out of range names nothing (kNoNode). The path is taken in its
// written form (see EncodeMarkup); the document must not be empty.
XmlDocument::NodeIndex ResolvePath(const XmlDocument& document, std::string_view encoded_path);

}  // namespace marvane::xml
