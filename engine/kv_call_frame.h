// The call frame of a script procedure: the values of one activation.
#pragma once

#include <cstddef>
#include <cstdint>
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
    if (laidOut_ != &local || version_ != ItemsVersionOf(local)) Rebuild(local);
  }
  int SlotCount() const { return static_cast<int>(slots_.size()); }

  // Saves the running activation's values and returns the mark that restores them. Inline
  // for a frame of in-place slots with room on the save stack: every recursive call saves.
  size_t Save() {
    const size_t count = inPlace_.size();
    if (count == 0 || saved_.size() < top_ + count) return SaveSlow();
    const size_t mark = top_;
    Variant* out = saved_.data() + mark;
    for (size_t i = 0; i < count; ++i) out[i] = *inPlace_[i];
    top_ = mark + count;
    return mark;
  }
  // Moves the values saved at `mark` back into the slots and drops every later save.
  void Restore(size_t mark) {
    const size_t count = inPlace_.size();
    if (count == 0 || top_ - mark != count) return RestoreSlow(mark);
    Variant* in = saved_.data() + mark;
    for (size_t i = 0; i < count; ++i) *inPlace_[i] = std::move(in[i]);
    top_ = mark;
  }

  // The running activation's values, in slot order, and their assignment back.
  void CopyValues(std::vector<Variant>& out) const;
  void AssignValues(const std::vector<Variant>& values);

 private:
  static uint64_t ItemsVersionOf(const TkvScript& local);
  size_t SaveSlow();
  void RestoreSlow(size_t mark);
  void Rebuild(const TkvScript& local);
  static Variant ValueOf(TkvCustomVariable& item);
  static void Put(TkvCustomVariable& item, Variant&& value);

  std::vector<TkvCustomVariable*> slots_;  // not owned
  // When every slot keeps its value in place (the usual case), the stored values themselves,
  // in slot order, so that saving and restoring is a plain copy and move per slot.
  std::vector<Variant*> inPlace_;
  // Saved values live below top_; the entries above it are Empty and are reused, so that
  // saving and restoring neither constructs nor destroys a Variant.
  std::vector<Variant> saved_;
  size_t top_ = 0;
  const TkvScript* laidOut_ = nullptr;
  uint64_t version_ = 0;
};

}  // namespace kv
