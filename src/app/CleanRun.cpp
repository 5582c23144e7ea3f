#include "app/CleanRun.h"

namespace app {

UINT TCleanRun::Begin(TCleanRequest request, bool userFastScan) {
  struct Start {
    TCleanState state;
    int mode;
  };
  static const Start kStarts[] = {
      {TCleanState::Cleaning, 0},  // crRealClean
      {TCleanState::Cleaning, 1},  // crAutoClean
      {TCleanState::Testing, 2},   // crTest
      {TCleanState::Counting, 2},  // crCountThenClean
  };
  const Start& s = kStarts[request];
  state_ = s.state;
  mode_ = s.mode;
  fastScan_ = request == crCountThenClean || userFastScan;
  finished_ = false;
  return ++id_;
}

}  // namespace app
