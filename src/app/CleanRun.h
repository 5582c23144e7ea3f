// One clean run of the cleaner page: what it is doing, which run it is, and
// the settings it runs with. The page reads its state from here, never from
// a caption or a colour on the screen.
#pragma once
#include <windows.h>

namespace app {

enum class TCleanState {
  Idle,
  Counting,    // the counting pass before a real clean: an invisible, fast test
  Testing,     // Test: nothing is deleted
  Cleaning,    // a real clean, asked for or automatic
  Cancelling,  // cancelled; the thread has not ended yet
};

// What the Clean and Test buttons and the schedule ask for.
enum TCleanRequest : int { crRealClean = 0, crAutoClean = 1, crTest = 2, crCountThenClean = 3 };

class TCleanRun {
 public:
  TCleanState State() const { return state_; }
  bool Active() const { return state_ != TCleanState::Idle; }
  // Counting, testing or cleaning: the thread's messages count.
  bool Running() const { return Active() && state_ != TCleanState::Cancelling; }
  UINT Id() const { return id_; }
  // The thread mode of the latest run: 0 real clean, 1 automatic, 2 test
  // (the counting pass runs as a test).
  int Mode() const { return mode_; }
  // Fast Mode of this run: the user's choice when it began; always on for
  // the counting pass, whose log nobody sees.
  bool FastScan() const { return fastScan_; }
  // Entries the counting pass found; the real clean's progress is measured
  // against it.
  int Total() const { return total_; }
  void SetTotal(int total) { total_ = total; }
  // The latest run ended and showed that it finished.
  bool Finished() const { return finished_; }

  // A new run with a new id.
  UINT Begin(TCleanRequest request, bool userFastScan);
  // Whether a thread message tagged `runId` belongs to the run going on now.
  bool IsCurrent(LPARAM runId) const { return Running() && static_cast<UINT>(runId) == id_; }
  bool IsLatest(LPARAM runId) const { return static_cast<UINT>(runId) == id_; }
  void Cancel() {
    if (Active()) state_ = TCleanState::Cancelling;
  }
  void Finish() {
    state_ = TCleanState::Idle;
    finished_ = true;
  }
  void End() { state_ = TCleanState::Idle; }

 private:
  TCleanState state_ = TCleanState::Idle;
  UINT id_ = 0;
  int mode_ = 0;
  bool fastScan_ = false;
  int total_ = 0;
  bool finished_ = false;
};

}  // namespace app
