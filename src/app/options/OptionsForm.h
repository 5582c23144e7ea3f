// The Options dialog: edits a private copy of the options record, the Run
// value, the boss key, the two ignore lists and the cookies to keep, and
// applies them all at once on OK.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/options/CookieLists.h"
#include "app/options/OptionsModel.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/CheckBoxes.h"
#include "skin/controls/Panels.h"
#include "skin/lists/ComboBox.h"
#include "skin/lists/ListView.h"
#include "skin/lists/PageControl.h"
#include "ui/ComboBox.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/ListView.h"
#include "ui/PageControl.h"
#include "ui/Panels.h"
#include "ui/RadioGroup.h"
#include "ui/SelectListBox.h"
#include "ui/StdControls.h"
#include "ui/ToolTip.h"

namespace app {

inline constexpr wchar_t kOptionsClass[] = L"TfrmOptions";

// What OK changes in the main window.
struct TOptionsApply {
  std::function<void()> UnregisterBossKey;
  std::function<void()> RegisterBossKey;            // from OptionsSetting
  std::function<void(bool on, unsigned ms)> ArmSchedule;  // Timer2
  std::function<void()> SaveOptions;                // options.ini; may raise the ini write error
};

// Where the dialog finds what it edits besides the options record.
struct TOptionsEnvironment {
  std::wstring DataFolder;           // Cookies.dat lies here
  std::wstring ProgramPath;          // the program the Run value starts
  std::wstring DefaultBackupFolder;  // made on OK when it does not exist yet
  std::function<std::wstring()> CookieFolder;  // ending in "\", or empty
  // Asks for one ignore-list entry; true with the text on OK.
  std::function<bool(HWND owner, std::wstring* text)> EditIgnoreEntry;
  static TOptionsEnvironment Real();
};

class TfrmOptions : public ui::Form {
 public:
  explicit TfrmOptions(TOptionsApply apply, TOptionsEnvironment env = TOptionsEnvironment::Real());
  ~TfrmOptions() override;

  // Creates the window hidden and centred on `owner`, then runs FormCreate.
  bool CreateForm(HWND owner);

  void ExchangeControls(bool ToRecord);
  void ExchangeOptionsRecord(bool Back);
  bool HotkeyChanged();
  bool TestRegisterHotkey();
  void ReleaseTestHotkey();

  // Handlers.
  void bOKClick();
  bool eHideKeyDown(UINT key);
  void cbWipeFileClick();
  void cbAutoWashClick();
  void bBrowseClick();
  void bAddClick();
  void bEditClick();
  void bRemoveClick();
  void bAddCookiesClick() { MoveCookie(ListBox1, ListBox2, false); }
  void bRemoveCookiesClick() { MoveCookie(ListBox2, ListBox1, false); }
  void ListBox1DblClick() { MoveCookie(ListBox1, ListBox2, true); }
  void ListBox2DblClick() { MoveCookie(ListBox2, ListBox1, true); }
  void bAddAllClick() { MoveAllCookies(ListBox1, ListBox2); }
  void bRemoveAllClick() { MoveAllCookies(ListBox2, ListBox1); }
  void bViewClick();

  const TOptionsCopy& OptionsCopy() const { return copy_; }
  ui::ListView& ActiveIgnoreList();
  bool WipeHintActive() const { return wipeHint_.Active(); }

  skin::TskPageControl skPageControl1, skPageControl2;
  skin::TskButton bOK, bCancel;
  // Common
  skin::TskCheckBox cbAutoStart, cbAskClear, cbWipeFile, cbDeleteBackupFile, cbIgnoreRemoveMedia, cbIncludeCDdrive,
      cbCreateRestore, cbFastScan, cbShowLogTempInternetFiles, cbShowLogRecycleBin;
  skin::TskComboBox cbWipeNumber;
  skin::TskGroupBox gbOutputFolder;
  ui::Edit eOutputFolder;
  skin::TskButton bBrowse;
  // Cookies
  ui::Label lCookiesToDelete, lCookiesToKeep;
  ui::SelectListBox ListBox1, ListBox2;
  skin::TskButton bAddCookies, bRemoveCookies, bAddAll, bRemoveAll, bView;
  // Schedule
  skin::TskCheckBox cbAutoWash, cbStartWash, cbShutdownWash;
  skin::TskRadioGroup rgWashInterval;
  // Boss Key
  skin::TskRadioButton skRadioButton1, skRadioButton2;
  ui::Edit eHide;
  skin::TskGroupBox gbBrowsers;
  skin::TskCheckBox cbIE, cbNetscape, cbFirefox, cbOpera;
  // Ignore Lists
  ui::Label lIgnore;
  skin::TskListView lvValues, lvKeys;
  skin::TskButton bAdd, bEdit, bRemove;

 protected:
  bool OnCommand(UINT code, UINT id) override;

 private:
  void CreateCommonPage(HWND page);
  void CreateCookiesPage(HWND page);
  void CreateSchedulePage(HWND page);
  void CreateBossKeyPage(HWND page);
  void CreateIgnorePage(HWND page);
  void BindHandlers();
  void FormCreate();
  void ReadCookieLists();
  bool EnsureOutputFolder();
  void ApplyToMainWindow(bool hotkeyChanged);
  void WriteCookiesFile();
  void MoveCookie(ui::SelectListBox& from, ui::SelectListBox& to, bool doubleClick);
  void MoveAllCookies(ui::SelectListBox& from, ui::SelectListBox& to);
  std::wstring CookieFileOf(const std::wstring& line) const;
  void Error(const std::wstring& text);

  TOptionsApply apply_;
  TOptionsEnvironment env_;
  TOptionsCopy copy_;
  ATOM FTestAtom = 0;
  std::wstring FSavedKeyName;
  std::uint16_t FSavedKeyCode = 0;
  std::wstring FSavedHotkeyText;
  bool FSavedUseHotkey = false;
  std::wstring FCookieFolder;
  std::vector<TCookieFile> cookieFiles_;
  ui::ToolTip wipeHint_;
};

}  // namespace app
