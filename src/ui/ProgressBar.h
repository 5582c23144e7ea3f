// A progress bar drawn by us, with an optional caption centred on it
// ("Prepare to clean...", "Finished!" or the percentage).
#pragma once
#include <string>

#include "ui/Control.h"

namespace ui {

class ProgressBar : public Control {
 public:
  bool Create(HWND parent, int x, int y, int w, int h, int max);
  int Position() const { return position_; }
  void SetPosition(int p);
  int Max() const { return max_; }
  const std::wstring& Caption() const { return caption_; }
  // An empty caption with ShowCaption shows the percentage.
  void SetCaption(const std::wstring& text) {
    caption_ = text;
    Invalidate();
  }
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool v) {
    showCaption_ = v;
    Invalidate();
  }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void Paint(HDC dc);
  int position_ = 0;
  int max_ = 100;
  std::wstring caption_;
  bool showCaption_ = false;
};

}  // namespace ui
