// A tab strip with one page per tab: only the active page is shown and
// enabled. The pages are panels inside the tab control, so controls placed on
// a page notify the page, which hands the notification to the control.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Control.h"
#include "ui/Panels.h"

namespace ui {

class PageControl : public Control {
 public:
  bool Create(HWND parent, int x, int y, int w, int h);
  // Appends a tab and its page; the page lives as long as the control.
  Panel& AddPage(const std::wstring& caption);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  Panel& Page(int index) { return *pages_.at(static_cast<size_t>(index)); }
  int ActivePageIndex() const;
  void SetActivePage(int index);

  std::function<void()> OnChange;
  bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;

 private:
  void ShowActivePage();
  std::vector<std::unique_ptr<Panel>> pages_;
};

}  // namespace ui
