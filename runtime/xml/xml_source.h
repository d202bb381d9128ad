// The first step of every load: the document's bytes without their comments.
#pragma once

#include <string>
#include <string_view>

namespace marvane::xml {

// The comment-free copy of a document held in memory. "<!--" up to and including the first
// "-->" after it is left out (an unended comment runs to the end); a two-byte character is copied
// whole, so its second byte never starts a comment. Empty when nothing but comments remains.
std::string StripComments(std::string_view bytes);

// The same for the file at a GBK path, read through the platform's file system. Empty when the
// file cannot be opened or read whole, is empty, or holds only comments.
std::string StripCommentsFromFile(std::string_view path);

}  // namespace marvane::xml
