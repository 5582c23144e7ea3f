// The analysis dialog's bar while the hives are saved. Positions are
// thousandths of the hive files' total size; between the saves the bar creeps
// at the speed measured on the first hive, never past the current hive's end.
#pragma once
#include <cstdint>
#include <vector>

namespace registry {

// Position units one 1000 ms tick covers at the first hive's saving speed,
// bounded to 10..50; `slowSystem` (Vista to 8, or WOW64) halves it less 8,
// at least 3.
int EstimateSaveStep(std::int64_t firstCopySize, unsigned ms, std::int64_t totalSize, bool slowSystem);

class THiveSaveProgress {
 public:
  // `hiveSizes` are the hive files' sizes in save order.
  THiveSaveProgress(std::vector<std::int64_t> hiveSizes, bool slowSystem);

  // A timer tick; `copySize` is the current hive's copy as far as written.
  // False once the bar is full (the timer stops).
  bool Tick(std::int64_t copySize);
  // `done` hives are saved; the first took `ms`, its copy has `firstCopySize`.
  void HiveSaved(unsigned ms, int done, std::int64_t firstCopySize);

  int Position() const { return position_; }
  int Step() const { return step_; }
  int CurrentIndex() const { return current_; }
  bool Running() const { return current_ < static_cast<int>(sizes_.size()); }
  std::int64_t TotalSize() const { return total_; }

 private:
  int PositionOf(std::int64_t bytes) const;

  std::vector<std::int64_t> sizes_;
  bool slow_;
  std::int64_t total_ = 0;
  std::int64_t done_ = 0;
  int step_ = 0;
  int current_ = 0;
  int nextLimit_ = 0;
  int position_ = 0;
};

}  // namespace registry
