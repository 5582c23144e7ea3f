// Set-up shared by the skinned-control tests: a form to hold the controls,
// text widths, message pumping, and pictures of what the screen shows saved as .bmp files.
#pragma once
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "skin/draw/Bitmap.h"
#include "skin/draw/Geometry.h"
#include "ui/Application.h"
#include "ui/Form.h"

namespace skin_test {

// Hidden unless shown off the display: controls that must be visible to
// paint then paint without covering anything.
class HostForm : public ui::Form {
 public:
  enum Placement { kHidden, kShownOffScreen };
  explicit HostForm(int width = 600, int height = 400, Placement placement = kHidden)
      : ui::Form(L"VantorelSkinTestHost") {
    ui::Application::Instance().Initialize();
    Create(nullptr, L"Skinned controls", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
    SetClientSize(width, height);
    if (placement == kShownOffScreen) {
      ::SetWindowPos(Handle(), nullptr, -2000, -2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      ::ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    }
  }
};

// The width of `text` in the font selected into `dc`.
inline int TextWidth(HDC dc, const std::wstring& text) {
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// Says the system reads right to left, or not, while it lives.
struct RightToLeftSystem {
  explicit RightToLeftSystem(bool reads) { skin::SetSystemReadsRightToLeft(reads ? 1 : 0); }
  ~RightToLeftSystem() { skin::SetSystemReadsRightToLeft(-1); }
};

inline void ReadRightToLeft(HWND window) {
  ::SetWindowLongW(window, GWL_EXSTYLE, ::GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_RTLREADING);
}

// Lets queued paint and other messages run.
inline void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

// Runs the message loop until `done` holds or `ms` pass.
inline bool PumpUntil(const std::function<bool()>& done, int ms = 3000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    Pump();
    if (done()) return true;
    ::Sleep(10);
  }
  return done();
}

// Runs the message loop for `ms`, for timers to fire.
inline void PumpFor(int ms) { PumpUntil([] { return false; }, ms); }

// What the screen shows in `r`.
inline skin::Bitmap ScreenPart(const RECT& r) {
  skin::Bitmap shot(r.right - r.left, r.bottom - r.top);
  HDC screen = ::GetDC(nullptr);
  ::BitBlt(shot.Canvas(), 0, 0, shot.Width(), shot.Height(), screen, r.left, r.top, SRCCOPY);
  ::ReleaseDC(nullptr, screen);
  return shot;
}

// Writes `picture` as a 24-bit .bmp for a person to look at.
inline bool SaveBmp(const skin::Bitmap& picture, const std::string& path) {
  const int stride = (picture.Width() * 3 + 3) & ~3;
  std::string pixels(static_cast<size_t>(stride) * picture.Height(), '\0');
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      COLORREF c = picture.Pixel(x, picture.Height() - 1 - y);
      char* p = &pixels[static_cast<size_t>(y) * stride + x * 3];
      p[0] = static_cast<char>(GetBValue(c));
      p[1] = static_cast<char>(GetGValue(c));
      p[2] = static_cast<char>(GetRValue(c));
    }
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  info.biSize = sizeof(info);
  info.biWidth = picture.Width();
  info.biHeight = picture.Height();
  info.biPlanes = 1;
  info.biBitCount = 24;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  std::fwrite(&file, sizeof(file), 1, f);
  std::fwrite(&info, sizeof(info), 1, f);
  std::fwrite(pixels.data(), 1, pixels.size(), f);
  return std::fclose(f) == 0;
}

// Saves what a visible window shows as <name>.bmp in the test's build folder.
inline bool SaveWindowShot(HWND window, const std::wstring& name) {
  RECT r{};
  ::GetWindowRect(window, &r);
  const char* dir = std::getenv("VANTOREL_BUILD_DIR");
  // Wine reaches the Linux folders through drive Z:.
  const std::string folder = dir != nullptr ? "Z:" + std::string(dir) : std::string(".");
  return SaveBmp(ScreenPart(r), folder + "/" + std::string(name.begin(), name.end()) + ".bmp");
}

}  // namespace skin_test
