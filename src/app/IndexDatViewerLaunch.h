// Opens the index.dat viewer modally over `owner`.
#pragma once
#include <windows.h>

namespace app {

void ShowIndexDatViewer(HWND owner);

}  // namespace app
