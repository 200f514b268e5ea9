// The reader and writer of the XML file format behind TkvXMLDocument. Each lives for one
// load or one save.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

#include "xml/kv_xml.h"

namespace kv {

// An XML name: a letter, "_" or ":" first, then letters, digits, "-", ".", "_" or ":".
bool IsXmlName(UStringView name);
// Raises kv::Exception, saying what is wrong, unless `text` is a well-formed XML attribute
// list: blank-separated `name="value"` (or 'value') pairs, each name once, values without
// "<" and with "&" only in references ("&#60;", "&amp;", ...).
void CheckAttrText(UStringView text);
// Files written before values had "&" coded hold it bare; Prop reads "&#38;" as it read the
// bare "&", so coding it keeps every value and makes the text well-formed.
UString CodeStrayAmpersands(UStringView text);
// Whether s[i] cannot stand raw in a file of ours and is written as "&#N;": the control
// characters other than tab and line breaks, DEL and the C1 controls (invisible, and not
// allowed raw by XML 1.1), U+FFFE and U+FFFF, and a surrogate without its partner (it has no
// UTF-8 form). XML 1.0 forbids most of these even as references; our reader accepts "&#N;"
// for every code up to U+10FFFF, so a document of ours reads back exactly, and the file
// holds only printable text.
bool NeedsCharacterReference(UStringView s, size_t i);
// Blanks (space, tab, carriage return, line feed) only; between tags they are layout.
bool IsXmlBlankText(UStringView s);
// Character data as it stands between an element's tags, and back. Decoding knows the five
// named references of XML and "&#N;" / "&#xH;"; any other "&" raises kv::Exception.
UString EncodeCharData(UStringView s);
UString DecodeCharData(UStringView s);

// Reads bytes through a 4096-byte buffer straight from the stream's buffer (so the stream's
// exception mask and state flags play no part).
class TkvXMLReader {
 public:
  // A tag longer than this is refused: no document of ours comes near it, and a broken or
  // hostile file fails clearly instead of exhausting memory.
  static constexpr size_t kMaxTagBytes = size_t(64) << 20;

  explicit TkvXMLReader(std::istream& stream);
  TkvXMLReader(const TkvXMLReader&) = delete;
  TkvXMLReader& operator=(const TkvXMLReader&) = delete;
  // Puts a seekable stream just after the last byte consumed (the buffer may have read
  // further).
  ~TkvXMLReader();

  // Reads the "<?xml ...?>" header and the document element into `root`, then makes sure
  // that no second element follows it (the stream is left after the document anyway).
  void ReadDocument(TkvXMLItem& root);

 private:
  struct Tag {
    UString name;
    UString text;
    bool IsEndMarker() const { return name.empty() || name.front() == u'/'; }
  };
  // Row and column (in UTF-16 code units, as the editor counts) of a character.
  struct Place {
    int64_t row = 1;
    int64_t column = 1;
    UString Text() const;
  };

  // The next tag, comments skipped; an empty tag at the end of the stream. With
  // `keepCharacterData` the character data before it is gathered in chars_.
  Tag ReadTag(bool keepCharacterData);
  // Collects the bytes of the next tag into tag_; false at the end of the stream.
  bool CollectTag(bool keepCharacterData);
  bool FillBuffer();
  // Counts buffer_[tracked_, to) as consumed and moves here_ over it.
  void TrackTo(size_t to);
  // Gives `element` the character data gathered before the tag just read.
  void TakeCharacterData(TkvXMLItem& element);
  // Makes the element of a start tag: the root or a child of `open`, which it becomes when
  // it has content. True when it completed the document element.
  bool AddElement(TkvXMLItem& root, Tag tag, TkvXMLItem*& open);
  void CheckNothingFollows(const TkvXMLItem& root);
  [[noreturn]] void Fail(const Place& place, const UString& reason) const;

  std::streambuf* source_;
  int64_t startPosition_;     // -1 when the stream cannot seek
  int64_t consumed_ = 0;      // bytes taken out of the buffer
  int64_t documentEnd_ = -1;  // consumed_ when the document element closed
  size_t fill_ = 0;
  size_t index_ = 0;
  size_t tracked_ = 0;          // buffer_ before it is counted in consumed_ and here_
  Place here_;                  // of the next byte
  Place tagPlace_;              // of the "<" of the last tag
  Place charsPlace_;            // of the first non-blank byte in chars_
  bool charsHaveData_ = false;  // chars_ holds more than blanks
  bool atEnd_ = false;          // the last ReadTag met the end of the stream
  std::string tag_;
  std::string chars_;  // character data before the last tag, when kept
  char buffer_[4096];
};

// Gathers output in pieces of a little over 4096 bytes. The tree is written without
// escaping: Name and Text stand as they are, except that a character inside a value of Text
// that NeedsCharacterReference is written as "&#N;".
class TkvXMLWriter {
 public:
  TkvXMLWriter(std::ostream& stream, bool indentOutput);
  TkvXMLWriter(const TkvXMLWriter&) = delete;
  TkvXMLWriter& operator=(const TkvXMLWriter&) = delete;

  // Raises when `root`'s tree could not be read back as written.
  static void CheckWritable(const TkvXMLItem& root);
  // The header line, the tree at level 0, then everything pending goes to the stream.
  void WriteDocument(const TkvXMLItem& root);

 private:
  void WriteOpening(const TkvXMLItem& item, int level);
  void WriteClosing(const TkvXMLItem& item, int level);
  void BeginLine(int level);
  void EndLine();
  void Flush();

  std::ostream& stream_;
  bool indentOutput_;
  std::string pending_;
};

}  // namespace kv
