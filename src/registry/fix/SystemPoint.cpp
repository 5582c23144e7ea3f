#include "registry/fix/SystemPoint.h"

#include <algorithm>

namespace registry {
namespace {
TSystemPointDialog g_dialog = nullptr;
}  // namespace

int NextSystemPointPosition(int position) {
  int step = position <= 30 ? 10 : position <= 50 ? 5 : position <= 60 ? 3 : position <= 80 ? 2 : 1;
  return position >= 100 ? position : std::min(100, position + step);
}

TSystemPointDialog SetSystemPointDialog(TSystemPointDialog dialog) {
  TSystemPointDialog previous = g_dialog;
  g_dialog = dialog;
  return previous;
}

int ShowSystemPointDialog(HWND owner) { return g_dialog != nullptr ? g_dialog(owner) : IDCANCEL; }

}  // namespace registry
