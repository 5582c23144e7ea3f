// Placement of every control from the client size, and the page switch.
#include "app/Main.h"

#include <algorithm>

namespace app {

void TfrmMain::ArrangeControls() {
  if (!gbCleaner.Exists()) return;
  SIZE client = ClientSize();
  RECT outer{};
  ::GetWindowRect(hwnd_, &outer);
  const int W = outer.right - outer.left;

  imgTitle.SetWidth(client.cx);

  const int pageLeft = 2 * bCleaner.Left() + bCleaner.Width();
  const int pageTop = imgTitle.Top() + imgTitle.Height() + 5;
  const int pw = client.cx - pageLeft - 6;
  const int ph = client.cy - pageTop - 6;
  for (ui::GroupBox* gb : {&gbCleaner, &gbRegistry, &gbTools, &gbDefrag}) gb->SetBounds(pageLeft, pageTop, pw, ph);

  int top = pageTop + 5;
  for (skin::TFlatButton* b : {&bCleaner, &bRegistry, &bRegistryDefrag, &bTools, &bOptions, &bHelp}) {
    b->SetTop(top);
    top += 61;
  }

  // Cleaner page
  bTest.SetTop(ph - bTest.Height() - 10);
  lMain.SetWidth(pw - lMain.Left() - 8);
  lMain.SetHeight(bTest.Top() - lMain.Top() - 10);
  ProgressBar1.SetBounds(lMain.Left(), ProgressBar1.Top(), lMain.Width(), ProgressBar1.Height());
  bClean.SetBounds(lMain.Left() + lMain.Width() - bClean.Width(), bTest.Top(), bClean.Width(), bClean.Height());
  bTest.SetLeft(bClean.Left() - bClean.Width() - 20);
  cbFastMode.SetBounds(lMain.Left(), bTest.Top() + 3, cbFastMode.Width(), cbFastMode.Height());
  tvCleanItems.SetHeight(ph - tvCleanItems.Top() - 10);

  // Registry page
  lvRegistryData.SetWidth(pw - lvRegistryData.Left() - 8);
  bScan.SetTop(ph - bScan.Height() - 10);
  lvRegistryData.SetHeight(bScan.Top() - lvRegistryData.Top() - 10);
  bFixErrors.SetBounds(lvRegistryData.Right() - bFixErrors.Width(), bScan.Top(), bFixErrors.Width(), bFixErrors.Height());
  bScan.SetLeft(bFixErrors.Left() - bScan.Width() - 20);
  bRestoreRegistry.SetBounds(lvRegistryData.Left() + 2, bScan.Top(), bRestoreRegistry.Width(), bRestoreRegistry.Height());
  bRestoreRegistry.Show(!Memo1.Visible());
  Registry.ArrangeStatus();
  ProgressBar2.SetWidth(lvRegistryData.Width());
  Memo1.SetBounds(lvRegistryData.Left(), bScan.Top() - 3, bScan.Left() - lvRegistryData.Left() - 3, Memo1.Height());
  if (W < 635) {
    // Scan centred between Restore and Fix Errors; C++ division truncates toward zero.
    bScan.SetLeft(bRestoreRegistry.Left() + bRestoreRegistry.Width() +
                  (bFixErrors.Left() - bRestoreRegistry.Left() - 2 * bRestoreRegistry.Width()) / 2);
  }

  // Tools page: the row of buttons narrows evenly on a page too narrow for it.
  skin::TskButton* toolButtons[] = {&bStartup, &bViewHistory, &bBackupFullRegistry, &bWindowsBackup};
  const int toolWidth = std::min(130, (pw - 10 - 8 - 3 * 6) / 4);
  for (int i = 0; i < 4; ++i) toolButtons[i]->SetBounds(10 + i * (toolWidth + 6), 20, toolWidth, 25);
  bDeleteEntry.SetBounds(lvStartup.Left(), ph - bDeleteEntry.Height() - 8, bDeleteEntry.Width(), bDeleteEntry.Height());
  bSelectNone.SetBounds(pw - bSelectNone.Width() - 8, bDeleteEntry.Top(), bSelectNone.Width(), bSelectNone.Height());
  bSelectAll.SetBounds(bSelectNone.Left() - bSelectAll.Width() - 12, bDeleteEntry.Top(), bSelectAll.Width(),
                       bSelectAll.Height());
  lvStartup.SetWidth(pw - lvStartup.Left() - 8);
  lvStartup.SetHeight(bDeleteEntry.Top() - lvStartup.Top() - 8);

  // Defrag page
  lvMain.SetWidth(pw - lvMain.Left() - 8);
  lvMain.SetHeight(ph - lvMain.Top() - 50);
  const int row1 = lvMain.Bottom() + 8;
  for (ui::Label* l : {&lCurrentRegistrySize_Title, &lCurrentRegistrySize, &lSizeReduction_Title, &lSizeReduction})
    l->SetTop(row1);
  const int row2 = lCurrentRegistrySize_Title.Bottom() + 8;
  for (ui::Label* l : {&lNewRegistrySize_Title, &lNewRegistrySize, &lCompactPercent_Title, &lCompactPercent})
    l->SetTop(row2);
  if (W >= 695) {
    lSizeReduction_Title.SetLeft(397);
    lSizeReduction.SetLeft(492);
  } else {
    lSizeReduction_Title.SetLeft(lCurrentRegistrySize.Right() + 5);
    lSizeReduction.SetLeft(lSizeReduction_Title.Right() + 5);
  }
  lCompactPercent_Title.SetLeft(lSizeReduction_Title.Left());
  lCompactPercent.SetLeft(lSizeReduction.Left());

  // Header
  lUpdate.SetLeft(client.cx - lUpdate.Width() - 8);
  iUpdate.SetBounds(lUpdate.Left() - 36, lUpdate.Top() - 18, iUpdate.Width(), iUpdate.Height());
  lDonate.SetLeft(lUpdate.Left() - lDonate.Width() - 15);
  // The stretched picture changed under every label: each repaints its part.
  imgTitle.Invalidate();
  for (ui::Label* l : HeaderLabels()) l->Invalidate();
}

void TfrmMain::FlatButtonClick(skin::TFlatButton& sender) {
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  for (skin::TFlatButton* b : {&bCleaner, &bRegistry, &bTools, &bOptions, &bRegistryDefrag, &bHelp}) {
    if ((b->Tag & 0xF0) == (sender.Tag & 0xF0)) b->SetColors(face, RGB(235, 234, 225), face);
  }
  for (ui::GroupBox* gb : {&gbCleaner, &gbRegistry, &gbTools, &gbDefrag}) gb->Show(gb->Tag == sender.Tag);
  sender.SetColors(RGB(255, 255, 255), RGB(255, 255, 255), RGB(122, 152, 175));
}

}  // namespace app
