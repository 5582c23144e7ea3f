// A hidden form to hold the controls under test, and the cell colours of the
// pictures compiled into the test program.
#pragma once
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "skin/draw/Bitmap.h"
#include "ui/Application.h"
#include "ui/Control.h"
#include "ui/Form.h"

namespace lists_test {

// Cells 1.. of make-cell-strip.py.
constexpr COLORREF kCell[] = {RGB(200, 30, 30), RGB(30, 160, 40), RGB(40, 60, 210), RGB(230, 200, 20)};

class HostForm : public ui::Form {
 public:
  HostForm() : ui::Form(L"VantorelSkinListsTestForm") {
    ui::Application::Instance().Initialize();
    Create(nullptr, L"Skinned lists", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
    SetClientSize(600, 400);
  }
};

// The width of a text in the controls' default font.
inline int DefaultTextWidth(const std::wstring& text) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, ui::DefaultFont());
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return size.cx;
}

// Lets queued paint and other messages run.
inline void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

// Saves what a visible window shows as a 24-bit .bmp in the test's build
// folder, for a person to look at.
inline bool SaveWindowShot(HWND window, const std::wstring& name) {
  RECT r{};
  ::GetWindowRect(window, &r);
  skin::Bitmap shot(r.right - r.left, r.bottom - r.top);
  HDC screen = ::GetDC(nullptr);
  ::BitBlt(shot.Canvas(), 0, 0, shot.Width(), shot.Height(), screen, r.left, r.top, SRCCOPY);
  ::ReleaseDC(nullptr, screen);
  const int stride = (shot.Width() * 3 + 3) & ~3;
  std::string pixels(static_cast<size_t>(stride) * shot.Height(), '\0');
  for (int y = 0; y < shot.Height(); ++y)
    for (int x = 0; x < shot.Width(); ++x) {
      COLORREF c = shot.Pixel(x, shot.Height() - 1 - y);
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
  info.biWidth = shot.Width();
  info.biHeight = shot.Height();
  info.biPlanes = 1;
  info.biBitCount = 24;
  const char* dir = std::getenv("VANTOREL_BUILD_DIR");
  // Wine reaches the Linux folders through drive Z:.
  std::string path = (dir != nullptr ? "Z:" + std::string(dir) : std::string(".")) + "/" + std::string(name.begin(), name.end()) + ".bmp";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  std::fwrite(&file, sizeof(file), 1, f);
  std::fwrite(&info, sizeof(info), 1, f);
  std::fwrite(pixels.data(), 1, pixels.size(), f);
  std::fclose(f);
  return true;
}

}  // namespace lists_test
