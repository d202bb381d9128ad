#include "runtime/xml/xml_tree.h"

#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "runtime/values/values.h"
#include "runtime/xml/xml_document.h"
#include "runtime/xml/xml_entities.h"
#include "runtime/xml/xml_parser.h"
#include "runtime/xml/xml_path.h"
#include "runtime/xml/xml_source.h"

namespace marvane::xml {
namespace {

XmlTree* TreeOf(const ValueRecord& r) {
  if (r.type != type::kXmlTree) return nullptr;
  return static_cast<XmlTree*>(PointerOf(r));
}

void Release(XmlTree* tree) {
  delete tree->root;
  tree->root = nullptr;
  tree->loaded = 0;
}

// The element a query path names, or kNoNode; an empty path or an empty tree names nothing.
XmlDocument::NodeIndex Find(const XmlTree* tree, const ValueRecord& path_arg) {
  if (!tree->loaded || !tree->root || path_arg.type != type::kText) return XmlDocument::kNoNode;
  const char* path = static_cast<const char*>(PointerOf(path_arg));
  if (!path || !*path) return XmlDocument::kNoNode;
  // Most paths hold nothing to encode: they are resolved as they are, without a copy.
  const std::string_view written(path);
  return HoldsMarkup(written) ? ResolvePath(*tree->root, EncodeMarkup(written))
                              : ResolvePath(*tree->root, written);
}

// A stored name, or a text not from CDATA, as a query hands it back: decoded, as a new Text.
Text DecodedText(std::string_view stored) {
  // Without "&" decoding changes nothing; the Text is then made from the stored bytes directly.
  if (stored.find('&') == std::string_view::npos) return MakeText(stored);
  return MakeText(DecodeEntities(stored));
}

void SetBool(ValueRecord* result, bool value) {
  result->low = value ? 1 : 0;
}

}  // namespace

void LoadDocument(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  XmlTree* tree = TreeOf(Arg(argc, args, 0));
  const ValueRecord& source = Arg(argc, args, 1);
  const void* p = PointerOf(source);
  if (!tree || !p || (source.type != type::kText && source.type != type::kByteSet)) return;
  Release(tree);
  // Ordinary memory runs out only on a document far larger than any list; the load then fails
  // like any other instead of an exception crossing into the caller.
  try {
    std::string copy = source.type == type::kText
                           ? StripCommentsFromFile(static_cast<const char*>(p))
                           : StripComments(ByteSetView(p));
    if (copy.empty()) return;
    std::unique_ptr<XmlDocument> document = ParseDocument(std::move(copy));
    if (!document) return;
    tree->root = document.release();
    tree->loaded = 1;
    SetBool(result, true);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
}

void GetChildNames(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  const XmlTree* tree = TreeOf(Arg(argc, args, 0));
  const ValueRecord& names_arg = Arg(argc, args, 2);
  auto variable = static_cast<void**>(PointerOf(names_arg));
  if (!tree || !variable || type::BaseOf(names_arg.type) != type::kText) return;
  try {
    XmlDocument::NodeIndex node = Find(tree, Arg(argc, args, 1));
    if (node == XmlDocument::kNoNode) return;
    const XmlDocument& document = *tree->root;
    const std::size_t count = document.ChildCount(node);
    if (count == 0 || count > UINT32_MAX) return;  // an array counts its elements in 32 bits
    // Built whole before the caller's array is let go, so the variable never dangles.
    OwnedTextArray array(NewTextArray(static_cast<std::uint32_t>(count)));
    Text* slots = TextArrayElements(array.get());
    for (std::size_t i = 0; i < count; ++i) {
      slots[i] = DecodedText(document.Name(document.Child(node, i)));
    }
    FreeTextArray(*variable);
    *variable = array.release();
    SetBool(result, true);
  } catch (const std::bad_alloc&) {
  }
}

void GetNodeText(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  const XmlTree* tree = TreeOf(Arg(argc, args, 0));
  const ValueRecord& found_arg = Arg(argc, args, 2);
  auto found =
      found_arg.type == type::kBool ? static_cast<std::int32_t*>(PointerOf(found_arg)) : nullptr;
  if (found) *found = 0;
  if (!tree) return;
  try {
    XmlDocument::NodeIndex node = Find(tree, Arg(argc, args, 1));
    if (node == XmlDocument::kNoNode) return;
    const XmlDocument& document = *tree->root;
    std::string_view stored = document.Text(node);
    Text text = document.IsCData(node) ? MakeText(stored) : DecodedText(stored);
    SetPointer(*result, text);
    if (found) *found = 1;
  } catch (const std::bad_alloc&) {
  }
}

void CloseDocument(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  XmlTree* tree = TreeOf(Arg(argc, args, 0));
  if (!tree || !tree->loaded) return;
  Release(tree);
  SetBool(result, true);
}

}  // namespace marvane::xml
