#include "app/xml_list_reader.h"

#include <algorithm>
#include <string>

#include "runtime/commands/text/text_commands.h"
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

}  // namespace

Text FormatMacAddress(const char* mac) {
  // The cut of MidText (the 2 bytes from 2j - 1; fewer at the end, none past it) taken in place:
  // a million clients would otherwise cost six texts each.
  const std::string_view bytes = TextView(mac);
  std::string result;
  for (std::size_t start = 0; start < 2 * kPieces; start += 2) {
    const std::string_view piece = start < bytes.size() ? bytes.substr(start, 2) : "";
    // An empty result takes the piece without a "-": an empty MAC stays empty.
    if (!result.empty()) result += '-';
    result += piece;
  }
  return MakeText(result);
}

Text ReadXmlClientList(const char* path, std::int32_t* count) {
  TreeSession tree;
  ArrayVariable names;
  CallLibrary(xml::LoadDocument, {tree.Self(), TextArg(path)});
  CallLibrary(xml::GetChildNames,
              {tree.Self(), TextArg("ClientInfor"), PointerValue(&names.block, type::kText)});
  const auto clients = static_cast<std::int32_t>(
      std::min<std::uint64_t>(ArrayCount(names.block), static_cast<std::uint64_t>(INT32_MAX)));

  // The list grows in one buffer and becomes a runtime text once, so long lists stay linear.
  std::string list;
  for (std::int32_t i = 1; i <= clients; ++i) {
    OwnedText k = Take(CallCore(commands::ToText, {IntValue(i)}));
    const std::string client = std::string("ClientInfor/@").append(TextView(k.get()));
    OwnedText mac = tree.NodeText(client + "/Mac");
    OwnedText name = tree.NodeText(client + "/Name");
    OwnedText formatted(FormatMacAddress(mac.get()));
    if (!list.empty()) list += "\r\n";
    list += TextView(formatted.get());
    list += ' ';
    list += TextView(name.get());
  }
  if (count) *count = clients;
  return MakeText(list);
}

}  // namespace marvane::app
