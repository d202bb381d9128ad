// The cloud-update list reader: an INI-style client list (one section per client, named by its
// MAC address, with a "Name=" key) becomes the MAC list text, one "MAC name" line per client.
#pragma once

#include <cstdint>

#include "runtime/values/values.h"

namespace marvane::app {

// The section names of the file in file order, joined with "|" and split again, so a name holding
// "|" becomes several and empty names after the first non-empty one stay as empty elements.
// Replaces *names (releasing the old array); leaves it alone when the file does not exist.
void CollectSectionNames(const char* path, OwnedTextArray* names);

// The MAC list text of the file (owned by the caller, null when empty); *count receives the
// number of section names, empty ones included. Reports no failure: an unreadable file gives
// null and 0.
Text ReadCloudUpdateList(const char* path, std::int32_t* count);

}  // namespace marvane::app
