#include "host/core/strings.h"

#include <algorithm>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "host/core/file_save.h"
#include "host/core/file_stream.h"
#include "host/core/stream.h"
#include "host/core/string_routines.h"
#include "host/core/text_file_limit.h"

namespace kv {

namespace {

[[noreturn]] void SortedListError() {
  throw EStringListError(u"Operation not allowed on sorted list");
}

// Text of a string-list file. A UTF-16 byte-order mark names its byte order; an odd last
// byte is dropped.
UString DecodeListBytes(std::string_view bytes) {
  const bool littleEndian = bytes.starts_with("\xFF\xFE");
  if (!littleEndian && !bytes.starts_with("\xFE\xFF")) return DecodeTextFile(bytes);
  UString text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto lo = static_cast<unsigned char>(bytes[littleEndian ? i : i + 1]);
    const auto hi = static_cast<unsigned char>(bytes[littleEndian ? i + 1 : i]);
    text.push_back(static_cast<char16_t>(hi << 8 | lo));
  }
  return text;
}

// Case-sensitive order: as CompareText, and lines equal but for case order lower case first
// (which has the higher code in the scripts users write).
int CompareWithCase(UStringView a, UStringView b) {
  if (const int order = CompareText(a, b); order != 0) return order;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return a[i] > b[i] ? -1 : 1;
  return 0;
}

// The quoted part of a delimited text starting at `pos` (on the opening quote); `pos` moves
// past the closing quote, or to the end when there is none.
UString ExtractQuoted(UStringView text, size_t& pos, char16_t quote) {
  UString item;
  ++pos;
  while (pos < text.size()) {
    const char16_t c = text[pos++];
    if (c != quote) {
      item += c;
    } else if (pos < text.size() && text[pos] == quote) {
      item += quote;
      ++pos;
    } else {
      break;
    }
  }
  return item;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TStrings

KV_DEFINE_CLASS(TStrings, TPersistent) {}

template <class F>
void TStrings::AsOneUpdate(F change) {
  BeginUpdate();
  try {
    change();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::CheckIndex(int index, int count) const {
  if (index < 0 || index >= count)
    throw EStringListError(u"List index out of bounds (" + IntToUStr(index) + u")");
}

void TStrings::Put(int index, const UString& s) {
  const int32_t object = GetObject(index);
  AsOneUpdate([&] {
    Delete(index);
    InsertObject(index, s, object);
  });
}

int TStrings::AddObject(const UString& s, int32_t object) {
  const int index = Count();
  InsertObject(index, s, object);
  return index;
}

void TStrings::AddStrings(const TStrings& source) {
  // Counted first: adding a list to itself copies its lines once.
  const int count = source.Count();
  AsOneUpdate([&] {
    for (int i = 0; i < count; ++i) AddObject(source.Get(i), source.GetObject(i));
  });
}

void TStrings::Assign(TPersistent* source) {
  auto* strings = dynamic_cast<TStrings*>(source);
  if (!strings) {
    TPersistent::Assign(source);
    return;
  }
  if (strings == this) return;  // clearing first would lose the lines to copy
  AsOneUpdate([&] {
    Clear();
    AddStrings(*strings);
  });
}

int TStrings::IndexOf(UStringView s) const {
  const int count = Count();
  for (int i = 0; i < count; ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfObject(int32_t object) const {
  const int count = Count();
  for (int i = 0; i < count; ++i)
    if (GetObject(i) == object) return i;
  return -1;
}

void TStrings::Exchange(int index1, int index2) {
  CheckIndex(index1, Count());
  CheckIndex(index2, Count());
  const UString text1 = Get(index1);
  const int32_t object1 = GetObject(index1);
  AsOneUpdate([&] {
    Put(index1, Get(index2));
    PutObject(index1, GetObject(index2));
    Put(index2, text1);
    PutObject(index2, object1);
  });
}

void TStrings::Move(int curIndex, int newIndex) {
  CheckIndex(curIndex, Count());
  CheckIndex(newIndex, Count());
  if (curIndex == newIndex) return;
  const UString text = Get(curIndex);
  const int32_t object = GetObject(curIndex);
  AsOneUpdate([&] {
    Delete(curIndex);
    InsertObject(newIndex, text, object);
  });
}

UString TStrings::Names(int index) const {
  const UString line = Get(index);
  const size_t equals = line.find(u'=');
  return equals == UString::npos ? UString() : line.substr(0, equals);
}

UString TStrings::ValueFromIndex(int index) const {
  const UString line = Get(index);
  const size_t equals = line.find(u'=');
  return equals == UString::npos ? UString() : line.substr(equals + 1);
}

int TStrings::IndexOfName(UStringView name) const {
  const int count = Count();
  for (int i = 0; i < count; ++i) {
    const UString line = Get(i);
    const size_t equals = line.find(u'=');
    if (equals != UString::npos && CompareStrings(UStringView(line).substr(0, equals), name) == 0)
      return i;
  }
  return -1;
}

UString TStrings::Values(UStringView name) const {
  const int index = IndexOfName(name);
  return index < 0 ? UString() : ValueFromIndex(index);
}

void TStrings::SetValues(const UString& name, const UString& value) {
  const int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
  } else if (index < 0) {
    Add(name + u'=' + value);
  } else {
    ReplaceLine(index, name + u'=' + value);
  }
}

UString TStrings::Text() const {
  UString text;
  const int count = Count();
  for (int i = 0; i < count; ++i) {
    text += Get(i);
    text += u'\n';
    CheckStringLength(static_cast<int64_t>(text.size()));  // a string holds no more
  }
  return text;
}

void TStrings::SetText(UStringView text) {
  AsOneUpdate([&] {
    Clear();
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find_first_of(u"\r\n", start);
      if (end == UStringView::npos) end = text.size();
      Add(UString(text.substr(start, end - start)));
      start = end;
      if (start == text.size()) break;
      const bool crlf = text[start] == u'\r' && start + 1 < text.size() && text[start + 1] == u'\n';
      start += crlf ? 2 : 1;
    }
  });
}

UString TStrings::DelimitedTextWith(char16_t delimiter, char16_t quote, bool strict) const {
  const int count = Count();
  if (count == 1 && Get(0).empty()) return UString(2, quote);
  UString text;
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += delimiter;
    const UString line = Get(i);
    const bool quoted = std::any_of(line.begin(), line.end(), [&](char16_t c) {
      return c == delimiter || c == quote || (!strict && c <= u' ');
    });
    if (!quoted) {
      text += line;
      continue;
    }
    text += quote;
    for (const char16_t c : line) {
      if (c == quote) text += quote;
      text += c;
    }
    text += quote;
    CheckStringLength(static_cast<int64_t>(text.size()));
  }
  return text;
}

void TStrings::SetDelimitedTextWith(UStringView text, char16_t delimiter, char16_t quote,
                                    bool strict) {
  const auto isBlank = [strict](char16_t c) { return !strict && c <= u' '; };
  const size_t end = text.size();
  AsOneUpdate([&] {
    Clear();
    size_t pos = 0;
    while (pos < end && isBlank(text[pos])) ++pos;
    // Each round takes one item and the delimiter after it; every round moves forward.
    while (pos < end) {
      if (text[pos] == quote) {
        Add(ExtractQuoted(text, pos, quote));
      } else {
        const size_t start = pos;
        while (pos < end && !isBlank(text[pos]) && text[pos] != delimiter) ++pos;
        Add(UString(text.substr(start, pos - start)));
      }
      while (pos < end && isBlank(text[pos])) ++pos;
      if (pos < end && text[pos] == delimiter) {
        if (pos + 1 == end) Add(UString());
        do ++pos;
        while (pos < end && isBlank(text[pos]));
      }
    }
  });
}

UString TStrings::DelimitedText() const {
  return DelimitedTextWith(delimiter_, quoteChar_, strictDelimiter_);
}

void TStrings::SetDelimitedText(UStringView text) {
  SetDelimitedTextWith(text, delimiter_, quoteChar_, strictDelimiter_);
}

UString TStrings::CommaText() const { return DelimitedTextWith(u',', u'"', false); }

void TStrings::SetCommaText(UStringView text) { SetDelimitedTextWith(text, u',', u'"', false); }

void TStrings::LoadFromStream(TStream& stream) {
  const int64_t count = stream.Size() - stream.Position();
  if (count > kMaxTextFileBytes)
    throw EReadError(u"Stream read error: " + IntToUStr(count) +
                     u" bytes are more than a text can hold (at most " +
                     IntToUStr(kMaxTextFileBytes) + u")");
  SetText(DecodeListBytes(stream.ReadAllBytes()));
}

void TStrings::LoadFromFile(const UString& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  CheckTextFileSize(fileName, file.Size());
  LoadFromStream(file);
}

void TStrings::SaveToStream(TStream& stream) const {
  const std::string bytes = ToUtf8(Text());
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TStrings::SaveToFile(const UString& fileName) const {
  SaveFileBytes(fileName, ToUtf8(Text()));
}

void TStrings::BeginUpdate() {
  // The state changes while the count is still 0, so a list notifies "changing" once.
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) SetUpdateState(false);
}

// ---------------------------------------------------------------------------------------
// TStringList

KV_DEFINE_CLASS(TStringList, TStrings) { c.Constructor(); }

UString TStringList::Get(int index) const {
  CheckIndex(index, Count());
  return lines_[static_cast<size_t>(index)].text;
}

UString TStringList::Text() const {
  std::size_t length = 0;
  for (const Line& line : lines_) length += line.text.size() + 1;
  CheckStringLength(static_cast<int64_t>(length));  // a string holds no more
  UString text;
  text.reserve(length);
  for (const Line& line : lines_) {
    text += line.text;
    text += u'\n';
  }
  return text;
}

int32_t TStringList::GetObject(int index) const {
  CheckIndex(index, Count());
  return lines_[static_cast<size_t>(index)].object;
}

void TStringList::CheckNotSorted() const {
  if (sorted_) SortedListError();
}

void TStringList::Put(int index, const UString& s) {
  CheckNotSorted();
  CheckIndex(index, Count());
  Changing();
  lines_[static_cast<size_t>(index)].text = s;
  Changed();
}

void TStringList::PutObject(int index, int32_t object) {
  CheckIndex(index, Count());
  Changing();
  lines_[static_cast<size_t>(index)].object = object;
  Changed();
}

int TStringList::AddObject(const UString& s, int32_t object) {
  int index = Count();
  if (sorted_ && Find(s, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EStringListError(u"String list does not allow duplicates");
  }
  InsertItem(index, s, object);
  return index;
}

void TStringList::InsertObject(int index, const UString& s, int32_t object) {
  CheckNotSorted();
  CheckIndex(index, Count() + 1);
  InsertItem(index, s, object);
}

void TStringList::InsertItem(int index, const UString& s, int32_t object) {
  Changing();
  lines_.insert(lines_.begin() + index, Line{s, object});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index, Count());
  Changing();
  lines_.erase(lines_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (lines_.empty()) return;
  Changing();
  lines_.clear();
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckNotSorted();
  CheckIndex(index1, Count());
  CheckIndex(index2, Count());
  Changing();
  std::swap(lines_[static_cast<size_t>(index1)], lines_[static_cast<size_t>(index2)]);
  Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
  CheckNotSorted();
  CheckIndex(curIndex, Count());
  CheckIndex(newIndex, Count());
  if (curIndex == newIndex) return;
  Changing();
  const auto from = lines_.begin() + curIndex;
  const auto to = lines_.begin() + newIndex;
  if (curIndex < newIndex)
    std::rotate(from, from + 1, to + 1);
  else
    std::rotate(to, from, from + 1);
  Changed();
}

int TStringList::IndexOf(UStringView s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index = -1;
  return Find(s, index) ? index : -1;
}

bool TStringList::Find(UStringView s, int& index) const {
  bool found = false;
  int low = 0;
  int high = Count() - 1;
  while (low <= high) {
    const int middle = low + (high - low) / 2;
    const int order = CompareStrings(lines_[static_cast<size_t>(middle)].text, s);
    if (order < 0) {
      low = middle + 1;
    } else {
      high = middle - 1;
      if (order == 0) {
        found = true;
        if (duplicates_ != dupAccept) low = middle;
      }
    }
  }
  index = low;
  return found;
}

void TStringList::Sort() {
  if (!sorted_) SortLines();
}

void TStringList::SortLines() {
  if (Count() < 2) return;
  Changing();
  std::stable_sort(lines_.begin(), lines_.end(), [this](const Line& a, const Line& b) {
    return CompareStrings(a.text, b.text) < 0;
  });
  Changed();
}

void TStringList::SetSorted(bool sorted) {
  if (sorted && !sorted_) SortLines();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive == caseSensitive_) return;
  caseSensitive_ = caseSensitive;
  if (sorted_) SortLines();
}

int TStringList::CompareStrings(UStringView a, UStringView b) const {
  return caseSensitive_ ? CompareWithCase(a, b) : CompareText(a, b);
}

void TStringList::ReplaceLine(int index, const UString& s) {
  if (!sorted_) {
    Put(index, s);
    return;
  }
  // The line moves to its new place; when that fails (a duplicate under dupError) the old
  // line goes back where it was, which is still its sorted place.
  const Line old = lines_[static_cast<size_t>(index)];
  AsOneUpdate([&] {
    Delete(index);
    try {
      AddObject(s, old.object);
    } catch (...) {
      InsertItem(index, old.text, old.object);
      throw;
    }
  });
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

void TStringList::Changing() {
  if (UpdateCount() == 0) Notify(OnChanging);
}

void TStringList::Changed() {
  if (UpdateCount() == 0) Notify(OnChange);
}

void TStringList::Notify(const TMethod& event) {
  if (!event.Assigned()) return;
  TEventArgs args{TVarRec::Object(Handle())};
  // A copy: the handler may assign the event it is called through.
  const auto code = event.Code;
  code(args);
}

}  // namespace kv
