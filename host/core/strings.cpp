#include "host/core/strings.h"

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"

namespace kv {

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

UString TStrings::Text() const {
  UString text;
  const int count = Count();
  for (int i = 0; i < count; ++i) {
    text += Get(i);
    text += u'\n';
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

int32_t TStringList::GetObject(int index) const {
  CheckIndex(index, Count());
  return lines_[static_cast<size_t>(index)].object;
}

void TStringList::Put(int index, const UString& s) {
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

void TStringList::InsertObject(int index, const UString& s, int32_t object) {
  CheckIndex(index, Count() + 1);
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
