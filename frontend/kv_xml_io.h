// The reader and writer of the XML file format behind TkvXMLDocument. Each lives for one
// load or one save.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

#include "frontend/kv_xml.h"

namespace kv {

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

  // Reads the "<?xml ...?>" header and the document element into `root`.
  void ReadDocument(TkvXMLItem& root);

 private:
  struct Tag {
    UString name;
    UString text;
    bool IsEndMarker() const { return name.empty() || name.front() == u'/'; }
  };

  // The next tag, comments skipped; an empty tag at the end of the stream.
  Tag ReadTag();
  // Collects the bytes of the next tag into tag_; false at the end of the stream.
  bool CollectTag();
  bool FillBuffer();

  std::streambuf* source_;
  int64_t startPosition_;  // -1 when the stream cannot seek
  int64_t consumed_ = 0;   // bytes taken out of the buffer
  size_t fill_ = 0;
  size_t index_ = 0;
  std::string tag_;
  char buffer_[4096];
};

// Gathers output in pieces of a little over 4096 bytes. The tree is written without
// escaping: Name and Text stand as they are.
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
