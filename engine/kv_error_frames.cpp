#include "engine/kv_error_frames.h"

#include "engine/kv_call_depth.h"
#include "engine/kv_statements.h"

namespace kv {

namespace {

// The frames belong to the exception at `address`. The record holds that exception, so no
// other exception can be made at its address while the record names it.
struct NotedError {
  std::exception_ptr held;
  const std::exception* address = nullptr;
  std::vector<TkvErrorFrame> frames;
};

thread_local NotedError tNoted;

}  // namespace

// The levels are told apart by the call depth, so that a recursive routine that raised gets a
// frame at every level. A runaway recursion keeps its innermost levels.
void NoteFailedStatement(const std::exception& e, const TkvStatement& statement) {
  constexpr size_t kMaxFrames = 100;
  if (tNoted.address != &e) {
    tNoted.held = std::current_exception();
    tNoted.address = &e;
    tNoted.frames.clear();
  }
  const int depth = TkvCallDepthGuard::Depth();
  std::vector<TkvErrorFrame>& frames = tNoted.frames;
  if (frames.size() >= kMaxFrames) return;
  if (!frames.empty() && frames.back().callDepth == depth) return;
  const TkvCustomVariable* routine = statement.Script->OwnerRoutine;
  frames.push_back(
      {routine ? routine->Name : UString(), statement.UnitName, statement.Place, depth});
}

const std::vector<TkvErrorFrame>& ErrorFramesOf(const std::exception& e) {
  static const std::vector<TkvErrorFrame> kNone;
  return tNoted.address == &e ? tNoted.frames : kNone;
}

}  // namespace kv
