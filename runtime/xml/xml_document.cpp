#include "runtime/xml/xml_document.h"

#include <new>
#include <stdexcept>

namespace marvane::xml {
namespace {

// Arrays kept after Clear hold the memory of a tree that is gone; give it back when they are
// mostly empty.
template <typename Container>
void TrimSlack(Container& c) {
  if (c.capacity() > 2 * c.size() + 64) c.shrink_to_fit();
}

}  // namespace

bool XmlDocument::Keep(std::string_view first, std::string_view second, std::uint32_t* offset) {
  const std::uint64_t used = bytes_.size();
  if (used + first.size() + second.size() > UINT32_MAX) {
    full_ = true;
    return false;
  }
  *offset = static_cast<std::uint32_t>(used);
  bytes_.append(first);
  bytes_.append(second);
  return true;
}

void XmlDocument::StageAttribute(std::string_view name, std::string_view value) {
  AttributeSpans a;
  if (attributes_.size() >= UINT32_MAX || !Keep(name, value, &a.name_offset)) {
    full_ = true;
    return;
  }
  a.name_length = static_cast<std::uint32_t>(name.size());
  a.value_length = static_cast<std::uint32_t>(value.size());
  attributes_.push_back(a);
}

XmlDocument::NodeIndex XmlDocument::AddElement(NodeIndex parent, std::string_view name,
                                               std::string_view text, bool self_closing,
                                               bool cdata) {
  Node n;
  if (nodes_.size() >= kNoNode || !Keep(name, text, &n.name_offset)) {
    full_ = true;
    return kNoNode;
  }
  n.name_length = static_cast<std::uint32_t>(name.size());
  n.text_length = static_cast<std::uint32_t>(text.size());
  n.first_attribute = staged_from_;
  n.attribute_count = static_cast<std::uint32_t>(attributes_.size()) - staged_from_;
  staged_from_ = static_cast<std::uint32_t>(attributes_.size());
  n.parent = parent;
  n.first_child = 0;
  n.child_count = 0;
  n.flags = static_cast<std::uint8_t>((self_closing ? kSelfClosing : 0) | (cdata ? kCData : 0));
  if (parent != kNoNode) ++nodes_[parent].child_count;
  nodes_.push_back(n);
  return static_cast<NodeIndex>(nodes_.size() - 1);
}

void XmlDocument::Reserve(std::size_t elements) {
  try {
    nodes_.reserve(elements);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
}

void XmlDocument::Clear() {
  bytes_.clear();
  nodes_.clear();
  attributes_.clear();
  staged_from_ = 0;
  child_index_.clear();
  cleared_ = true;
}

void XmlDocument::Finish() {
  // Counting sort by parent: each element's run of children ends up in creation order, which is
  // document order. first_child first marks the end of the run and is walked back to its start.
  // Every element but the root is one child, so the total stays below the element count.
  std::uint32_t total = 0;
  for (Node& n : nodes_) {
    total += n.child_count;
    n.first_child = total;
  }
  child_index_.assign(total, kNoNode);
  for (std::size_t i = nodes_.size(); i-- > 0;) {
    NodeIndex parent = nodes_[i].parent;
    if (parent != kNoNode) child_index_[--nodes_[parent].first_child] = static_cast<NodeIndex>(i);
  }
  if (cleared_) {
    TrimSlack(bytes_);
    TrimSlack(nodes_);
    TrimSlack(attributes_);
  }
}

XmlAttribute XmlDocument::Attribute(NodeIndex node, std::size_t i) const {
  const AttributeSpans& a = attributes_[nodes_[node].first_attribute + i];
  return {View(a.name_offset, a.name_length), View(a.name_offset + a.name_length, a.value_length)};
}

}  // namespace marvane::xml
