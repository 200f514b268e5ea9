// TStrings, the abstract list of text lines each carrying an object value, and TStringList,
// its plain in-memory implementation.
//
// The object value of a line is a 32-bit integer: normally the handle of a TObject (0 for
// none), but any number a script stores comes back unchanged, as it would through a cast.
// A list never owns or frees these objects; ObjectAt<T> turns a value back into an object
// with the usual handle checks, so an object freed meanwhile raises instead of crashing.
#pragma once

#include <cstdint>
#include <vector>

#include "host/core/component.h"
#include "host/core/handles.h"
#include "host/core/object.h"
#include "host/core/ustring.h"

namespace kv {

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

  // Appends every line of `source` (this list itself included) with its object.
  void AddStrings(const TStrings& source);
  // From another TStrings: replaces the lines and objects with a copy of the source's.
  void Assign(TPersistent* source) override;

  // The first line equal to `s` under CompareStrings (ignoring case); -1 when none.
  int IndexOf(UStringView s) const;
  int IndexOfObject(int32_t object) const;
  // The object of a line checked to be a T (nullptr for 0); see HandleToOrNil.
  template <class T>
  T* ObjectAt(int index) const {
    return HandleToOrNil<T>(GetObject(index));
  }

  // Every line followed by a line break ("\n"). Setting it splits the text at CR LF, LF or
  // CR; a break at the very end does not start another line.
  UString Text() const;
  virtual void SetText(UStringView text);

  // Updates between BeginUpdate and the matching EndUpdate count as one change. An
  // EndUpdate without a BeginUpdate does nothing.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

 protected:
  // <0, 0, >0 as two lines order; IndexOf (and later sorting) use it.
  virtual int CompareStrings(UStringView a, UStringView b) const { return CompareText(a, b); }
  // Called when the update count leaves and returns to 0.
  virtual void SetUpdateState(bool updating) {}
  void CheckIndex(int index, int count) const;  // 0 <= index < count, else the index error

 private:
  // Runs `change` as one update: the update count goes back even when it raises.
  template <class F>
  void AsOneUpdate(F change);

  int updateCount_ = 0;
};

// Published properties: none yet.
class TStringList : public TStrings {
  KV_CLASS(TStringList, TStrings)

 public:
  TStringList() = default;

  int Count() const override { return static_cast<int>(lines_.size()); }
  UString Get(int index) const override;
  int32_t GetObject(int index) const override;
  void Put(int index, const UString& s) override;
  void PutObject(int index, int32_t object) override;
  void InsertObject(int index, const UString& s, int32_t object) override;
  void Delete(int index) override;
  void Clear() override;

  // Fired around every change made outside BeginUpdate/EndUpdate, and once around a whole
  // update; the argument is the list's handle (Sender).
  TMethod OnChanging;
  TMethod OnChange;

 protected:
  void SetUpdateState(bool updating) override;
  virtual void Changing();
  virtual void Changed();

 private:
  struct Line {
    UString text;
    int32_t object = 0;
  };
  void Notify(const TMethod& event);

  std::vector<Line> lines_;
};

}  // namespace kv
