// TStrings, the abstract list of text lines each carrying an object value, and TStringList,
// its plain in-memory implementation with sorting.
//
// The object value of a line is a 32-bit integer: normally the handle of a TObject (0 for
// none), but any number a script stores comes back unchanged, as it would through a cast.
// A list never owns or frees these objects; ObjectAt<T> turns a value back into an object
// with the usual handle checks, so an object freed meanwhile raises instead of crashing.
//
// Lines of the form name=value make a list a dictionary (Names, Values, IndexOfName): the
// name is the text before the first "=", the value the text after it.
#pragma once

#include <cstdint>
#include <vector>

#include "host/core/component.h"
#include "host/core/handles.h"
#include "host/core/object.h"
#include "host/core/ustring.h"

namespace kv {

class TStream;

class TStrings : public TPersistent {
  KV_CLASS(TStrings, TPersistent)

 public:
  // Descendants store the lines: these are the primitives every other operation uses. An
  // index outside the lines raises EStringListError "List index out of bounds (N)";
  // InsertObject accepts 0..Count.
  virtual int Count() const = 0;
  virtual UString Get(int index) const = 0;
  virtual int32_t GetObject(int index) const = 0;
  virtual void PutObject(int index, int32_t object) = 0;
  virtual void InsertObject(int index, const UString& s, int32_t object) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;

  // Replaces the text of a line and keeps its object.
  virtual void Put(int index, const UString& s);
  // Appends a line (a sorted list will place it where it belongs); returns its index.
  virtual int AddObject(const UString& s, int32_t object);
  int Add(const UString& s) { return AddObject(s, 0); }
  void Insert(int index, const UString& s) { InsertObject(index, s, 0); }
  // Both indexes are checked before anything changes.
  virtual void Exchange(int index1, int index2);
  // Takes the line at `curIndex` (with its object) out and puts it back at `newIndex`.
  virtual void Move(int curIndex, int newIndex);

  // Appends every line of `source` (this list itself included) with its object.
  void AddStrings(const TStrings& source);
  // From another TStrings: replaces the lines and objects with a copy of the source's.
  void Assign(TPersistent* source) override;

  // The first line equal to `s` under CompareStrings; -1 when none.
  virtual int IndexOf(UStringView s) const;
  int IndexOfObject(int32_t object) const;
  // The object of a line checked to be a T (nullptr for 0); see HandleToOrNil.
  template <class T>
  T* ObjectAt(int index) const {
    return HandleToOrNil<T>(GetObject(index));
  }

  // The name part of a line; empty for a line without "=".
  UString Names(int index) const;
  // The value part of a line; empty for a line without "=".
  UString ValueFromIndex(int index) const;
  // The first line whose name equals `name` under CompareStrings; -1 when none.
  int IndexOfName(UStringView name) const;
  // The value of the first line named `name`; empty when there is none.
  UString Values(UStringView name) const;
  // Replaces the value of the first line named `name`, or appends "name=value"; an empty
  // value deletes that line instead.
  void SetValues(const UString& name, const UString& value);

  // Every line followed by a line break ("\n"). Setting it splits the text at CR LF, LF or
  // CR; a break at the very end does not start another line.
  virtual UString Text() const;
  virtual void SetText(UStringView text);

  // The lines joined by Delimiter. A line is put in QuoteChar quotes (its quote characters
  // doubled) when it holds the delimiter, a quote character or, unless StrictDelimiter, a
  // character up to the blank; a list of one empty line is a pair of quotes.
  //
  // Setting it splits at the delimiter and, unless StrictDelimiter, at runs of blanks and
  // control characters as well (blanks next to a delimiter do not count); a quoted part
  // keeps its blanks and delimiters, doubled quotes stand for one, and an unclosed quote
  // runs to the end. A delimiter at the very end adds an empty line.
  UString DelimitedText() const;
  void SetDelimitedText(UStringView text);
  // DelimitedText with "," and '"' whatever Delimiter, QuoteChar and StrictDelimiter are.
  UString CommaText() const;
  void SetCommaText(UStringView text);
  char16_t Delimiter() const { return delimiter_; }
  void SetDelimiter(char16_t c) { delimiter_ = c; }
  char16_t QuoteChar() const { return quoteChar_; }
  void SetQuoteChar(char16_t c) { quoteChar_ = c; }
  bool StrictDelimiter() const { return strictDelimiter_; }
  void SetStrictDelimiter(bool strict) { strictDelimiter_ = strict; }

  // Replaces the lines with the text from the stream's position to its end: UTF-8, or
  // Windows-1251 when the bytes are not valid UTF-8; a UTF-8 or UTF-16 byte-order mark
  // decides instead. Lines end at CR LF, LF or CR.
  virtual void LoadFromStream(TStream& stream);
  void LoadFromFile(const UString& fileName);
  // Writes Text as UTF-8 without a byte-order mark, at the stream's position.
  void SaveToStream(TStream& stream) const;
  // The same bytes as the file's whole content; a failed save leaves the file as it was
  // (see SaveFileBytes).
  void SaveToFile(const UString& fileName) const;

  // Updates between BeginUpdate and the matching EndUpdate count as one change. An
  // EndUpdate without a BeginUpdate does nothing.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

 protected:
  // <0, 0, >0 as two lines order; IndexOf, IndexOfName and sorting use it.
  virtual int CompareStrings(UStringView a, UStringView b) const { return CompareText(a, b); }
  // Called when the update count leaves and returns to 0.
  virtual void SetUpdateState(bool updating) {}
  void CheckIndex(int index, int count) const;  // 0 <= index < count, else the index error
  // Gives the line at `index` the text `s`: Put, unless a descendant keeps its lines in an
  // order of its own.
  virtual void ReplaceLine(int index, const UString& s) { Put(index, s); }

  // Runs `change` as one update: the update count goes back even when it raises.
  template <class F>
  void AsOneUpdate(F change);

 private:
  UString DelimitedTextWith(char16_t delimiter, char16_t quote, bool strict) const;
  void SetDelimitedTextWith(UStringView text, char16_t delimiter, char16_t quote, bool strict);

  int updateCount_ = 0;
  char16_t delimiter_ = u',';
  char16_t quoteChar_ = u'"';
  bool strictDelimiter_ = false;
};

// How a sorted list treats a line equal to one it holds: keeps the old one only, accepts
// both, or raises EStringListError "String list does not allow duplicates".
enum TDuplicates : uint8_t { dupIgnore, dupAccept, dupError };

// Published properties: none (scripts reach Sorted and Duplicates through the binding).
//
// A sorted list keeps its lines in CompareStrings order: Add and AddObject put a line in its
// place (subject to Duplicates), and Insert, Put, Exchange and Move raise EStringListError
// "Operation not allowed on sorted list" before anything changes. Values of a sorted list
// moves the changed line to its place.
class TStringList : public TStrings {
  KV_CLASS(TStringList, TStrings)

 public:
  TStringList() = default;

  int Count() const override { return static_cast<int>(lines_.size()); }
  UString Get(int index) const override;
  // The lines are joined in place, in one buffer (a script's source is joined so).
  UString Text() const override;
  int32_t GetObject(int index) const override;
  void Put(int index, const UString& s) override;
  void PutObject(int index, int32_t object) override;
  int AddObject(const UString& s, int32_t object) override;
  void InsertObject(int index, const UString& s, int32_t object) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int index1, int index2) override;
  void Move(int curIndex, int newIndex) override;
  // On a sorted list a binary search; otherwise the linear one.
  int IndexOf(UStringView s) const override;

  // Binary search for `s`: true when found, `index` then the line's index (the first of
  // equal lines when Duplicates is dupAccept); otherwise `index` is where `s` would be
  // inserted. Meaningful only on a sorted list: an unsorted one is searched as if it were
  // sorted, as the host does, so the answer may be wrong.
  bool Find(UStringView s, int& index) const;
  // Sorts the lines (equal lines keep their order); a sorted list already is.
  void Sort();

  bool Sorted() const { return sorted_; }
  // Setting it sorts the lines.
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
  // Comparisons ignore letter case unless set; setting it re-sorts a sorted list. With case,
  // lines that differ only in case order lower case first.
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool caseSensitive);

  // Fired around every change made outside BeginUpdate/EndUpdate, and once around a whole
  // update; the argument is the list's handle (Sender).
  TMethod OnChanging;
  TMethod OnChange;

 protected:
  int CompareStrings(UStringView a, UStringView b) const override;
  void SetUpdateState(bool updating) override;
  void ReplaceLine(int index, const UString& s) override;
  virtual void Changing();
  virtual void Changed();

 private:
  struct Line {
    UString text;
    int32_t object = 0;
  };
  // Inserts without the sorted-list check; `index` is valid.
  void InsertItem(int index, const UString& s, int32_t object);
  void SortLines();
  void CheckNotSorted() const;
  void Notify(const TMethod& event);

  std::vector<Line> lines_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = dupIgnore;
};

}  // namespace kv
