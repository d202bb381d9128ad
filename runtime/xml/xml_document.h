// The element tree of one XML document.
//
// A document owns all of its elements in a few flat arrays: the texts of the elements in one
// block, each distinct name once, the elements in creation (document) order, and each element's
// children as a run of indices. Releasing a tree of any depth is therefore a handful of frees with
// no recursion, and the n-th child of an element is one index away.
#pragma once

#include <array>
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
  // Room for about this many elements and bytes of texts, so that building a large tree copies
  // nothing; room never written to costs no memory. Only a hint: when the room
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
  // True once the tree outgrew its 32-bit offsets and counts (4 GiB of texts, of names or of
  // attributes, a billion distinct names, or 4 billion elements or attributes): what was added
  // since is lost, so the document cannot be used.
  bool full() const { return full_; }

  // --- reading ------------------------------------------------------------------------------
  bool empty() const { return nodes_.empty(); }
  std::size_t size() const { return nodes_.size(); }
  std::string_view Name(NodeIndex node) const {
    const Span& name = names_[nodes_[node].name_and_flags & kNameMask];
    return View(name_bytes_, name.offset, name.length);
  }
  std::string_view Text(NodeIndex node) const {
    const std::uint32_t begin = TextBegin(node);
    return View(texts_, begin, nodes_[node].text_end - begin);
  }
  bool IsSelfClosing(NodeIndex node) const { return nodes_[node].name_and_flags & kSelfClosing; }
  bool IsCData(NodeIndex node) const { return nodes_[node].name_and_flags & kCData; }
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
  // An element's name and flags share one word: the flags in the top bits, below them the index
  // of the name in names_.
  static constexpr std::uint32_t kSelfClosing = 1u << 31;
  static constexpr std::uint32_t kCData = 1u << 30;
  static constexpr std::uint32_t kNameMask = kCData - 1;
  // Distinct names are found among the ones added last: a list repeats a handful of names.
  static constexpr std::size_t kRecentNames = 8;

  // 32-bit fields, and nothing that the order of the elements already tells (an element's parent,
  // its number of children, where its text begins), keep a client list's tree small: its size,
  // not the parsing, is what a large list costs. The few elements with attributes are kept apart.
  struct Node {
    std::uint32_t name_and_flags;
    // Where its text ends in texts_; it begins where the text of the element before it ends.
    std::uint32_t text_end;
    // While building, the number of children so far; then where its run in child_index_ begins.
    std::uint32_t children;
  };
  struct Span {
    std::uint32_t offset;
    std::uint32_t length;
  };
  // An element with attributes, and where they begin in attributes_; in element order.
  struct AttributeRun {
    NodeIndex node;
    std::uint32_t first;
  };
  struct AttributeSpans {
    std::uint32_t name_offset;  // the value follows the name, in attribute_bytes_
    std::uint32_t name_length;
    std::uint32_t value_length;
  };

  // The index of an equal name among the recent ones, else of the name added anew; false when it
  // does not fit.
  bool Intern(std::string_view name, std::uint32_t* index);
  // Appends the pieces to bytes, where they begin going to *offset; false when they do not fit.
  static bool Append(std::string& bytes, std::string_view first, std::string_view second,
                     std::uint32_t* offset);
  static std::string_view View(const std::string& bytes, std::uint32_t offset,
                               std::uint32_t length) {
    return std::string_view(bytes).substr(offset, length);
  }
  std::uint32_t TextBegin(NodeIndex node) const { return node ? nodes_[node - 1].text_end : 0; }

  std::string texts_;
  std::string name_bytes_;
  std::vector<Span> names_;
  std::array<std::uint32_t, kRecentNames> recent_{};  // indices into names_ (when it has any)
  std::size_t recent_next_ = 0;
  std::vector<Node> nodes_;
  std::string attribute_bytes_;
  std::vector<AttributeSpans> attributes_;
  std::vector<AttributeRun> attribute_runs_;
  std::uint32_t staged_from_ = 0;  // first attribute not yet given to an element
  bool cleared_ = false;
  bool full_ = false;
  std::vector<NodeIndex> child_index_;
};

}  // namespace marvane::xml
