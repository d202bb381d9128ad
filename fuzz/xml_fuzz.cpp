// Feeds arbitrary bytes to the XML tree: LoadDocument must load or refuse without reading out of
// bounds or exhausting the stack, and the queries must agree with one another on what loaded.
// The last bytes of the input double as one more query path.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/values/values.h"
#include "runtime/xml/xml_tree.h"

namespace {

using namespace marvane;

constexpr std::size_t kPathBytes = 24;
constexpr std::uint64_t kIndexedChildren = 64;

void Check(bool ok) {
  if (!ok) std::abort();
}

struct Tree {
  xml::XmlTree state{};
  ValueRecord Self() { return PointerValue(&state, type::kXmlTree); }
  ~Tree() { CallLibrary(xml::CloseDocument, {Self()}); }
};

// The text at a path, and whether GetNodeText said it found the element.
bool Query(Tree& tree, const std::string& path, std::string* text) {
  std::int32_t found = -1;
  OwnedText t(static_cast<char*>(PointerOf(CallLibrary(
      xml::GetNodeText, {tree.Self(), TextArg(path.c_str()), PointerValue(&found, type::kBool)}))));
  Check(found == 0 || found == 1);
  Check(found == 1 || !t);  // nothing found, no text
  if (text) *text = TextView(t.get());
  return found == 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Tree tree;
  OwnedByteSet set(MakeByteSet(data, size));
  const bool loaded = CallLibrary(xml::LoadDocument, {tree.Self(), ByteSetArg(set.get())}).low == 1;
  Check(tree.state.loaded == (loaded ? 1u : 0u));
  Check(Query(tree, "@1", nullptr) == loaded);

  // Texts never hold a NUL, so the input's tail becomes a path up to its first NUL.
  std::string tail(bytes.substr(size > kPathBytes ? size - kPathBytes : 0));
  tail.resize(std::string_view(tail.c_str()).size());
  Query(tree, tail, nullptr);
  Query(tree, "@1/" + tail, nullptr);

  void* names = NewTextArray(0);
  const bool has_children = CallLibrary(xml::GetChildNames, {tree.Self(), TextArg("@1"),
                                                             PointerValue(&names, type::kText)})
                                .low == 1;
  const std::uint64_t count = ArrayCount(names);
  Check(has_children == (count > 0));
  for (std::uint64_t i = 1; i <= count && i <= kIndexedChildren; ++i) {
    // "@i" always finds the i-th child; its decoded name goes back through the encoder.
    Check(Query(tree, "@1/@" + std::to_string(i), nullptr));
    Query(tree, "@1/" + std::string(TextView(TextArrayElements(names)[i - 1])), nullptr);
  }
  Check(!Query(tree, "@1/@" + std::to_string(count + 1), nullptr));
  FreeTextArray(names);

  // Loading again over a held document releases it first; closing twice releases once.
  if (loaded) {
    Check(CallLibrary(xml::LoadDocument, {tree.Self(), ByteSetArg(set.get())}).low == 1);
  }
  Check(CallLibrary(xml::CloseDocument, {tree.Self()}).low == (loaded ? 1u : 0u));
  Check(CallLibrary(xml::CloseDocument, {tree.Self()}).low == 0);
  return 0;
}
