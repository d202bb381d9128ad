// A one-line picture of a document for table-driven tests:
//   name{attr=value,...}/![text](child child)
// "/" marks a self-closing tag, "!" a text from CDATA; empty parts are left out.
#pragma once

#include <string>

#include "runtime/xml/xml_document.h"

namespace marvane::xml::testing {

inline void DumpNode(const XmlDocument& d, XmlDocument::NodeIndex node, std::string* out) {
  *out += d.Name(node);
  if (d.AttributeCount(node) > 0) {
    *out += '{';
    for (std::size_t i = 0; i < d.AttributeCount(node); ++i) {
      if (i) *out += ',';
      XmlAttribute a = d.Attribute(node, i);
      out->append(a.name).append("=").append(a.value);
    }
    *out += '}';
  }
  if (d.IsSelfClosing(node)) *out += '/';
  if (d.IsCData(node)) *out += '!';
  if (!d.Text(node).empty()) out->append("[").append(d.Text(node)).append("]");
  if (d.ChildCount(node) > 0) {
    *out += '(';
    for (std::size_t i = 0; i < d.ChildCount(node); ++i) {
      if (i) *out += ' ';
      DumpNode(d, d.Child(node, i), out);
    }
    *out += ')';
  }
}

inline std::string Dump(const XmlDocument& d) {
  std::string out;
  if (!d.empty()) DumpNode(d, XmlDocument::kRoot, &out);
  return out;
}

}  // namespace marvane::xml::testing
