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
  staged_from_ = static_cast<std::uint32_t>(attributes_.size());
  n.first_child = 0;
  n.child_count = 0;
  // Elements come in document order, each after its parent and its parent's earlier children
  // with their subtrees: Finish finds the parent from that order and the child counts.
  if (parent != kNoNode) ++nodes_[parent].child_count;
  nodes_.push_back(n);
  flags_.push_back(
      static_cast<std::uint8_t>((self_closing ? kSelfClosing : 0) | (cdata ? kCData : 0)));
  return static_cast<NodeIndex>(nodes_.size() - 1);
}

void XmlDocument::Reserve(std::size_t elements, std::size_t bytes) {
  try {
    nodes_.reserve(elements);
    flags_.reserve(elements);
    bytes_.reserve(bytes);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
}

void XmlDocument::Clear() {
  // The root comes this way too; only a tree that is dropped leaves memory to give back.
  if (!nodes_.empty()) cleared_ = true;
  bytes_.clear();
  nodes_.clear();
  flags_.clear();
  attributes_.clear();
  staged_from_ = 0;
  child_index_.clear();
}

void XmlDocument::Finish() {
  // Each element's children get a run of child_index_, the runs in the order of their parents.
  std::uint32_t total = 0;
  for (Node& n : nodes_) {
    n.first_child = total;
    total += n.child_count;
  }
  // Every element but the root is one child, so the total stays below the element count.
  child_index_.resize(total);
  // The elements in document order, against a stack of those whose children are still to come
  // (the next slot of each one's run, and how many are left): an element's parent is the
  // innermost one still waiting for a child. The root is the first element.
  struct Waiting {
    std::uint32_t next;
    std::uint32_t left;
  };
  std::vector<Waiting> waiting;
  for (std::size_t i = 0; i < nodes_.size(); ++i) {
    if (i > 0) {
      while (!waiting.empty() && waiting.back().left == 0)
        waiting.pop_back();
      if (waiting.empty()) break;  // cannot happen: the counts come from these very elements
      Waiting& parent = waiting.back();
      child_index_[parent.next++] = static_cast<NodeIndex>(i);
      --parent.left;
    }
    if (nodes_[i].child_count > 0)
      waiting.push_back({nodes_[i].first_child, nodes_[i].child_count});
  }
  if (cleared_) {
    TrimSlack(bytes_);
    TrimSlack(nodes_);
    TrimSlack(flags_);
    TrimSlack(attributes_);
  }
}

XmlAttribute XmlDocument::Attribute(NodeIndex node, std::size_t i) const {
  const AttributeSpans& a = attributes_[nodes_[node].first_attribute + i];
  return {View(a.name_offset, a.name_length), View(a.name_offset + a.name_length, a.value_length)};
}

}  // namespace marvane::xml
