// The reader of XML client lists: a root element ClientInfor with one child element per client,
// each holding its MAC address in a Mac element and its machine name in a Name element.
#pragma once

#include <cstdint>

#include "runtime/values/values.h"

namespace marvane::app {

// The MAC list of the file at path: one line "MAC name" per child element of the root, joined by
// CR LF. Returns a new text owned by the caller (null when there is no client) and writes the
// number of clients to *count (0 when the file cannot be read or its root is not ClientInfor).
Text ReadXmlClientList(const char* path, std::int32_t* count);

// The MAC cut into six two-byte pieces joined by "-": 001A2B3C4D5E gives 00-1A-2B-3C-4D-5E.
// Bytes are taken as they are; after the twelfth they are dropped. A new text, null when empty.
Text FormatMacAddress(const char* mac);

}  // namespace marvane::app
