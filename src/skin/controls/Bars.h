// Skinned progress bar with a percent caption, track bar with a slider over
// a bar picture, and the scroll bar built from a track and two arrows.
#pragma once
#include <functional>
#include <memory>

#include "skin/controls/Buttons.h"
#include "skin/controls/Panels.h"
#include "skin/controls/SkinControl.h"
#include "ui/Timer.h"

namespace skin {

enum TskProgressBarOrientation { skHorizontal = 0, skVertical = 1 };

class TskProgressBar : public SkinControl {
 public:
  bool Create(HWND parent, int x, int y, int w = 150, int h = 12);
  // Starts at 0 of 0..max.
  bool Create(HWND parent, int x, int y, int w, int h, int max);
  int GetMin() const { return min_; }
  int Position() const { return position_; }
  int Max() const { return max_; }
  int GetMax() const { return max_; }
  int GetPosition() const { return position_; }
  // Stored as given, without clamping; the caption follows.
  void SetMin(int v) { min_ = v, UpdateCaption(); }
  void SetMax(int v) { max_ = v, UpdateCaption(); }
  void SetPosition(int v) { position_ = v, UpdateCaption(); }
  int GetPercent() const;
  // The done part of a length L.
  int GetDoneExtent(int L) const;
  const std::wstring& GetCaption() const { return caption_; }
  const std::wstring& Caption() const { return caption_; }
  // Shown until the position changes again.
  void SetCaption(const std::wstring& text) { caption_ = text, Repaint(); }
  COLORREF CaptionColor = RGB(0, 0, 0);
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool v) { showCaption_ = v, Repaint(); }
  bool SmartShowCaption = false;
  COLORREF GetBorderColor() const { return borderColor_; }
  void SetBorderColor(COLORREF c) { borderColor_ = c, Repaint(); }
  TskProgressBarOrientation GetOrientation() const { return orientation_; }
  void SetOrientation(TskProgressBarOrientation o);
  const Bitmap& Picture() const { return picture_; }
  void SetPicture(const Bitmap& p) { picture_.Assign(p), Repaint(); }

 protected:
  void ApplyUIStyle() override;
  void Draw(Bitmap& canvas) override;

 private:
  void UpdateCaption();
  void DrawFilePieces(Bitmap& canvas);
  int min_ = 0, max_ = 100, position_ = 50;
  bool showCaption_ = true;
  std::wstring caption_ = L"50%";
  COLORREF borderColor_ = RGB(0, 0, 0);
  TskProgressBarOrientation orientation_ = skHorizontal;
  Bitmap picture_, start_, rest_, end_;
};

// The track bar's slider: a picture panel that hands a press to its track.
class TskTrackSlider : public TskImagePanel {
 public:
  std::function<void(LPARAM)> OnPress;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_LBUTTONDOWN && OnPress) {
      OnPress(l);
      return 0;
    }
    return TskImagePanel::OnMessage(msg, w, l);
  }
};

class TskTrackBar : public SkinControl {
 public:
  TskTrackBar();
  ~TskTrackBar() override;
  bool Create(HWND parent, int x, int y, int w, int h);
  int GetMin() const { return min_; }
  int GetMax() const { return max_; }
  int GetPosition() const { return position_; }
  void SetMin(int v);
  void SetMax(int v);
  void SetPosition(int v);
  int GetPageSize() const { return pageSize_; }
  void SetPageSize(int v) { if (v >= 0 && v <= max_) pageSize_ = v; }
  int GetLineSize() const { return lineSize_; }
  void SetLineSize(int v) { if (v >= 0 && v <= max_) lineSize_ = v; }
  int Frequency = 1;
  bool ShowTick = true;
  TskProgressBarOrientation GetOrientation() const { return orientation_; }
  void SetOrientation(TskProgressBarOrientation o);
  void SetBarImage(const Bitmap& b);
  virtual void SetSliderImage(const Bitmap& b);
  TskImagePanel& Slider() { return slider_; }
  int LastChange() const { return lastChange_; }
  // The slider's left (horizontal) or top (vertical) for the position.
  POINT GetSliderPosition() const;
  // The value under a point of the track.
  int ValueAt(int x, int y) const;
  // The tick positions along the bar.
  std::vector<int> TickPositions() const;
  NotifyEvent OnChange;

 protected:
  void ApplyUIStyle() override;
  virtual bool KeepsOwnImages() const { return false; }
  virtual bool FocusOnMouseDown() const { return true; }
  // Whether the slider is drawn transparent over the bar.
  virtual bool GetHorizontalBarFlag() const { return Horizontal(); }
  void Draw(Bitmap& canvas) override;
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
  void Rebuild();

 private:
  void LoadThemeImages();
  int BarThickness() const;
  void BuildBarBuffer();
  void FitSize();
  void UpdateSlider();
  void PageTowards(POINT p, int page);
  bool Horizontal() const { return orientation_ == skHorizontal; }
  Bitmap barImage_, barBuffer_;
  TskTrackSlider slider_;
  std::unique_ptr<ui::Timer> repeat_;
  int min_ = 0, max_ = 10, position_ = 0, previous_ = 0, lastChange_ = 0;
  int pageSize_ = 2, lineSize_ = 1;
  TskProgressBarOrientation orientation_ = skHorizontal;
  bool dragging_ = false;
  bool rebuilding_ = false;
  int dragOffset_ = 0;
};

class TskScrollTrackBar : public TskTrackBar {
 public:
  // The thumb picture sizes the slider.
  void FitSliderToImage() { Slider().AutoSize = true; }

 protected:
  bool KeepsOwnImages() const override { return true; }
  bool FocusOnMouseDown() const override { return false; }
  bool GetHorizontalBarFlag() const override { return false; }
};

class TskScrollBar : public SkinControl {
 public:
  ~TskScrollBar() override {
    if (onFree_) onFree_();
  }
  bool Create(HWND parent, int x, int y, int w, int h, TskProgressBarOrientation o = skHorizontal);
  int GetMin() const { return track_.GetMin(); }
  int GetMax() const { return track_.GetMax(); }
  int GetPosition() const { return track_.GetPosition(); }
  void SetMin(int v) { track_.SetMin(v); }
  void SetMax(int v) { track_.SetMax(v); }
  void SetPosition(int v) { if (v != track_.GetPosition()) track_.SetPosition(v); }
  int GetPageSize() const { return track_.GetPageSize(); }
  void SetPageSize(int v);
  // The track's page, as a 16-bit value; a new one keeps the thumb's length.
  short GetLargeChange() const { return static_cast<short>(track_.GetPageSize()); }
  void SetLargeChange(int v) { track_.SetPageSize(static_cast<short>(v)); }
  int GetLineButton() const { return lineButton_; }
  void SetLineButton(int v);
  int GetTrackField() const { return track_.LastChange(); }
  short SmallChange = 1;
  TskProgressBarOrientation GetOrientation() const { return orientation_; }
  void SetOrientation(TskProgressBarOrientation o);
  TskScrollTrackBar& Track() { return track_; }
  void SetOnChange(NotifyEvent e) { track_.OnChange = std::move(e); }
  // Called as the bar is destroyed, so that a list it serves lets go of it.
  void SetOnFree(NotifyEvent e) { onFree_ = std::move(e); }
  void StepForward() { track_.SetPosition(track_.GetPosition() + SmallChange); }
  void StepBack() { track_.SetPosition(track_.GetPosition() - SmallChange); }

 protected:
  void ApplyUIStyle() override;
  void ColorChanged() override;
  void Draw(Bitmap& canvas) override { PaintBackground(canvas); }
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void UpdatePictures();
  void ArrangeParts();
  void LayoutParts();
  int TrackLength() const;
  TskScrollTrackBar track_;
  TskImageButton forward_, back_;
  Bitmap start_, middle_, end_;
  TskProgressBarOrientation orientation_ = skHorizontal;
  int lineButton_ = 0;
  bool created_ = false;
  bool arranging_ = false;
  NotifyEvent onFree_;
};

}  // namespace skin
