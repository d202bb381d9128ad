#include "runtime/xml/xml_parser.h"

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

namespace marvane::xml {
namespace {

constexpr std::string_view kCDataOpen = "<![CDATA[";
constexpr std::string_view kCDataClose = "]]>";
// Up to this many attributes a duplicate name is looked for by scanning; beyond, by hashing, so a
// start tag with a huge number of attributes stays linear.
constexpr std::size_t kScannedAttributes = 16;

// NUL never enters a tag buffer: a document with stray NULs reads as if they were not there.
void Put(std::string& s, char c) {
  if (c != '\0') s.push_back(c);
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

// Bytes that end a run of bytes copied as they are: each needs a decision of its own.
struct Stops {
  bool stop[256] = {};
  constexpr Stops(std::string_view bytes, bool lead_bytes) {
    for (char c : bytes)
      stop[static_cast<unsigned char>(c)] = true;
    for (int c = 0; lead_bytes && c < 256; ++c)
      if (gbk::IsLeadByteOrFF(static_cast<unsigned char>(c))) stop[c] = true;
  }
};
constexpr Stops kTagStops(std::string_view("\"<>\0", 4), true);
constexpr Stops kQuotedStops(std::string_view("\"\0", 2), false);
constexpr Stops kTextStops(std::string_view("<>\0", 3), true);
constexpr Stops kBufferStops("\"<>", true);
constexpr Stops kNameStops("\"<> ", true);
// A plain tag's name: none of these, nor a lead byte; "/" would make it an empty-element tag.
constexpr Stops kPlainNameStops(std::string_view("\"<> /\0", 6), true);

// The number of bytes from i on before the first stop (or the end).
std::size_t PlainRun(std::string_view s, std::size_t i, const Stops& stops) {
  std::size_t j = i;
  while (j < s.size() && !stops.stop[static_cast<unsigned char>(s[j])])
    ++j;
  return j - i;
}

// The width of the character at i: a lead byte takes the byte after it along, when there is one.
std::size_t CharacterWidth(std::string_view s, std::size_t i) {
  return gbk::IsLeadByteOrFF(s[i]) && i + 1 < s.size() ? 2 : 1;
}

enum class Step { kTag, kEnd, kFail };

// One tag as ParseTag leaves it for AttachNode.
struct Tag {
  struct Attribute {
    std::string_view name;  // inside attribute_text
    std::size_t value_offset;
    std::size_t value_length;
  };
  std::string name;
  std::string text;
  std::string attribute_text;
  std::vector<Attribute> attributes;
  std::string values;
  bool self_closing = false;
  bool cdata = false;

  void Reset(bool empty_element) {
    name.clear();
    text.clear();
    attribute_text.clear();
    attributes.clear();
    values.clear();
    self_closing = empty_element;
    cdata = false;
  }
  std::string_view Value(const Attribute& a) const {
    return std::string_view(values).substr(a.value_offset, a.value_length);
  }
};

class Parser {
 public:
  explicit Parser(std::string copy)
      : owned_copy_(std::move(copy)),
        copy_(owned_copy_),
        document_(std::make_unique<XmlDocument>()) {
    // Most elements are written as a start and an end tag, and none takes fewer than 4 bytes.
    // Texts are cut from the copy, so they rarely add up to more than it.
    const auto tags = static_cast<std::size_t>(std::count(copy_.begin(), copy_.end(), '<'));
    document_->Reserve(std::min(tags / 2 + 1, copy_.size() / 4 + 1), copy_.size());
  }

  std::unique_ptr<XmlDocument> Run() {
    if (ReadNextTag() != Step::kTag) return nullptr;
    for (;;) {
      if (!AttachNode()) return nullptr;
      Step step = ReadNextTag();
      if (step == Step::kFail) return nullptr;
      if (step == Step::kEnd) break;
    }
    if (!open_.empty()) return nullptr;  // an element was never closed
    // The copy goes first: the child lists that Finish makes then take its place.
    copy_ = {};
    std::string().swap(owned_copy_);
    document_->Finish();
    return std::move(document_);
  }

 private:
  Step ReadNextTag();
  bool ReadPlainTag();
  bool ReadText();
  bool TakeDoubleByte();
  bool ParseTag(bool empty_element);
  bool ParseTagBuffer(bool empty_element);
  bool ParseAttributes();
  bool AddAttribute(std::string_view name, std::string_view value,
                    std::unordered_set<std::string_view>* seen);
  bool AttachNode();

  std::string owned_copy_;
  std::string_view copy_;
  std::size_t pos_ = 0;
  std::string buffer_;  // the tag buffer: bytes before the tag, the tag and its text
  std::string word_;
  Tag tag_;
  // The tag read last: its name and text, in tag_ or, for a plain tag, in the copy itself.
  std::string_view name_;
  std::string_view text_;
  std::vector<XmlDocument::NodeIndex> open_;  // start tags not yet closed, innermost last
  std::unique_ptr<XmlDocument> document_;
};

// Collects one tag and the text after it into the tag buffer, then parses it.
Step Parser::ReadNextTag() {
  if (ReadPlainTag()) return Step::kTag;
  buffer_.clear();
  const std::size_t n = copy_.size();
  bool in_quote = false;
  bool in_tag = false;
  bool skipping = false;  // inside "<!...>" or "<?...>", which are dropped
  for (;;) {
    if (pos_ >= n) return Step::kEnd;  // an unfinished tag at the end is ignored
    if (std::size_t run = PlainRun(copy_, pos_, in_quote ? kQuotedStops : kTagStops)) {
      buffer_.append(copy_.substr(pos_, run));
      pos_ += run;
      continue;
    }
    char c = copy_[pos_];
    if (c == '"') in_quote = !in_quote;
    if (in_quote) {
      Put(buffer_, c);
      ++pos_;
      continue;
    }
    if (gbk::IsLeadByteOrFF(c)) {
      if (!TakeDoubleByte()) return Step::kFail;
      continue;
    }
    if (c == '<') {
      if (in_tag || pos_ + 1 >= n) return Step::kFail;
      in_tag = true;
      char next = copy_[pos_ + 1];
      if (next == '!' || next == '?') {
        skipping = true;
      } else {
        Put(buffer_, c);
      }
      ++pos_;
      continue;
    }
    if (c == '>') {
      if (!in_tag) return Step::kFail;
      ++pos_;
      if (skipping) {
        buffer_.clear();
        in_tag = skipping = false;
        continue;
      }
      Put(buffer_, c);
      break;
    }
    Put(buffer_, c);
    ++pos_;
  }
  if (buffer_ == "</>") return Step::kFail;
  const bool empty_element = buffer_.ends_with("/>");
  if (!empty_element && !ReadText()) return Step::kFail;
  if (!ParseTag(empty_element)) return Step::kFail;
  name_ = tag_.name;
  text_ = tag_.text;
  return Step::kTag;
}

// Most tags of a list are plain: a start or end tag without attributes, right at the position,
// then a text up to the next tag with nothing in it that needs a decision (no markup, no NUL, no
// ">", no pair cut off by the end). Such a tag is taken straight from the copy, where the general
// reading would give the very same name and text by way of the tag buffer. False, with nothing
// moved, for any other tag.
bool Parser::ReadPlainTag() {
  const std::size_t n = copy_.size();
  std::size_t i = pos_;
  if (i + 1 >= n || copy_[i] != '<') return false;
  const std::size_t name_begin = ++i;
  if (copy_[i] == '!' || copy_[i] == '?') return false;  // a declaration, or markup
  if (copy_[i] == '/') ++i;                              // an end tag's name keeps its "/"
  const std::size_t name_end = i + PlainRun(copy_, i, kPlainNameStops);
  if (name_end == i || name_end >= n || copy_[name_end] != '>') return false;
  std::size_t j = name_end + 1;
  for (;;) {
    j += PlainRun(copy_, j, kTextStops);
    if (j >= n) return false;  // a text that runs to the end
    const char c = copy_[j];
    if (c == '<') break;
    // A pair is one character whatever its second byte, unless that is a NUL (never stored) or
    // missing.
    if (!gbk::IsLeadByteOrFF(c) || j + 1 >= n || copy_[j + 1] == '\0') return false;
    j += 2;
  }
  if (j + 1 >= n || copy_[j + 1] == '!') return false;
  tag_.Reset(false);
  name_ = copy_.substr(name_begin, name_end - name_begin);
  text_ = Trim(copy_.substr(name_end + 1, j - name_end - 1));
  pos_ = j;
  return true;
}

// Copies the double-byte character at the position into the tag buffer; false when the document
// ends inside it.
bool Parser::TakeDoubleByte() {
  if (pos_ + 1 >= copy_.size()) return false;
  Put(buffer_, copy_[pos_]);
  Put(buffer_, copy_[pos_ + 1]);
  pos_ += 2;
  return true;
}

// The text after a start or end tag, up to the next tag; "<!...>" markup inside it is dropped and
// CDATA sections are kept whole. The position is left on the "<" of the next tag.
bool Parser::ReadText() {
  const std::size_t n = copy_.size();
  bool skipping = false;
  bool in_cdata = false;
  while (pos_ < n) {
    if (!skipping && !in_cdata) {
      if (std::size_t run = PlainRun(copy_, pos_, kTextStops)) {
        buffer_.append(copy_.substr(pos_, run));
        pos_ += run;
        continue;
      }
    }
    char c = copy_[pos_];
    if (skipping) {
      ++pos_;
      if (c == '>') skipping = false;
      continue;
    }
    if (in_cdata) {
      if (copy_.substr(pos_, kCDataClose.size()) == kCDataClose) {
        buffer_.append(kCDataClose);
        pos_ += kCDataClose.size();
        in_cdata = false;
      } else {
        Put(buffer_, c);
        ++pos_;
      }
      continue;
    }
    if (gbk::IsLeadByteOrFF(c)) {
      if (!TakeDoubleByte()) return false;
      continue;
    }
    if (c == '<') {
      if (pos_ + 1 >= n || copy_[pos_ + 1] != '!') {
        Put(buffer_, c);
        return true;
      }
      if (copy_.substr(pos_, kCDataOpen.size()) == kCDataOpen) {
        buffer_.append(kCDataOpen);
        pos_ += kCDataOpen.size();
        in_cdata = true;
      } else {
        skipping = true;
        ++pos_;
      }
      continue;
    }
    if (c == '>') return false;
    Put(buffer_, c);
    ++pos_;
  }
  return true;
}

bool Parser::ParseTag(bool empty_element) {
  tag_.Reset(empty_element);
  word_.clear();
  if (!ParseTagBuffer(empty_element)) return false;
  return tag_.attribute_text.empty() || ParseAttributes();
}

// What the scan of a tag buffer is collecting.
enum class Reading { kNothing, kName, kAttributes, kContent };

// "<name attributes/>", which has no text, or "<name attributes>text<", whose text is kept
// trimmed (with CDATA, only the last section counts). The empty element's head ends at "/>", the
// other's at ">"; neither byte means anything in the other form.
bool Parser::ParseTagBuffer(bool empty_element) {
  const std::string& b = buffer_;
  const std::size_t n = b.size();
  Reading reading = Reading::kNothing;
  bool in_quote = false;
  bool tag_ended = false;  // only a tag with text gets past its head
  bool in_cdata = false;
  auto end_head = [&] {
    if (reading == Reading::kName) tag_.name = word_;
    if (reading == Reading::kAttributes) tag_.attribute_text = word_;
    if (reading == Reading::kName || reading == Reading::kAttributes) word_.clear();
    reading = Reading::kContent;
  };
  for (std::size_t i = 0; i < n; ++i) {
    // A run that every branch below would only add to the word goes in at once. The empty
    // element's "/" is no stop, so it is scanned byte by byte.
    if (!empty_element && !in_quote && !in_cdata && !(tag_ended && tag_.cdata)) {
      if (std::size_t run = PlainRun(b, i, reading == Reading::kName ? kNameStops : kBufferStops)) {
        word_.append(b, i, run);
        i += run - 1;
        continue;
      }
    }
    char c = b[i];
    if (c == '"') in_quote = !in_quote;
    if (in_quote && !tag_ended) {
      word_.push_back(c);
      continue;
    }
    if (in_cdata) {
      if (b.compare(i, kCDataClose.size(), kCDataClose) == 0) {
        in_cdata = false;
        i += kCDataClose.size() - 1;
      } else {
        word_.push_back(c);
      }
      continue;
    }
    if (gbk::IsLeadByteOrFF(c)) {
      const std::size_t width = CharacterWidth(b, i);
      word_.append(b, i, width);
      i += width - 1;
      continue;
    }
    if (c == '<') {
      if (tag_ended && b.compare(i, kCDataOpen.size(), kCDataOpen) == 0) {
        word_.clear();  // text before a CDATA section is not kept
        tag_.cdata = in_cdata = true;
        i += kCDataOpen.size() - 1;
      } else if (i + 1 == n) {
        tag_.text = Trim(word_);  // the "<" of the next tag ends the text
        return true;
      } else {
        word_.clear();
        if (!tag_ended) reading = Reading::kName;
      }
      continue;
    }
    if (c == ' ' && reading == Reading::kName) {
      if (word_.empty()) return false;
      tag_.name = word_;
      word_.clear();
      reading = Reading::kAttributes;
      continue;
    }
    if (empty_element && c == '/' && i + 1 < n && b[i + 1] == '>') {
      end_head();
      word_.clear();
      continue;
    }
    if (!empty_element && c == '>') {
      end_head();
      tag_ended = true;
      continue;
    }
    if (tag_ended && tag_.cdata) continue;  // only CDATA content counts once a section was seen
    word_.push_back(c);
  }
  return true;  // a tag with text that ran to the end of the document keeps it empty
}

// Reads the attribute text one attribute at a time; any malformed attribute fails the tag.
bool Parser::ParseAttributes() {
  const std::string_view t = tag_.attribute_text;
  const std::size_t n = t.size();
  std::unordered_set<std::string_view> seen;
  std::string& value = word_;
  std::size_t start = 0;
  while (start < n) {
    bool expecting_name = true;
    bool in_quote = false;
    // A name is always one run of the attribute text; a value may be pieced together.
    std::size_t name_begin = 0;
    std::size_t name_length = 0;
    std::string_view name;
    value.clear();
    std::size_t i = start;
    std::size_t next = n;
    bool ended = false;  // the attempt ended at a byte rather than at the end of the text
    while (i < n && !ended) {
      const char c = t[i];
      if (gbk::IsLeadByteOrFF(c)) {
        const std::size_t width = CharacterWidth(t, i);
        if (expecting_name) {
          if (name_length == 0) name_begin = i;
          name_length += width;
        } else {
          value.append(t.substr(i, width));
        }
        i += width;
      } else if (in_quote && c != '"') {
        value.push_back(c);
        ++i;
      } else if (c == '=') {
        if (expecting_name) {
          if (name_length == 0) return false;
          name = t.substr(name_begin, name_length);
          expecting_name = false;
          ++i;
        } else {
          if (value.empty()) return false;
          if (!AddAttribute(name, value, &seen)) return false;
          ended = true;
        }
      } else if (c == ' ') {
        if (expecting_name) {
          std::size_t j = i + 1;
          while (j < n && t[j] == ' ')
            ++j;
          if ((j < n && t[j] == '=') || name_length == 0) {
            i = j;
          } else {
            if (!AddAttribute(t.substr(name_begin, name_length), "1", &seen)) return false;
            ended = true;
          }
        } else if (!value.empty()) {
          if (!AddAttribute(name, value, &seen)) return false;
          ended = true;
        } else {
          ++i;
        }
      } else if (c == '"') {
        if (expecting_name) {
          if (name_length == 0) return false;
          if (!AddAttribute(t.substr(name_begin, name_length), "1", &seen)) return false;
          ended = true;
        } else if (!in_quote) {
          in_quote = true;
          ++i;
        } else {
          if (!AddAttribute(name, value, &seen)) return false;
          ended = true;
        }
      } else {
        if (expecting_name) {
          if (name_length == 0) name_begin = i;
          ++name_length;
        } else {
          value.push_back(c);
        }
        ++i;
      }
      if (ended) next = i + 1;
    }
    if (!ended) {
      // The end of the text: a bare name, or a value whose end was not marked. "name=" alone
      // gives nothing.
      if (expecting_name && name_length > 0) {
        if (!AddAttribute(t.substr(name_begin, name_length), "1", &seen)) return false;
      } else if (!expecting_name && !value.empty()) {
        if (!AddAttribute(name, value, &seen)) return false;
      }
    }
    start = next;
  }
  return true;
}

bool Parser::AddAttribute(std::string_view name, std::string_view value,
                          std::unordered_set<std::string_view>* seen) {
  std::vector<Tag::Attribute>& list = tag_.attributes;
  if (list.size() < kScannedAttributes) {
    for (const Tag::Attribute& a : list) {
      if (a.name == name) return false;
    }
  } else {
    if (seen->empty()) {
      for (const Tag::Attribute& a : list)
        seen->insert(a.name);
    }
    if (!seen->insert(name).second) return false;
  }
  list.push_back({name, tag_.values.size(), value.size()});
  tag_.values.append(value);
  return true;
}

// Closes the innermost element or adds a new one to the tree.
bool Parser::AttachNode() {
  const std::string_view name = name_;
  if (name.starts_with('/')) {
    if (open_.empty() || document_->Name(open_.back()) != name.substr(1)) return false;
    open_.pop_back();
    return true;
  }
  XmlDocument::NodeIndex parent = XmlDocument::kNoNode;
  if (open_.empty()) {
    document_->Clear();  // a later top-level element replaces the earlier one as root
  } else {
    parent = open_.back();
  }
  for (const Tag::Attribute& a : tag_.attributes)
    document_->StageAttribute(a.name, tag_.Value(a));
  XmlDocument::NodeIndex node =
      document_->AddElement(parent, name, text_, tag_.self_closing, tag_.cdata);
  if (document_->full()) return false;
  if (!tag_.self_closing) open_.push_back(node);
  return true;
}

}  // namespace

std::unique_ptr<XmlDocument> ParseDocument(std::string copy) {
  return Parser(std::move(copy)).Run();
}

}  // namespace marvane::xml
