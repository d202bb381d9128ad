#include "runtime/xml/xml_document.h"

#include <algorithm>
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

bool XmlDocument::Append(std::string& bytes, std::string_view first, std::string_view second,
                         std::uint32_t* offset) {
  const std::uint64_t used = bytes.size();
  if (used + first.size() + second.size() > UINT32_MAX) return false;
  *offset = static_cast<std::uint32_t>(used);
  bytes.append(first);
  bytes.append(second);
  return true;
}

bool XmlDocument::Intern(std::string_view name, std::uint32_t* index) {
  if (!names_.empty()) {
    for (const std::uint32_t recent : recent_) {
      const Span& known = names_[recent];
      if (View(name_bytes_, known.offset, known.length) == name) {
        *index = recent;
        return true;
      }
    }
  }
  Span added;
  if (names_.size() > kNameMask || !Append(name_bytes_, name, {}, &added.offset)) return false;
  added.length = static_cast<std::uint32_t>(name.size());
  *index = static_cast<std::uint32_t>(names_.size());
  names_.push_back(added);
  recent_[recent_next_] = *index;
  recent_next_ = (recent_next_ + 1) % kRecentNames;
  return true;
}

void XmlDocument::StageAttribute(std::string_view name, std::string_view value) {
  AttributeSpans a;
  if (attributes_.size() >= UINT32_MAX || !Append(attribute_bytes_, name, value, &a.name_offset)) {
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
  std::uint32_t text_begin = 0;
  if (nodes_.size() >= kNoNode || !Intern(name, &n.name_and_flags) ||
      !Append(texts_, text, {}, &text_begin)) {
    full_ = true;
    return kNoNode;
  }
  n.name_and_flags |= (self_closing ? kSelfClosing : 0) | (cdata ? kCData : 0);
  n.text_end = static_cast<std::uint32_t>(text_begin + text.size());
  n.children = 0;
  const auto index = static_cast<NodeIndex>(nodes_.size());
  if (attributes_.size() > staged_from_) attribute_runs_.push_back({index, staged_from_});
  staged_from_ = static_cast<std::uint32_t>(attributes_.size());
  // Elements come in document order, each after its parent and its parent's earlier children
  // with their subtrees: Finish finds the parent from that order and the child counts.
  if (parent != kNoNode) ++nodes_[parent].children;
  nodes_.push_back(n);
  return index;
}

void XmlDocument::Reserve(std::size_t elements, std::size_t bytes) {
  try {
    nodes_.reserve(elements);
    texts_.reserve(bytes);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
}

void XmlDocument::Clear() {
  // The root comes this way too; only a tree that is dropped leaves memory to give back.
  if (!nodes_.empty()) cleared_ = true;
  texts_.clear();
  name_bytes_.clear();
  names_.clear();
  recent_ = {};
  recent_next_ = 0;
  nodes_.clear();
  attribute_bytes_.clear();
  attributes_.clear();
  attribute_runs_.clear();
  staged_from_ = 0;
  child_index_.clear();
}

void XmlDocument::Finish() {
  // Each element's children get a run of child_index_, the runs in the order of their parents.
  std::uint32_t total = 0;
  for (Node& n : nodes_) {
    const std::uint32_t count = n.children;
    n.children = total;
    total += count;
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
    const auto count = static_cast<std::uint32_t>(ChildCount(static_cast<NodeIndex>(i)));
    if (count > 0) waiting.push_back({nodes_[i].children, count});
  }
  if (cleared_) {
    TrimSlack(texts_);
    TrimSlack(nodes_);
    TrimSlack(attribute_bytes_);
    TrimSlack(attributes_);
    TrimSlack(attribute_runs_);
  }
}

std::size_t XmlDocument::AttributeCount(NodeIndex node) const {
  auto run = std::lower_bound(attribute_runs_.begin(), attribute_runs_.end(), node,
                              [](const AttributeRun& r, NodeIndex n) { return r.node < n; });
  if (run == attribute_runs_.end() || run->node != node) return 0;
  const std::size_t end = run + 1 < attribute_runs_.end() ? run[1].first : attributes_.size();
  return end - run->first;
}

XmlAttribute XmlDocument::Attribute(NodeIndex node, std::size_t i) const {
  auto run = std::lower_bound(attribute_runs_.begin(), attribute_runs_.end(), node,
                              [](const AttributeRun& r, NodeIndex n) { return r.node < n; });
  const AttributeSpans& a = attributes_[run->first + i];
  return {View(attribute_bytes_, a.name_offset, a.name_length),
          View(attribute_bytes_, a.name_offset + a.name_length, a.value_length)};
}

}  // namespace marvane::xml
