#include "registry/defrag/SaveProgress.h"

#include <algorithm>

namespace registry {

int EstimateSaveStep(std::int64_t firstCopySize, unsigned ms, std::int64_t totalSize, bool slowSystem) {
  std::int64_t step = 40;
  if (ms != 0 && totalSize > 0) step = std::max<std::int64_t>(0, firstCopySize) * 1000 * 1000 / (ms * totalSize);
  if (step < 10) step += 10;
  else if (step < 30) step = 2 * step - 10;
  if (step > 50) step = 50;
  if (slowSystem) {
    step = step / 2 - 8;
    if (step <= 0) step = 3;
  }
  return static_cast<int>(step);
}

THiveSaveProgress::THiveSaveProgress(std::vector<std::int64_t> hiveSizes, bool slowSystem)
    : sizes_(std::move(hiveSizes)), slow_(slowSystem) {
  // A size that could not be read (-1) counts as nothing.
  for (std::int64_t& s : sizes_) s = std::max<std::int64_t>(0, s);
  for (std::int64_t s : sizes_) total_ += s;
}

int THiveSaveProgress::PositionOf(std::int64_t bytes) const {
  if (total_ <= 0) return 0;
  return static_cast<int>(std::clamp<std::int64_t>(bytes * 1000 / total_, 0, 1000));
}

bool THiveSaveProgress::Tick(std::int64_t copySize) {
  if (!Running()) return position_ < 1000;
  if (copySize > 0) position_ = PositionOf(done_ + copySize);
  else if (nextLimit_ - step_ > position_) position_ += step_;
  return position_ < 1000;
}

void THiveSaveProgress::HiveSaved(unsigned ms, int done, std::int64_t firstCopySize) {
  if (!Running()) return;
  if (current_ == 0) step_ = EstimateSaveStep(firstCopySize, ms, total_, slow_);
  done_ += sizes_[static_cast<size_t>(current_)];
  position_ = PositionOf(done_);
  if (current_ + 1 < static_cast<int>(sizes_.size())) nextLimit_ = PositionOf(sizes_[static_cast<size_t>(current_) + 1] + done_);
  current_ = std::clamp(done, current_ + 1, static_cast<int>(sizes_.size()));
}

}  // namespace registry
