// Writing the XML file format. The tree is walked with an explicit stack of open elements,
// so depth costs memory, not C++ stack.
#include <ostream>
#include <string>
#include <vector>

#include "host/core/exceptions.h"
#include "xml/kv_xml_io.h"

namespace kv {

namespace {

constexpr size_t kFlushSize = 4096;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// UTF-8 straight into the output; a surrogate without its partner has no UTF-8 form and is
// written as U+FFFD (attribute values reach Text through EncodeAttrValue, which codes them).
void AppendUtf8(std::string& out, UStringView text) {
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    if (cp <= 0xDBFF && cp >= 0xD800 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (IsSurrogate(cp)) {
      cp = 0xFFFD;
    }
    if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    }
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Text is a well-formed attribute list (SetText), but a host may have put a control
// character into a value without coding it: inside a value a reference is valid, so such a
// character is written as one and reads back the same through Prop.
void AppendAttrText(std::string& out, UStringView text) {
  char16_t quote = 0;  // of the value being written; 0 between values
  size_t start = 0;    // of the run not yet written
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (quote == 0) {
      if (c == u'"' || c == u'\'') quote = c;
    } else if (c == quote) {
      quote = 0;
    } else if (NeedsCharacterReference(text, i)) {
      AppendUtf8(out, text.substr(start, i - start));
      out += "&#" + std::to_string(c) + ";";
      start = i + 1;
    }
  }
  AppendUtf8(out, text.substr(start));
}

UString Quoted(UStringView s) { return u"\"" + UString(s) + u"\""; }

// Text needs no check here: an item's attribute text is always a well-formed list (SetText).
void CheckItem(const TkvXMLItem& item) {
  const UString& name = item.Name();
  if (name.empty()) throw Exception("Cannot write an XML element without a name");
  if (!IsXmlName(name))
    throw Exception(u"Cannot write the XML element name " + Quoted(name) +
                    u": a name begins with a letter, \"_\" or \":\" and holds only letters, "
                    u"digits, \"-\", \".\", \"_\" and \":\"");
  if (item.Count() > 0 && !item.Content().empty())
    throw Exception(u"Cannot write XML element " + Quoted(name) +
                    u": an element with child elements cannot also hold character data");
}

}  // namespace

void TkvXMLWriter::CheckWritable(const TkvXMLItem& root) {
  std::vector<const TkvXMLItem*> pending{&root};
  while (!pending.empty()) {
    const TkvXMLItem* item = pending.back();
    pending.pop_back();
    CheckItem(*item);
    for (const TkvXMLItem* child : item->Children()) pending.push_back(child);
  }
}

TkvXMLWriter::TkvXMLWriter(std::ostream& stream, bool indentOutput)
    : stream_(stream), indentOutput_(indentOutput) {
  pending_.reserve(kFlushSize + 512);
}

void TkvXMLWriter::WriteDocument(const TkvXMLItem& root) {
  BeginLine(0);
  pending_ += "<?xml version=\"1.0\"?>";
  EndLine();

  // Invariant: stack[k] is an open element with children, written at level 2k, and `next`
  // is the index of its first child not yet written.
  struct Open {
    const TkvXMLItem* item;
    size_t next;
  };
  std::vector<Open> stack;
  WriteOpening(root, 0);
  if (root.Count() > 0) stack.push_back({&root, 0});
  while (!stack.empty()) {
    Open& top = stack.back();
    const int childLevel = 2 * static_cast<int>(stack.size());
    if (top.next < top.item->Children().size()) {
      const TkvXMLItem* child = top.item->Children()[top.next++];
      WriteOpening(*child, childLevel);
      if (child->Count() > 0) stack.push_back({child, 0});
    } else {
      WriteClosing(*top.item, childLevel - 2);
      stack.pop_back();
    }
  }
  Flush();
}

void TkvXMLWriter::WriteOpening(const TkvXMLItem& item, int level) {
  BeginLine(level);
  pending_.push_back('<');
  AppendUtf8(pending_, item.Name());
  const UString& text = item.Text();
  if (!text.empty()) {
    if (text.front() != u' ') pending_.push_back(' ');
    AppendAttrText(pending_, text);
  }
  if (item.Count() > 0) {
    pending_.push_back('>');
  } else if (!item.Content().empty()) {
    pending_.push_back('>');
    AppendUtf8(pending_, EncodeCharData(item.Content()));
    pending_ += "</";
    AppendUtf8(pending_, item.Name());
    pending_.push_back('>');
  } else {
    pending_ += "/>";
  }
  EndLine();
}

void TkvXMLWriter::WriteClosing(const TkvXMLItem& item, int level) {
  BeginLine(level);
  pending_ += "</";
  AppendUtf8(pending_, item.Name());
  pending_.push_back('>');
  EndLine();
}

void TkvXMLWriter::BeginLine(int level) {
  if (indentOutput_) pending_.append(static_cast<size_t>(level), ' ');
}

void TkvXMLWriter::EndLine() {
  if (indentOutput_) pending_ += "\r\n";
  if (pending_.size() > kFlushSize) Flush();
}

void TkvXMLWriter::Flush() {
  if (pending_.empty()) return;
  std::streambuf* target = stream_.rdbuf();
  const auto size = static_cast<std::streamsize>(pending_.size());
  if (!target || target->sputn(pending_.data(), size) != size)
    throw EWriteError("Stream write error");
  pending_.clear();
}

}  // namespace kv
