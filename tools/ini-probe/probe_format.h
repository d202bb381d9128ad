// The text forms shared by the profile probe (a Windows program) and the native comparison: query
// lists and result lines. Every byte outside 0x21-0x7E, and the backslash, is written as \xHH, so a
// line shows blanks, control bytes and GBK bytes unambiguously and a TAB can separate fields.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marvane::ini_probe {

// The probe's default text: distinguishes a missing key from an empty value.
inline constexpr std::string_view kMissingDefault = "\x7F<missing>\x7F";

inline std::string Escape(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char c : bytes) {
    if (c > 0x20 && c < 0x7F && c != '\\') {
      out.push_back(static_cast<char>(c));
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

// Accepts \xHH (either case) and \\; anything else after a backslash is malformed.
inline std::optional<std::string> Unescape(std::string_view text) {
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out.push_back(text[i]);
    } else if (i + 1 < text.size() && text[i + 1] == '\\') {
      out.push_back('\\');
      ++i;
    } else if (i + 3 < text.size() && text[i + 1] == 'x' && digit(text[i + 2]) >= 0 &&
               digit(text[i + 3]) >= 0) {
      out.push_back(static_cast<char>(digit(text[i + 2]) * 16 + digit(text[i + 3])));
      i += 3;
    } else {
      return std::nullopt;
    }
  }
  return out;
}

struct Query {
  std::string section;
  std::string key;
};

// A query list: one "section<TAB>key" line per query, both escaped; blank lines and lines starting
// with '#' are skipped. Names holding NUL cannot be passed to the platform call and are refused.
inline std::optional<std::vector<Query>> ParseQueries(std::string_view text) {
  std::vector<Query> queries;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return std::nullopt;
    auto section = Unescape(line.substr(0, tab));
    auto key = Unescape(line.substr(tab + 1));
    if (!section || !key) return std::nullopt;
    if (section->find('\0') != std::string::npos || key->find('\0') != std::string::npos) {
      return std::nullopt;
    }
    queries.push_back({std::move(*section), std::move(*key)});
  }
  return queries;
}

// One result line: "section<TAB>key<TAB>=value" or "section<TAB>key<TAB>missing". `returned` is
// what the platform call reported; it is written only when it disagrees with the value's length.
inline std::string FormatResult(const Query& query, std::optional<std::string_view> value,
                                long long returned = -1) {
  std::string line = Escape(query.section);
  line += '\t';
  line += Escape(query.key);
  if (!value) {
    line += "\tmissing\n";
    return line;
  }
  line += "\t=";
  line += Escape(*value);
  if (returned >= 0 && static_cast<std::size_t>(returned) != value->size()) {
    line += "\treturned=";
    line += std::to_string(returned);
  }
  line += '\n';
  return line;
}

}  // namespace marvane::ini_probe
