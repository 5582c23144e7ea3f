// The analysis's arithmetic: the size table, the rate and its message, the
// progress bar's step and positions.
#include <gtest/gtest.h>

#include "registry/defrag/SaveProgress.h"
#include "registry/defrag/SizeTable.h"

using namespace registry;

namespace {

constexpr std::int64_t KB = 1024;

struct TableCase {
  const char* what;
  std::vector<THiveSize> hives;
  std::vector<std::wstring> reductions;  // per row
  std::wstring current, next, reduction, percent;
  bool lowRate;
};

TEST(SizeTable, WorkedExamples) {
  const TableCase cases[] = {
      {"two hives", {{1000 * KB, 900 * KB, true}, {2000 * KB, 1000 * KB, true}}, {L"10%", L"50%"},
       L"3,000 KB", L"1,900 KB", L"1,100 KB", L"36.7%", false},
      {"2.96 % rounds to 3.0 and is still low", {{10000, 9704, true}}, {L"2%"},
       L"10 KB", L"10 KB", L"1 KB", L"3.0%", true},
      {"3.0 % exactly is not low", {{10000, 9700, true}}, {L"3%"}, L"10 KB", L"10 KB", L"1 KB", L"3.0%", false},
      {"a copy larger than its hive", {{1000 * KB, 1100 * KB, true}, {2000 * KB, 1000 * KB, true}}, {L"0%", L"50%"},
       L"3,000 KB", L"2,100 KB", L"900 KB", L"30.0%", false},
      {"copies larger in total", {{1000 * KB, 1100 * KB, true}}, {L"0%"}, L"1,000 KB", L"1,100 KB", L"0 KB", L"0%",
       false},
      {"a failed copy counts in no total", {{1000 * KB, 0, false}, {2000 * KB, 1000 * KB, true}}, {L"", L"50%"},
       L"2,000 KB", L"1,000 KB", L"1,000 KB", L"50.0%", false},
      {"empty hives divide by nothing", {{0, 0, true}, {0, 10, true}}, {L"0%", L"0%"}, L"0 KB", L"1 KB", L"0 KB", L"0%",
       false},
  };
  for (const TableCase& c : cases) {
    SCOPED_TRACE(c.what);
    TSizeTable t = BuildSizeTable(c.hives, L".");
    ASSERT_EQ(t.Rows.size(), c.reductions.size());
    for (size_t i = 0; i < t.Rows.size(); ++i) EXPECT_EQ(t.Rows[i].Reduction, c.reductions[i]);
    EXPECT_EQ(t.CurrentRegistrySize, c.current);
    EXPECT_EQ(t.NewRegistrySize, c.next);
    EXPECT_EQ(t.SizeReduction, c.reduction);
    EXPECT_EQ(t.CompactPercent, c.percent);
    EXPECT_EQ(t.LowRate, c.lowRate);
  }
}

TEST(SizeTable, RowsShowBothSizesAndAFailedCopyAsFailed) {
  TSizeTable t = BuildSizeTable({{1000 * KB, 900 * KB, true}, {2048, 0, false}}, L",");
  EXPECT_EQ(t.Rows[0].CurrentSize, L"1,000 KB");
  EXPECT_EQ(t.Rows[0].NewSize, L"900 KB");
  EXPECT_EQ(t.Rows[1].CurrentSize, L"2 KB");
  EXPECT_EQ(t.Rows[1].NewSize, L"Failed");
  EXPECT_EQ(t.CompactPercent, L"10,0%");  // the locale's separator
  EXPECT_EQ(LowRateMessage(L"2.5%"),
            L"The fragment rate of your registry is only 2.5%. We suggest that your registry does not need to be "
            L"compacted at this time. If you select to compact the registry now, the same fragment rate may appear "
            L"again.");
}

TEST(SaveStep, MeasuredSpeedBoundedAndHalvedOnSlowSystems) {
  struct Case {
    std::int64_t copy;
    unsigned ms;
    std::int64_t total;
    int normal, slow;
  } cases[] = {
      {10000000, 2000, 100000000, 50, 17},  // the worked example
      {5000000, 0, 100000000, 40, 12},      // saved in no measurable time
      {5000, 1000, 1000000, 15, 3},         // measured 5
      {20000, 1000, 1000000, 30, 7},        // measured 20
      {45000, 1000, 1000000, 45, 14},       // measured 45
      {80000, 1000, 1000000, 50, 17},       // measured 80
      {0, 1000, 1000000, 10, 3},            // measured 0
      {1000, 1000, 0, 40, 12},              // hives of no size: no division
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.copy);
    EXPECT_EQ(EstimateSaveStep(c.copy, c.ms, c.total, false), c.normal);
    EXPECT_EQ(EstimateSaveStep(c.copy, c.ms, c.total, true), c.slow);
  }
}

TEST(SaveProgress, CreepsWithinTheCurrentHiveAndFollowsTheGrowingCopy) {
  THiveSaveProgress p({100, 300, 600}, false);
  EXPECT_TRUE(p.Tick(0));
  EXPECT_EQ(p.Position(), 0);  // no step before the first hive is measured
  EXPECT_TRUE(p.Tick(50));
  EXPECT_EQ(p.Position(), 50);  // the first copy is half written
  p.HiveSaved(0, 1, 80);
  EXPECT_EQ(p.Step(), 40);
  EXPECT_EQ(p.Position(), 100);
  std::vector<int> positions;
  for (int i = 0; i < 10; ++i) {
    p.Tick(0);
    positions.push_back(p.Position());
  }
  // Creeps by the step, never reaching the second hive's end (400).
  EXPECT_EQ(positions, (std::vector<int>{140, 180, 220, 260, 300, 340, 380, 380, 380, 380}));
  p.Tick(150);
  EXPECT_EQ(p.Position(), 250);
  p.HiveSaved(0, 2, 80);
  EXPECT_EQ(p.Position(), 400);
  p.HiveSaved(0, 3, 80);
  EXPECT_EQ(p.Position(), 1000);
  EXPECT_FALSE(p.Running());
  EXPECT_FALSE(p.Tick(0));
}

TEST(SaveProgress, UnreadableOrEmptySizesNeverDivideByZero) {
  THiveSaveProgress p({-1, 0}, true);
  EXPECT_EQ(p.TotalSize(), 0);
  p.Tick(10);
  p.HiveSaved(5, 1, 10);
  p.HiveSaved(5, 2, 10);
  EXPECT_EQ(p.Position(), 0);
  EXPECT_FALSE(p.Running());
}

}  // namespace
