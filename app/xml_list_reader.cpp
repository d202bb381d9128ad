#include "app/xml_list_reader.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "runtime/values/text_builder.h"
#include "runtime/xml/xml_tree.h"

namespace marvane::app {
namespace {

OwnedText Take(const ValueRecord& r) {
  return OwnedText(static_cast<char*>(PointerOf(r)));
}

// One XmlTree for the length of a call; its document is closed on every way out, a fatal
// report unwinding through the reader included.
class TreeSession {
 public:
  TreeSession() = default;
  ~TreeSession() { CallLibrary(xml::CloseDocument, {Self()}); }
  TreeSession(const TreeSession&) = delete;
  TreeSession& operator=(const TreeSession&) = delete;

  ValueRecord Self() { return PointerValue(&tree_, type::kXmlTree); }

  OwnedText NodeText(const std::string& path) {
    return Take(CallLibrary(xml::GetNodeText, {Self(), TextArg(path.c_str()), ValueRecord{}}));
  }

 private:
  xml::XmlTree tree_{};
};

// A TextArray variable of the reader, passed by reference to GetChildNames.
struct ArrayVariable {
  void* block = NewTextArray(0);
  ArrayVariable() = default;
  ArrayVariable(const ArrayVariable&) = delete;
  ArrayVariable& operator=(const ArrayVariable&) = delete;
  ~ArrayVariable() { FreeTextArray(block); }
};

constexpr std::size_t kPieces = 6;

// The cut of MidText (the 2 bytes from 2j - 1; fewer at the end, none past it) taken in place:
// a million clients would otherwise cost six texts each.
template <typename Builder>
void AppendMacAddress(std::string_view mac, Builder* out) {
  bool empty = true;
  for (std::size_t start = 0; start < 2 * kPieces; start += 2) {
    const std::string_view piece = start < mac.size() ? mac.substr(start, 2) : "";
    // An empty result takes the piece without a "-": an empty MAC stays empty.
    if (!empty) out->Append('-');
    out->Append(piece);
    empty = empty && piece.empty();
  }
}

}  // namespace

Text FormatMacAddress(const char* mac) {
  TextBuilder result;
  AppendMacAddress(TextView(mac), &result);
  return result.Release();
}

Text ReadXmlClientList(const char* path, std::int32_t* count) {
  TreeSession tree;
  ArrayVariable names;
  CallLibrary(xml::LoadDocument, {tree.Self(), TextArg(path)});
  CallLibrary(xml::GetChildNames,
              {tree.Self(), TextArg("ClientInfor"), PointerValue(&names.block, type::kText)});
  const auto clients = static_cast<std::int32_t>(
      std::min<std::uint64_t>(ArrayCount(names.block), static_cast<std::uint64_t>(INT32_MAX)));

  // The list grows on the runtime heap and becomes the result without a copy. One path buffer
  // serves every query: "ClientInfor/@", the client's number in decimal, then the field.
  TextBuilder list;
  std::string query = "ClientInfor/@";
  const std::size_t prefix = query.size();
  for (std::int32_t i = 1; i <= clients; ++i) {
    char digits[16];
    const char* digits_end = std::to_chars(digits, digits + sizeof digits, i).ptr;
    query.resize(prefix);
    query.append(digits, static_cast<std::size_t>(digits_end - digits));
    const std::size_t client = query.size();
    OwnedText mac = tree.NodeText(query.append("/Mac"));
    query.resize(client);
    OwnedText name = tree.NodeText(query.append("/Name"));
    if (!list.empty()) list.Append("\r\n");
    AppendMacAddress(TextView(mac.get()), &list);
    list.Append(' ');
    list.Append(TextView(name.get()));
  }
  if (count) *count = clients;
  return list.Release();
}

}  // namespace marvane::app
