// The cell colours of the pictures compiled into the test program, text
// widths, and the shared host form, pumping and screen shots.
#pragma once
#include <windows.h>

#include <string>

#include "skin/SkinTestHost.h"
#include "ui/Control.h"

namespace lists_test {

// Cells 1.. of make-cell-strip.py.
constexpr COLORREF kCell[] = {RGB(200, 30, 30), RGB(30, 160, 40), RGB(40, 60, 210), RGB(230, 200, 20)};

using skin_test::HostForm;
using skin_test::Pump;
using skin_test::SaveWindowShot;

// The width of a text in the controls' default font.
inline int DefaultTextWidth(const std::wstring& text) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, ui::DefaultFont());
  const int width = skin_test::TextWidth(dc, text);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return width;
}

}  // namespace lists_test
