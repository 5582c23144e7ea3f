// The restore-point step without its window: the bar's pace and the packed
// request System Restore receives (the dialog is tested with the program's
// windows).
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "registry/fix/SystemPoint.h"
#include "registry/fix/SystemPointThread.h"

using namespace registry;

namespace {

// The request as System Restore lays it out, byte by byte.
std::string ExpectedRequest() {
  std::string bytes(80, '\0');
  bytes[0] = 100;  // BEGIN_SYSTEM_CHANGE; APPLICATION_INSTALL and the sequence number stay 0
  std::memcpy(&bytes[16], "Made by Vantorel", 16);
  return bytes;
}

}  // namespace

TEST(SystemPointBar, CreepsSlowerAsItFills) {
  int p = 0;
  std::vector<int> seen;
  for (int tick = 0; tick < 40; ++tick) seen.push_back(p = NextSystemPointPosition(p));
  EXPECT_EQ(seen[3], 40);  // after four ticks
  EXPECT_EQ(seen[5], 50);  // after six
  const std::pair<int, int> steps[] = {{30, 40}, {31, 36}, {55, 58}, {61, 63}, {81, 82}, {99, 100}, {100, 100}};
  for (const auto& [from, to] : steps) EXPECT_EQ(NextSystemPointPosition(from), to) << from;
  EXPECT_EQ(seen.back(), 100);
}

TEST(SystemPointRequest, PackedRecordsAsSystemRestoreReadsThem) {
  TRestorePointInfoA info = MakeRestorePointRequest();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&info), sizeof(info)), ExpectedRequest());
  EXPECT_EQ(offsetof(TRestorePointInfoA, szDescription), 16u);
  EXPECT_EQ(offsetof(TStateMgrStatus, llSequenceNumber), 4u);
}
