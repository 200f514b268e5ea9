// Start-up and shut-down of the process-wide objects. A binary of its own: shutting the
// interpreter down affects every test that runs after it.
#include <gtest/gtest.h>

#include "engine/kv_iinterpreter.h"
#include "tests/engine/core_fakes.h"

namespace kv::coretest {
namespace {

TEST(InterpreterLifecycleTest, AfterShutDownTheGlobalsAreGoneUntilTheNextStart) {
  InitInterpreter();
  TkvScript* global = GlobalScript();
  ASSERT_NE(global, nullptr);
  EXPECT_EQ(GlobalScript(), global);
  ASSERT_NE(GlobalEventList(), nullptr);

  // A user script that outlives the interpreter is still freed safely.
  auto* user = new TkvScript();
  user->Parent = global;
  AddProc(*user, u"Handler", {u"Sender"}, [](TkvProcVariable&) {});
  const size_t liveBefore = handles::LiveCount();

  DoneInterpreter();
  EXPECT_EQ(GlobalScript(), nullptr);
  EXPECT_EQ(GlobalEventList(), nullptr);
  EXPECT_EQ(TypeKindOf(u"Integer"), vkClass);  // nothing registered any more
  (new TFakeItem())->Free();                   // destroying objects needs no event list
  delete user;
  EXPECT_LT(handles::LiveCount(), liveBefore);

  InitInterpreter();
  ASSERT_NE(GlobalScript(), nullptr);
  EXPECT_EQ(TypeKindOf(u"Integer"), vkInteger);
  DoneInterpreter();
}

}  // namespace
}  // namespace kv::coretest
