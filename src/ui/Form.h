// A top-level window of our own class. The class name is fixed per form so
// that other programs can find the window by it.
#pragma once
#include "ui/Window.h"

namespace ui {

// Enter (VK_RETURN) or Escape (VK_ESCAPE) offered to every window inside a
// form, in window order, until one answers 1: the default and cancel buttons.
constexpr UINT kDialogKeyMessage = 0xB006;
bool SendDialogKey(HWND root, WPARAM key);

class Form : public Window {
 public:
  explicit Form(std::wstring className) : className_(std::move(className)) {}
  // The form object of a top-level window of ours; nullptr for any other window.
  static Form* FromHandle(HWND hwnd);

  // Creates the window hidden. `owner` may be null for the main form.
  bool Create(HWND owner, const std::wstring& caption, DWORD style = WS_OVERLAPPEDWINDOW, DWORD exStyle = 0);
  void SetClientSize(int width, int height);
  SIZE ClientSize() const;
  void Close() { Post(WM_CLOSE); }

  // Shows the form over a disabled owner until ModalResult is set (1 OK,
  // 2 Cancel, 6 Yes, 7 No); closing the form gives 2.
  int ShowModal(HWND owner);
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }
  // Centres the form on `owner` (or the work area without one), then moves
  // it wholly onto the work area of the owner's monitor.
  void CenterOn(HWND owner);
  // `window` moved (not resized) to lie inside `area`; one larger than the
  // area keeps its top-left corner, and so its title bar, inside.
  static RECT KeepInside(const RECT& window, const RECT& area);

  const std::wstring& ClassName() const { return className_; }
  // The application's main form ends the message loop when it is destroyed.
  void SetMainForm(bool isMain) { isMain_ = isMain; }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
  // Runs inside WM_CREATE; controls are made here.
  virtual void OnCreate() {}
  // Returns false to keep the window open.
  virtual bool OnCloseQuery() { return true; }

 private:
  bool RegisterClassOnce();
  void RememberFocus();
  void RestoreFocus();
  static bool CanShowFocus(HWND window);
  HWND FirstFocusStop();
  // WM_NEXTDLGCTL: `l` set, focus the window `w`; else the next (w = 0) or
  // previous tab stop.
  void NextDialogControl(WPARAM w, LPARAM l);
  HWND lastFocus_ = nullptr;
  std::wstring className_;
  bool isMain_ = false;
  bool modal_ = false;
  int modalResult_ = 0;
};

}  // namespace ui
