// The clean run's state: what each request starts, which thread messages
// still count, and how it ends.
#include <gtest/gtest.h>

#include "app/CleanRun.h"

namespace {

using app::TCleanRun;
using app::TCleanState;

TEST(CleanRun, EachRequestStartsItsStateModeAndFastMode) {
  const struct {
    app::TCleanRequest request;
    bool userFast;
    TCleanState state;
    int mode;
    bool fast;
  } cases[] = {
      {app::crRealClean, false, TCleanState::Cleaning, 0, false},
      {app::crAutoClean, true, TCleanState::Cleaning, 1, true},
      {app::crTest, false, TCleanState::Testing, 2, false},
      {app::crTest, true, TCleanState::Testing, 2, true},
      {app::crCountThenClean, false, TCleanState::Counting, 2, true},
  };
  TCleanRun run;
  UINT lastId = run.Id();
  for (const auto& c : cases) {
    UINT id = run.Begin(c.request, c.userFast);
    EXPECT_NE(id, lastId);
    lastId = id;
    EXPECT_EQ(run.State(), c.state) << c.request;
    EXPECT_EQ(run.Mode(), c.mode) << c.request;
    EXPECT_EQ(run.FastScan(), c.fast) << c.request;
    EXPECT_TRUE(run.IsCurrent(id));
    EXPECT_FALSE(run.IsCurrent(id - 1));
    run.End();
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
