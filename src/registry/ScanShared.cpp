#include "registry/ScanShared.h"

namespace registry {

void TProblemQueue::Push(TProblemRow row) {
  std::lock_guard<std::mutex> lock(mutex_);
  rows_.push_back(std::move(row));
}

std::vector<TProblemRow> TProblemQueue::TakeAll() {
  std::vector<TProblemRow> taken;
  std::lock_guard<std::mutex> lock(mutex_);
  taken.swap(rows_);
  return taken;
}

void TScanStatus::SetTitle(const std::wstring& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  title_ = text;
}

void TScanStatus::SetCurrentKey(const std::wstring& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  currentKey_ = text;
}

std::wstring TScanStatus::Title() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return title_;
}

std::wstring TScanStatus::CurrentKey() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return currentKey_;
}

}  // namespace registry
