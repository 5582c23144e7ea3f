// The Options dialog's record, its boss key and what OK applies.
#include <exception>

#include "app/options/OptionsForm.h"
#include "app/options/StartWithWindows.h"
#include "cleaner/items/DataFiles.h"
#include "core/FolderDialog.h"
#include "core/Paths.h"
#include "core/Text.h"
#include "ui/MessageBox.h"
#include "sys/Text.h"

namespace app {
namespace {

using Flag = bool core::TOptionsSetting::*;

const wchar_t kTestAtomName[] = L"MyQRVTHotkey_Test";

bool IsFolder(const std::wstring& path) {
  DWORD a = ::GetFileAttributesW(path.c_str());
  return !path.empty() && a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::wstring> Captions(const ui::ListView& list) {
  std::vector<std::wstring> out;
  for (int row = 0, n = list.Count(); row < n; ++row) out.push_back(list.CellText(row, 0));
  return out;
}

void FillList(ui::ListView& list, const std::vector<std::wstring>& lines) {
  list.Clear();
  for (const std::wstring& line : lines) list.SetChecked(list.AddRow(line), false);
}

}  // namespace

void TfrmOptions::ExchangeControls(bool ToRecord) {
  const std::pair<skin::TskCheckBox*, Flag> boxes[] = {
      {&cbAskClear, &core::TOptionsSetting::IsAskBeforeClear},
      {&cbWipeFile, &core::TOptionsSetting::IsWipeFile},
      {&cbDeleteBackupFile, &core::TOptionsSetting::DeleteBackupFile},
      {&cbIgnoreRemoveMedia, &core::TOptionsSetting::IncludeRemoveMedia},
      {&cbIncludeCDdrive, &core::TOptionsSetting::IncludeCDdrive},
      {&cbCreateRestore, &core::TOptionsSetting::RestorePoint},
      {&cbFastScan, &core::TOptionsSetting::FastScan},
      {&cbShowLogTempInternetFiles, &core::TOptionsSetting::ShowLogTempInternetFiles},
      {&cbShowLogRecycleBin, &core::TOptionsSetting::ShowLogRecycleBin},
      {&cbIE, &core::TOptionsSetting::EnableIE},
      {&cbNetscape, &core::TOptionsSetting::EnableNetscape},
      {&cbFirefox, &core::TOptionsSetting::EnableFirefox},
      {&cbOpera, &core::TOptionsSetting::EnableOpera},
      {&cbAutoWash, &core::TOptionsSetting::AutoClean},
      {&cbStartWash, &core::TOptionsSetting::StartClean},
      {&cbShutdownWash, &core::TOptionsSetting::ShutdownClean},
  };
  core::TOptionsSetting& o = copy_.Record();
  if (ToRecord) {
    for (const auto& [box, field] : boxes) o.*field = box->Checked();
    if (cbWipeNumber.ItemIndex() >= 0) o.WipeNumber = cbWipeNumber.ItemIndex() + 1;
    o.EnableHotkey = !skRadioButton1.Checked();
    ModifiersFromText(eHide.Text(), &o.Hotkey);
    // An interval the file held out of range stays as it was until one is chosen.
    if (rgWashInterval.ItemIndex() >= 0) o.CleanInterval = rgWashInterval.ItemIndex();
    o.OutputDirectory = eOutputFolder.Text();
    copy_.SetIgnoreLists(Captions(lvValues), Captions(lvKeys));
    return;
  }
  for (const auto& [box, field] : boxes) box->SetChecked(o.*field);
  cbWipeFileClick();
  cbWipeNumber.SetItemIndex(o.WipeNumber >= 1 && o.WipeNumber <= 10 ? o.WipeNumber - 1 : 0);
  skRadioButton1.SetChecked(!o.EnableHotkey);
  skRadioButton2.SetChecked(o.EnableHotkey);
  eHide.SetText(HotkeyText(o.Hotkey));
  rgWashInterval.SetItemIndex(o.CleanInterval);
  cbAutoWashClick();
  cbAutoStart.SetChecked(ReadAutoStart());
  eOutputFolder.SetText(o.OutputDirectory);
  FillList(lvValues, copy_.IgnoreValues());
  FillList(lvKeys, copy_.IgnoreKeys());
}

void TfrmOptions::ExchangeOptionsRecord(bool Back) {
  if (Back) copy_.CopyTo(core::OptionsSetting);
  else copy_.CopyFrom(core::OptionsSetting);
}

bool TfrmOptions::HotkeyChanged() {
  const core::TOptionsSetting& o = copy_.Record();
  return o.EnableHotkey != FSavedUseHotkey || (o.EnableHotkey && eHide.Text() != FSavedHotkeyText);
}

bool TfrmOptions::TestRegisterHotkey() {
  core::TShortcut& k = copy_.Record().Hotkey;
  // A key code of 0 (a modifier alone) is no key the system can watch.
  if (eHide.Text().empty() || k.CharAscII == 0) {
    Error(L"The hotkey setting cannot be blank.");
    return false;
  }
  FTestAtom = ::GlobalAddAtomW(kTestAtomName);
  if (FTestAtom == 0) {
    Error(L"Hotkey setting failed, please run application again!");
    return false;
  }
  if (eHide.Text() == FSavedHotkeyText) {
    ::GlobalDeleteAtom(FTestAtom);
    FTestAtom = 0;
    return true;
  }
  UINT modifiers = (k.IsCtrl ? MOD_CONTROL : 0) | (k.IsShift ? MOD_SHIFT : 0) | (k.IsAlt ? MOD_ALT : 0);
  if (::RegisterHotKey(hwnd_, FTestAtom, modifiers, k.CharAscII)) {
    ::UnregisterHotKey(hwnd_, FTestAtom);
    FSavedKeyName = k.CharString;
    FSavedKeyCode = k.CharAscII;
    ::GlobalDeleteAtom(FTestAtom);
    FTestAtom = 0;
    return true;
  }
  Error(L"The hotkey for Boss Key failed, please try to use other key!");
  eHide.SetText(FSavedHotkeyText);
  ExchangeControls(true);
  k.CharString = FSavedKeyName;
  k.CharAscII = FSavedKeyCode;
  ReleaseTestHotkey();
  return false;
}

void TfrmOptions::ReleaseTestHotkey() {
  if (FTestAtom == 0) return;
  if (hwnd_ != nullptr) ::UnregisterHotKey(hwnd_, FTestAtom);
  ::GlobalDeleteAtom(FTestAtom);
  FTestAtom = 0;
}

bool TfrmOptions::eHideKeyDown(UINT key) {
  bool ctrl = ::GetKeyState(VK_CONTROL) < 0, shift = ::GetKeyState(VK_SHIFT) < 0, alt = ::GetKeyState(VK_MENU) < 0;
  TKeyCapture capture = CaptureKey(key, ctrl, shift, alt);
  eHide.SetText(capture.Text);
  eHide.MoveCaretToEnd();
  copy_.Record().Hotkey.CharString = capture.Name;
  copy_.Record().Hotkey.CharAscII = capture.Code;
  return true;  // the edit never types what the capture has shown
}

void TfrmOptions::cbWipeFileClick() {
  wipeHint_.SetActive(cbWipeFile.Checked());
  if (cbWipeFile.Checked()) wipeHint_.SetInitialDelay(0);
}

void TfrmOptions::cbAutoWashClick() {
  for (int i = 0; i < rgWashInterval.Count(); ++i) rgWashInterval.SetItemEnabled(i, cbAutoWash.Checked());
}

void TfrmOptions::bBrowseClick() {
  std::wstring folder = eOutputFolder.Text();
  if (core::SelectDirectory(L"Please select the directory", L"", folder)) eOutputFolder.SetText(folder);
}

bool TfrmOptions::EnsureOutputFolder() {
  const std::wstring folder = eOutputFolder.Text();
  if (IsFolder(folder)) return true;
  // The default folder is only made by the first backup; it need not exist yet.
  if (SameFolder(folder, env_.DefaultBackupFolder) && ::CreateDirectoryW(folder.c_str(), nullptr)) return true;
  Error(folder + L"," + L"can not find the backup folder.");
  skPageControl1.SetActivePage(0);
  ::SetFocus(eOutputFolder.Handle());
  return false;
}

void TfrmOptions::bOKClick() {
  if (!EnsureOutputFolder()) return;
  ExchangeControls(true);
  const bool hotkeyChanged = HotkeyChanged();
  if (hotkeyChanged && copy_.Record().EnableHotkey && !TestRegisterHotkey()) return;
  ExchangeOptionsRecord(true);
  ApplyToMainWindow(hotkeyChanged);
  if (core::OptionsSetting.StartClean) cbAutoStart.SetChecked(true);
  std::wstring error;
  if (!WriteAutoStart(cbAutoStart.Checked(), env_.ProgramPath, &error)) Error(error);
  try {
    if (apply_.SaveOptions) apply_.SaveOptions();
  } catch (const std::exception& e) {
    Error(sys::FromUtf8(e.what()));
  }
  WriteCookiesFile();
  SetModalResult(IDOK);
}

void TfrmOptions::ApplyToMainWindow(bool hotkeyChanged) {
  const core::TOptionsSetting& o = core::OptionsSetting;
  if (hotkeyChanged) {
    if (apply_.UnregisterBossKey) apply_.UnregisterBossKey();
    if (o.EnableHotkey && apply_.RegisterBossKey) apply_.RegisterBossKey();
  }
  if (apply_.ArmSchedule) apply_.ArmSchedule(o.AutoClean, core::ScheduleIntervalToMs(o.CleanInterval));
}

void TfrmOptions::WriteCookiesFile() {
  const std::wstring path = core::JoinPath(env_.DataFolder, cleaner::kCookiesFileName);
  std::vector<std::wstring> refused;
  try {
    if (cleaner::WriteCookiesToKeep(path, ListBox2.Items(), &refused)) return;
    std::wstring lines;
    for (const std::wstring& r : refused) lines += L"\r\n" + r;
    Error(L"These cookies cannot be stored in " + path + L":" + lines);
  } catch (const std::exception& e) {
    Error(sys::FromUtf8(e.what()));
  }
}

}  // namespace app
