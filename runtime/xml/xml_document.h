// The element tree of one XML document.
//
// A document owns all of its elements in a few flat arrays: the bytes of every name, text and
// attribute sit in one block, the elements in creation (document) order, and each element's
// children as a run of indices. Releasing a tree of any depth is therefore a handful of frees with
// no recursion, and the n-th child of an element is one index away.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gbk_bytes.h"

namespace marvane::xml {

struct XmlAttribute {
  std::string_view name;
  std::string_view value;
};

class XmlDocument {
 public:
  using NodeIndex = std::uint32_t;
  static constexpr NodeIndex kNoNode = UINT32_MAX;
  static constexpr NodeIndex kRoot = 0;

  // --- building -----------------------------------------------------------------------------
  // Room for about this many elements and bytes of names, texts and attributes, so that building
  // a large tree copies nothing; room never written to costs no memory. Only a hint: when the room
  // cannot be had, the tree grows as elements come.
  void Reserve(std::size_t elements, std::size_t bytes);
  // Attributes of the next element are staged first, then AddElement takes them.
  void StageAttribute(std::string_view name, std::string_view value);
  // Adds an element as the last child of parent, or as the root when parent is kNoNode.
  NodeIndex AddElement(NodeIndex parent, std::string_view name, std::string_view text,
                       bool self_closing, bool cdata);
  // Drops every element (a new top-level element replaces the whole earlier tree).
  void Clear();
  // Builds the child lists; reading starts after this.
  void Finish();
  // True once the tree outgrew its 32-bit offsets and counts (4 GiB of names and texts, or 4
  // billion elements or attributes): what was added since is lost, so the document cannot be used.
  bool full() const { return full_; }

  // --- reading ------------------------------------------------------------------------------
  bool empty() const { return nodes_.empty(); }
  std::size_t size() const { return nodes_.size(); }
  std::string_view Name(NodeIndex node) const {
    const Node& n = nodes_[node];
    return View(n.name_offset, n.name_length);
  }
  std::string_view Text(NodeIndex node) const {
    const Node& n = nodes_[node];
    return View(n.name_offset + n.name_length, n.text_length);
  }
  bool IsSelfClosing(NodeIndex node) const { return flags_[node] & kSelfClosing; }
  bool IsCData(NodeIndex node) const { return flags_[node] & kCData; }
  // An element's run of children ends where the next element's begins.
  std::size_t ChildCount(NodeIndex node) const {
    const std::size_t end =
        node + 1 < nodes_.size() ? nodes_[node + 1].children : child_index_.size();
    return end - nodes_[node].children;
  }
  // i counts from 0, in document order.
  NodeIndex Child(NodeIndex node, std::size_t i) const {
    return child_index_[nodes_[node].children + i];
  }
  std::size_t AttributeCount(NodeIndex node) const;
  XmlAttribute Attribute(NodeIndex node, std::size_t i) const;

 private:
  static constexpr std::uint8_t kSelfClosing = 1;
  static constexpr std::uint8_t kCData = 2;

  // 32-bit fields, and nothing that the order of the elements already tells (an element's parent,
  // its number of children), keep a client list's tree small: its size, not the parsing, is what
  // a large list costs. The flags and the few elements with attributes are kept apart.
  struct Node {
    std::uint32_t name_offset;  // the text follows the name
    std::uint32_t name_length;
    std::uint32_t text_length;
    // While building, the number of children so far; then where its run in child_index_ begins.
    std::uint32_t children;
  };
  // An element with attributes, and where they begin in attributes_; in element order.
  struct AttributeRun {
    NodeIndex node;
    std::uint32_t first;
  };
  struct AttributeSpans {
    std::uint32_t name_offset;  // the value follows the name
    std::uint32_t name_length;
    std::uint32_t value_length;
  };

  // Appends name and value (or name and text) to the bytes; false when they do not fit.
  bool Keep(std::string_view first, std::string_view second, std::uint32_t* offset);
  std::string_view View(std::uint32_t offset, std::uint32_t length) const {
    return std::string_view(bytes_).substr(offset, length);
  }

  std::string bytes_;
  std::vector<Node> nodes_;
  std::vector<std::uint8_t> flags_;  // one per element
  std::vector<AttributeSpans> attributes_;
  std::vector<AttributeRun> attribute_runs_;
  std::uint32_t staged_from_ = 0;  // first attribute not yet given to an element
  bool cleared_ = false;
  bool full_ = false;
  std::vector<NodeIndex> child_index_;
};

}  // namespace marvane::xml
