#include "app/IndexDatViewerLaunch.h"

#include "ui/MessageBox.h"

namespace app {

// Stands in until the viewer window is part of the program.
void ShowIndexDatViewer(HWND owner) { ui::ShowNotice(owner, L"The index.dat viewer is not available yet."); }

}  // namespace app
