// The call frame of a script procedure: the values of one activation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "host/core/variant.h"

namespace kv {

class TkvCustomVariable;
class TkvScript;

// The slots of a frame are the items of the procedure's local script that hold values
// (variables, string variables, Result and parameters), in item order; each gets its slot
// when the frame is laid out. The running activation keeps its values in the items
// themselves, so statements, expression operands and hosts read and write them where they
// are, at no extra cost. A procedure's items hold one set of values: a recursive or
// re-entrant call starts from the caller's values, so the call saves the caller's frame on
// the save stack and puts it back when it ends, however it ends. The save stack is shared by
// all activations (innermost last) and keeps its capacity, so recursion does not allocate.
class TkvCallFrame {
 public:
  // Lays the slots out again when the items of `local` changed since the last layout.
  void Layout(const TkvScript& local) {
    if (laidOut_ != &local || version_ != *liveVersion_) Rebuild(local);
  }
  int SlotCount() const { return static_cast<int>(slots_.size()); }

  // Saves the running activation's values and returns the mark that restores them. Inline
  // for a frame of in-place slots with room on the save stack: every recursive call saves.
  size_t Save() {
    const size_t count = inPlaceCount_;
    const size_t mark = top_;
    if (count == 0 || savedSize_ - mark < count) return SaveSlow();
    Variant* out = saved_.data() + mark;
    Variant* const* values = inPlace_.data();
    // The entries above top_ are Empty: a copy constructed over one has nothing to release.
    for (size_t i = 0; i < count; ++i) new (out + i) Variant(*values[i]);
    top_ = mark + count;
    return mark;
  }
  // Moves the values saved at `mark` back into the slots and drops every later save.
  void Restore(size_t mark) {
    const size_t count = inPlaceCount_;
    if (count == 0 || top_ - mark != count) return RestoreSlow(mark);
    Variant* in = saved_.data() + mark;
    Variant* const* values = inPlace_.data();
    // A slot and its saved value are never the same Variant: no self-move to guard against.
    for (size_t i = 0; i < count; ++i) {
      values[i]->~Variant();
      new (values[i]) Variant(std::move(in[i]));  // leaves the saved entry Empty
    }
    top_ = mark;
  }

  // The running activation's values, in slot order, and their assignment back.
  void CopyValues(std::vector<Variant>& out) const;
  void AssignValues(const std::vector<Variant>& values);

 private:
  size_t SaveSlow();
  void RestoreSlow(size_t mark);
  void Rebuild(const TkvScript& local);
  static Variant ValueOf(TkvCustomVariable& item);
  static void Put(TkvCustomVariable& item, Variant&& value);

  std::vector<TkvCustomVariable*> slots_;  // not owned
  // When every slot keeps its value in place (the usual case), the stored values themselves,
  // in slot order, so that saving and restoring is a plain copy and move per slot.
  std::vector<Variant*> inPlace_;
  size_t inPlaceCount_ = 0;  // inPlace_.size(), read by every save and restore
  // Saved values live below top_; the entries above it are Empty and are reused, so that
  // saving and restoring allocate nothing, and a save has no old value to release.
  std::vector<Variant> saved_;
  size_t savedSize_ = 0;  // saved_.size()
  size_t top_ = 0;
  const TkvScript* laidOut_ = nullptr;
  uint64_t version_ = 0;                   // the items version the slots were laid out for
  const uint64_t* liveVersion_ = nullptr;  // laidOut_'s items version, as it changes
};

// Saves a frame's running activation for a recursive or re-entrant call and puts it back when
// the call ends, normally or by an exception: without the restore on failure, a caller that
// catches the callee's exception would go on with the callee's values. No frame: nothing to
// keep (the procedure is not running).
class TkvLocalsGuard {
 public:
  explicit TkvLocalsGuard(TkvCallFrame* frame) : frame_(frame) {
    if (frame_ != nullptr) mark_ = frame_->Save();
  }
  TkvLocalsGuard(const TkvLocalsGuard&) = delete;
  TkvLocalsGuard& operator=(const TkvLocalsGuard&) = delete;
  ~TkvLocalsGuard() { Restore(); }
  // Early, for a call that must take its var results before the caller's values return.
  void Restore() {
    if (frame_ == nullptr) return;
    std::exchange(frame_, nullptr)->Restore(mark_);
  }

 private:
  TkvCallFrame* frame_;
  size_t mark_ = 0;
};

}  // namespace kv
