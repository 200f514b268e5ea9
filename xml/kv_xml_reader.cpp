// Reading the XML file format: tags are collected byte by byte (the delimiters are ASCII, so
// UTF-8 sequences never disturb them) and decoded to UTF-16 one tag at a time. Elements are
// read with the open elements kept as a chain of parents, not as C++ recursion, so nesting
// depth is limited only by memory.
#include <istream>
#include <string>

#include "host/core/exceptions.h"
#include "xml/kv_xml_io.h"

namespace kv {

namespace {

// Tags are UTF-8; a tag that is not (an old single-byte file) is read as Windows-1251
// rather than losing its characters.
UString DecodeTagPart(std::string_view bytes) {
  bool ascii = true;
  for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return UString(bytes.begin(), bytes.end());
  return IsValidUtf8(bytes) ? FromUtf8(bytes) : FromCp1251(bytes);
}

bool EndsWithSlash(const UString& s) { return !s.empty() && s.back() == u'/'; }

bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The end tag closes `element` when it is "/" + its name (letter case ignored).
bool Closes(const UString& endTag, const TkvXMLItem& element) {
  return SameText(UStringView(endTag).substr(1), UStringView(element.Name()));
}

UString Quoted(const UString& s) { return u"\"" + s + u"\""; }

}  // namespace

UString TkvXMLReader::Place::Text() const { return IntToUStr(row) + u":" + IntToUStr(column); }

void TkvXMLReader::Fail(const Place& place, const UString& reason) const {
  throw Exception(u"Invalid file format at " + place.Text() + u": " + reason);
}

TkvXMLReader::TkvXMLReader(std::istream& stream) : source_(stream.rdbuf()) {
  if (!source_) throw EReadError("Stream read error");
  startPosition_ = source_->pubseekoff(0, std::ios::cur, std::ios::in);
}

TkvXMLReader::~TkvXMLReader() {
  if (startPosition_ < 0) return;
  try {
    const int64_t used = documentEnd_ >= 0 ? documentEnd_ : consumed_;
    source_->pubseekpos(startPosition_ + used, std::ios::in);
  } catch (...) {
    // A stream that fails to seek back keeps its position; the document was read anyway.
  }
}

bool TkvXMLReader::FillBuffer() {
  const std::streamsize got = source_->sgetn(buffer_, sizeof buffer_);
  fill_ = got > 0 ? static_cast<size_t>(got) : 0;
  index_ = 0;
  tracked_ = 0;
  return fill_ > 0;
}

void TkvXMLReader::TrackTo(size_t to) {
  for (size_t k = tracked_; k < to; ++k) {
    const auto byte = static_cast<unsigned char>(buffer_[k]);
    if (byte == '\n') {
      ++here_.row;
      here_.column = 1;
    } else if ((byte & 0xC0) != 0x80) {      // a UTF-8 continuation byte adds no character
      here_.column += byte >= 0xF0 ? 2 : 1;  // four bytes make a surrogate pair
    }
  }
  consumed_ += static_cast<int64_t>(to - tracked_);
  tracked_ = to;
}

bool TkvXMLReader::CollectTag(bool keepCharacterData) {
  enum class State { kOutside, kInTag, kInComment };
  State state = State::kOutside;
  int dashes = 0;      // consecutive "-" in a comment
  bool armed = false;  // a comment saw "--": the next ">" ends it
  tag_.clear();
  for (;;) {
    if (index_ == fill_ && !FillBuffer()) {
      if (state == State::kInTag) Fail(here_, u"the input ends inside a tag");
      return false;
    }
    switch (state) {
      case State::kOutside: {
        const size_t runStart = index_;
        for (; index_ < fill_ && buffer_[index_] != '<'; ++index_) {
          if (keepCharacterData && !charsHaveData_ && !IsBlankByte(buffer_[index_])) {
            TrackTo(index_);
            charsPlace_ = here_;
            charsHaveData_ = true;
          }
        }
        if (keepCharacterData) {
          chars_.append(buffer_ + runStart, index_ - runStart);
          if (chars_.size() > kMaxTagBytes)
            Fail(charsHaveData_ ? charsPlace_ : here_,
                 u"character data is longer than " + IntToUStr(kMaxTagBytes) + u" bytes");
        }
        if (index_ < fill_) {
          TrackTo(index_);
          tagPlace_ = here_;
          ++index_;
          state = State::kInTag;
        }
        break;
      }
      case State::kInTag: {
        // Byte by byte until a comment could be told from a tag, then in runs.
        while (index_ < fill_ && tag_.size() < 3) {
          const char c = buffer_[index_++];
          if (c == '>') {
            TrackTo(index_);
            return true;
          }
          if (c == '<') Fail(tagPlace_, u"a tag holds \"<\"");
          tag_.push_back(c);
          if (tag_.size() == 3 && tag_.compare(0, 3, "!--") == 0) {
            tag_.clear();
            state = State::kInComment;
            dashes = 0;
            armed = false;
            break;
          }
        }
        if (state != State::kInTag) break;
        const size_t runStart = index_;
        while (index_ < fill_ && buffer_[index_] != '>' && buffer_[index_] != '<') ++index_;
        tag_.append(buffer_ + runStart, index_ - runStart);
        if (tag_.size() > kMaxTagBytes)
          Fail(tagPlace_, u"a tag is longer than " + IntToUStr(kMaxTagBytes) + u" bytes");
        if (index_ < fill_) {
          if (buffer_[index_++] == '<') Fail(tagPlace_, u"a tag holds \"<\"");
          TrackTo(index_);
          return true;
        }
        break;
      }
      case State::kInComment:
        while (index_ < fill_ && state == State::kInComment) {
          const char c = buffer_[index_++];
          if (armed) {
            if (c == '>') state = State::kOutside;
          } else if (c == '-') {
            armed = ++dashes == 2;
          } else {
            dashes = 0;
          }
        }
        break;
    }
    TrackTo(index_);
  }
}

TkvXMLReader::Tag TkvXMLReader::ReadTag(bool keepCharacterData) {
  Tag tag;
  chars_.clear();
  charsHaveData_ = false;
  atEnd_ = !CollectTag(keepCharacterData);
  if (atEnd_) return tag;
  std::string_view bytes(tag_);
  if (!bytes.empty() && bytes.back() == ' ') bytes.remove_suffix(1);
  const size_t blank = bytes.find(' ');
  if (blank == std::string_view::npos) {
    tag.name = DecodeTagPart(bytes);
  } else {
    tag.name = DecodeTagPart(bytes.substr(0, blank));
    tag.text = DecodeTagPart(bytes.substr(blank + 1));
  }
  return tag;
}

void TkvXMLReader::ReadDocument(TkvXMLItem& root) {
  if (!ReadTag(false).name.starts_with(u"?xml"))
    Fail(tagPlace_, u"the document does not begin with an \"<?xml ...?>\" header");

  // Invariant: `open` is the innermost element whose end tag is still to come; it is null
  // until the document element starts.
  TkvXMLItem* open = nullptr;
  for (;;) {
    Tag tag = ReadTag(open != nullptr);
    if (open) TakeCharacterData(*open);
    if (tag.name.empty() && !atEnd_) Fail(tagPlace_, u"an empty tag \"<>\"");
    if (!tag.IsEndMarker()) {
      if (AddElement(root, std::move(tag), open)) break;
      continue;
    }
    if (atEnd_) {
      if (!open) Fail(here_, u"the document has no element");
      Fail(here_,
           u"the input ends inside element " + Quoted(open->Name()) + u" (its end tag is missing)");
    }
    if (!open || !Closes(tag.name, *open))
      Fail(tagPlace_,
           u"the end tag " + Quoted(u"<" + tag.name + u">") +
               (open ? u" does not close element " + Quoted(open->Name()) : u" closes no element"));
    if (open == &root) break;
    open = open->Parent();
  }
  CheckNothingFollows(root);
}

bool TkvXMLReader::AddElement(TkvXMLItem& root, Tag tag, TkvXMLItem*& open) {
  if (open && !open->Content().empty())
    Fail(tagPlace_, u"element " + Quoted(open->Name()) +
                        u" holds both character data and "
                        u"elements; an element holds one or the other");
  TkvXMLItem* element = open ? open->Add() : &root;
  bool empty = false;
  if (EndsWithSlash(tag.name)) {
    tag.name.pop_back();
    empty = true;
  } else if (EndsWithSlash(tag.text)) {
    tag.text.pop_back();
    empty = true;
  }
  element->SetName(std::move(tag.name));
  element->SetContent({});  // the root keeps its object from one load to the next
  try {
    element->SetText(CodeStrayAmpersands(tag.text));
  } catch (const Exception& e) {
    Fail(tagPlace_, e.Message());
  }
  if (!empty) open = element;
  return empty && element == &root;
}

void TkvXMLReader::TakeCharacterData(TkvXMLItem& element) {
  if (!charsHaveData_) return;  // blanks between tags are layout
  if (element.Count() > 0)
    Fail(charsPlace_, u"element " + Quoted(element.Name()) +
                          u" holds both character data "
                          u"and elements; an element holds one or the other");
  try {
    element.SetContent(DecodeCharData(DecodeTagPart(chars_)));
  } catch (const Exception& e) {
    Fail(charsPlace_, e.Message());
  }
}

// What may follow the document element: blanks, other text (the stream may carry more than
// the document), comments and processing instructions, but no second element.
void TkvXMLReader::CheckNothingFollows(const TkvXMLItem& root) {
  documentEnd_ = consumed_;
  for (;;) {
    const Tag tag = ReadTag(false);
    if (atEnd_) return;
    if (tag.name.starts_with(u"?")) continue;
    Fail(tagPlace_, Quoted(u"<" + tag.name + u">") + u" follows the document element " +
                        Quoted(root.Name()) + u"; a document has one element at its top");
  }
}

}  // namespace kv
