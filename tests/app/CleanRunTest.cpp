// The clean run's state: what each request starts, which thread messages
// still count, and how it ends.
#include <gtest/gtest.h>

#include "app/CleanRun.h"

namespace {

using app::TCleanRun;
using app::TCleanState;

// Whatever a run is, the messages of the run before it no longer count, nor
// its own once it has ended.
TEST(CleanRun, EachRunHearsOnlyItsOwnThreadsMessages) {
  TCleanRun run;
  UINT earlier = run.Begin(app::crTest, false);
  run.End();
  for (app::TCleanRequest request : {app::crRealClean, app::crAutoClean, app::crTest, app::crCountThenClean}) {
    UINT id = run.Begin(request, false);
    EXPECT_TRUE(run.IsCurrent(id)) << request;
    EXPECT_FALSE(run.IsCurrent(earlier)) << request;
    run.End();
    EXPECT_FALSE(run.IsCurrent(id)) << request;
    earlier = id;
  }
}

TEST(CleanRun, ACancelledRunHearsOnlyItsThreadEnding) {
  TCleanRun run;
  UINT id = run.Begin(app::crTest, false);
  run.Cancel();
  EXPECT_EQ(run.State(), TCleanState::Cancelling);
  EXPECT_TRUE(run.Active());
  EXPECT_FALSE(run.IsCurrent(id)) << "its progress and finish no longer count";
  EXPECT_TRUE(run.IsLatest(id));
  run.End();
  EXPECT_FALSE(run.Active());
  run.Cancel();
  EXPECT_EQ(run.State(), TCleanState::Idle) << "nothing to cancel";
}

TEST(CleanRun, FinishedLastsUntilTheNextRun) {
  TCleanRun run;
  run.Begin(app::crTest, false);
  EXPECT_FALSE(run.Finished());
  run.Finish();
  EXPECT_TRUE(run.Finished());
  EXPECT_FALSE(run.Active());
  run.Begin(app::crRealClean, false);
  EXPECT_FALSE(run.Finished());
}

}  // namespace
