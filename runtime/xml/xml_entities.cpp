#include "runtime/xml/xml_entities.h"

#include <algorithm>

#include "runtime/xml/xml_document.h"

namespace marvane::xml {
namespace {

struct Entity {
  std::string_view written;
  char meaning;
};
constexpr Entity kEntities[] = {
    {"&lt;", '<'},    {"&gt;", '>'},   {"&amp;", '&'},
    {"&apos;", '\''}, {"&quot;", '"'}, {"&quote;", '"'},  // a common misspelling, read alike
};

bool NeedsEncoding(char c) {
  return c == '<' || c == '>' || c == '&' || c == '\'' || c == '"';
}

}  // namespace

bool HoldsMarkup(std::string_view path) {
  return std::any_of(path.begin(), path.end(), NeedsEncoding);
}

std::string EncodeMarkup(std::string_view path) {
  // Most paths hold nothing to encode: whatever the pairing of bytes, they stay as they are.
  if (!HoldsMarkup(path)) return std::string(path);
  std::string out;
  out.reserve(path.size());
  for (std::size_t i = 0; i < path.size(); ++i) {
    char c = path[i];
    if (gbk::IsLeadByteOrFF(c)) {
      out.push_back(c);
      if (i + 1 < path.size()) out.push_back(path[++i]);
      continue;
    }
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '\'':
        out += "&apos;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out.push_back(c);
        break;
    }
  }
  return out;
}

std::string DecodeEntities(std::string_view text) {
  // Without "&" nothing is decoded: the text stays as it is.
  if (text.find('&') == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size());
  // The open "&..." sequence, as a run of the input: nothing inside it is ever rewritten.
  std::size_t pending = std::string_view::npos;
  auto flush = [&](std::size_t end) {
    if (pending != std::string_view::npos) out.append(text.substr(pending, end - pending));
    pending = std::string_view::npos;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (gbk::IsLeadByteOrFF(c)) {
      flush(i);
      out.push_back(c);
      if (i + 1 < text.size()) out.push_back(text[++i]);
    } else if (c == '&') {
      flush(i);
      pending = i;
    } else if (c == ';' && pending != std::string_view::npos) {
      std::string_view sequence = text.substr(pending, i + 1 - pending);
      pending = std::string_view::npos;
      char meaning = 0;
      for (const Entity& e : kEntities) {
        if (e.written == sequence) meaning = e.meaning;
      }
      if (meaning) {
        out.push_back(meaning);
      } else {
        out.append(sequence);
      }
    } else if (pending == std::string_view::npos) {
      out.push_back(c);
    }
  }
  flush(text.size());
  return out;
}

}  // namespace marvane::xml
