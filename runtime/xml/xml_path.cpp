#include "runtime/xml/xml_path.h"

namespace marvane::xml {
namespace {

// The next step of the path from *pos, which moves past the "/" that ends it. A two-byte
// character stays whole, so its second byte is never a separator.
std::string_view NextStep(std::string_view path, std::size_t* pos) {
  std::size_t begin = *pos;
  std::size_t i = begin;
  while (i < path.size() && path[i] != '/')
    i += gbk::IsLeadByteOrFF(path[i]) ? 2 : 1;
  if (i > path.size()) i = path.size();
  *pos = i + 1;
  return path.substr(begin, i - begin);
}

// The child a step names, or kNoNode.
XmlDocument::NodeIndex StepDown(const XmlDocument& document, XmlDocument::NodeIndex node,
                                std::string_view step) {
  const std::size_t count = document.ChildCount(node);
  if (step.starts_with('@')) {
    if (step.size() == 1) return XmlDocument::kNoNode;
    std::size_t n = 0;
    for (char c : step.substr(1)) {
      if (c < '0' || c > '9') return XmlDocument::kNoNode;
      // Once n is past the count it can only name nothing; stop growing it before it overflows.
      if (n <= count) n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    if (n == 0 || n > count) return XmlDocument::kNoNode;
    return document.Child(node, n - 1);
  }
  for (std::size_t i = 0; i < count; ++i) {
    XmlDocument::NodeIndex child = document.Child(node, i);
    if (document.Name(child) == step) return child;
  }
  return XmlDocument::kNoNode;
}

}  // namespace

XmlDocument::NodeIndex ResolvePath(const XmlDocument& document, std::string_view path) {
  std::size_t pos = 0;
  std::string_view first = NextStep(path, &pos);
  if (first.empty() || (first != "@1" && first != document.Name(XmlDocument::kRoot))) {
    return XmlDocument::kNoNode;
  }
  XmlDocument::NodeIndex node = XmlDocument::kRoot;
  while (pos <= path.size()) {
    std::string_view step = NextStep(path, &pos);
    if (step.empty()) {
      // Only a trailing "/" may leave a step empty: it names the element reached so far.
      return pos > path.size() ? node : XmlDocument::kNoNode;
    }
    node = StepDown(document, node, step);
    if (node == XmlDocument::kNoNode) return node;
  }
  return node;
}

}  // namespace marvane::xml
