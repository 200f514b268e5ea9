// Reading the XML file format: tags are collected byte by byte (the delimiters are ASCII, so
// UTF-8 sequences never disturb them) and decoded to UTF-16 one tag at a time. Elements are
// read with the open elements kept as a chain of parents, not as C++ recursion, so nesting
// depth is limited only by memory.
#include <istream>
#include <string>

#include "frontend/kv_xml_io.h"
#include "host/core/exceptions.h"

namespace kv {

namespace {

[[noreturn]] void InvalidFormat() { throw Exception("Invalid file format"); }

// Tags are UTF-8; a tag that is not (an old single-byte file) is read as Windows-1251
// rather than losing its characters.
UString DecodeTagPart(std::string_view bytes) {
  bool ascii = true;
  for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return UString(bytes.begin(), bytes.end());
  return IsValidUtf8(bytes) ? FromUtf8(bytes) : FromCp1251(bytes);
}

bool EndsWithSlash(const UString& s) { return !s.empty() && s.back() == u'/'; }

// The tag closes `element` when it is "/" + its name (letter case ignored). An empty tag
// (the end of the stream) closes every element still open.
bool Closes(const UString& endMarker, const TkvXMLItem& element) {
  return endMarker.empty() ||
         SameText(UStringView(endMarker).substr(1), UStringView(element.Name()));
}

}  // namespace

TkvXMLReader::TkvXMLReader(std::istream& stream) : source_(stream.rdbuf()) {
  if (!source_) throw EReadError("Stream read error");
  startPosition_ = source_->pubseekoff(0, std::ios::cur, std::ios::in);
}

TkvXMLReader::~TkvXMLReader() {
  if (startPosition_ < 0) return;
  try {
    source_->pubseekpos(startPosition_ + consumed_, std::ios::in);
  } catch (...) {
    // A stream that fails to seek back keeps its position; the document was read anyway.
  }
}

bool TkvXMLReader::FillBuffer() {
  const std::streamsize got = source_->sgetn(buffer_, sizeof buffer_);
  fill_ = got > 0 ? static_cast<size_t>(got) : 0;
  index_ = 0;
  return fill_ > 0;
}

bool TkvXMLReader::CollectTag() {
  enum class State { kOutside, kInTag, kInComment };
  State state = State::kOutside;
  int dashes = 0;       // consecutive "-" in a comment
  bool armed = false;   // a comment saw "--": the next ">" ends it
  tag_.clear();
  for (;;) {
    if (index_ == fill_ && !FillBuffer()) {
      if (state == State::kInTag) InvalidFormat();
      return false;
    }
    const size_t begin = index_;
    switch (state) {
      case State::kOutside:
        while (index_ < fill_ && buffer_[index_] != '<') ++index_;
        if (index_ < fill_) {
          ++index_;
          state = State::kInTag;
        }
        break;
      case State::kInTag: {
        // Byte by byte until a comment could be told from a tag, then in runs.
        while (index_ < fill_ && tag_.size() < 3) {
          const char c = buffer_[index_++];
          if (c == '>') {
            consumed_ += static_cast<int64_t>(index_ - begin);
            return true;
          }
          if (c == '<') InvalidFormat();
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
          throw Exception("Invalid file format: a tag is longer than " +
                          std::to_string(kMaxTagBytes) + " bytes");
        if (index_ < fill_) {
          if (buffer_[index_++] == '<') InvalidFormat();
          consumed_ += static_cast<int64_t>(index_ - begin);
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
    consumed_ += static_cast<int64_t>(index_ - begin);
  }
}

TkvXMLReader::Tag TkvXMLReader::ReadTag() {
  Tag tag;
  if (!CollectTag()) return tag;
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
  if (!ReadTag().name.starts_with(u"?xml")) InvalidFormat();

  // The element whose content is being read; null once the document element is complete.
  TkvXMLItem* open = nullptr;
  for (;;) {
    Tag tag = ReadTag();
    if (tag.IsEndMarker()) {
      // A document needs its element, and a closing tag must close the open element.
      if (!open || !Closes(tag.name, *open)) InvalidFormat();
      if (tag.name.empty()) return;  // elements still open end with the stream
      open = open == &root ? nullptr : open->Parent();
      if (!open) return;
      continue;
    }
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
    element->SetText(std::move(tag.text));
    if (!empty) open = element;
    else if (element == &root) return;
  }
}

}  // namespace kv
