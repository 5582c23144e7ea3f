// The custom-list dialogs and the index.dat viewer as a user drives them:
// by messages to their controls, with a picture of each dialog on screen.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <fstream>
#include <memory>
#include <new>
#include <thread>

#include "AppTestSupport.h"
#include "app/AddFolderDialog.h"
#include "app/AddRegistryDialog.h"
#include "app/CustomListDialog.h"
#include "app/IndexDatViewer.h"
#include "app/Main.h"
#include "app/WebPages.h"
#include "indexdat/IndexDatBuilder.h"
#include "support/Folders.h"
#include "support/KeyPresser.h"
#include "support/TestSupport.h"
#include "ui/Application.h"
#include "ui/MessageBox.h"

namespace {

using app_test::Pump;
using app_test::TempPath;
using testing_support::ReadBytes;

void WriteAll(const std::wstring& path, const std::string& text) { std::ofstream(path.c_str(), std::ios::binary) << text; }

void Click(ui::Window& button) { button.Send(BM_CLICK); }

// Saves what the screen shows of `form` as build/screenshots/<name>.bmp.
void Screenshot(ui::Form& form, const std::wstring& name) {
  Pump(300);
  RECT r;
  ::GetWindowRect(form.Handle(), &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  ::BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  ::GdiFlush();
  DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
  fh.bfSize = fh.bfOffBits + stride * static_cast<DWORD>(h);
  std::wstring folder = testing_support::BuildDir() + L"\\screenshots";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  std::ofstream out((folder + L"\\" + name + L".bmp").c_str(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&fh), sizeof(fh));
  out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof(bi.bmiHeader));
  out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(stride * static_cast<DWORD>(h)));
  ::SelectObject(mem, old);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
}

void SelectRow(ui::ListView& list, int row) {
  LVITEMW item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  list.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

class RecordingPages : public app::IWebPages {
 public:
  explicit RecordingPages(std::vector<std::wstring>* opened) : opened_(opened) {}
  void Open(HWND, const std::wstring& address) override { opened_->push_back(address); }

 private:
  std::vector<std::wstring>* opened_;
};

class CustomDialogs : public ::testing::Test, public ui::IMessageBoxAnswerer {
 protected:
  void SetUp() override {
    ui::Application::Instance().Initialize();
    previous = ui::SetMessageBoxAnswerer(this);
    opened.clear();
    previousPages = app::SetWebPages(std::make_shared<RecordingPages>(&opened));
  }
  void TearDown() override {
    ui::SetMessageBoxAnswerer(previous);
    app::SetWebPages(previousPages);
  }
  int Answer(HWND, const std::wstring& text, UINT) override {
    boxes.push_back(text);
    return IDOK;
  }
  ui::IMessageBoxAnswerer* previous = nullptr;
  std::shared_ptr<app::IWebPages> previousPages;
  std::vector<std::wstring> boxes;
  std::vector<std::wstring> opened;
};

// Builds a folder row: the whole folder, then a mask that needs three characters.
int DriveAddFolder(app::TfrmAddFolder& d, const std::wstring& folder) {
  d.Show(true);
  EXPECT_TRUE(d.gbSelectFile.Visible());
  EXPECT_FALSE(d.gbWashMode.Visible());
  d.eFolder.SetText(L"C:\\");
  Click(d.rgOptions.Button(1));
  EXPECT_FALSE(d.bOK.Enabled()) << "a drive root";
  d.eFolder.SetText(folder);
  EXPECT_TRUE(d.gbWashMode.Visible());
  EXPECT_TRUE(d.bOK.Enabled());
  Click(d.rbDeleteFiles);
  EXPECT_FALSE(d.bOK.Enabled()) << "\"*.\" is two characters";
  d.eFileMatch.SetText(L"*.t");
  EXPECT_TRUE(d.bOK.Enabled());
  Click(d.rgOptions.Button(0));  // the file list of the folder
  EXPECT_EQ(d.lbFile.Items(), (std::vector<std::wstring>{L"a.log"}));
  EXPECT_FALSE(d.bOK.Enabled());
  Click(d.rgOptions.Button(1));
  Screenshot(d, L"add-folder");
  Click(d.bOK);
  return d.ModalResult();
}

int DriveAddRegistry(app::TfrmAddRegistry& d) {
  d.Show(true);
  EXPECT_FALSE(d.bOK.Enabled());
  d.eRegistryKey.SetText(L"HKEY_CURRENT_USER\\Software\\Junk");
  EXPECT_TRUE(d.bOK.Enabled());
  EXPECT_FALSE(d.eRegistryValue.Enabled());
  Click(d.rbWashValue);
  EXPECT_TRUE(d.eRegistryValue.Enabled());
  EXPECT_FALSE(d.bOK.Enabled());
  d.eRegistryValue.SetText(L"Last");
  Click(d.bLaunchRegedit);
  Screenshot(d, L"add-registry");
  Click(d.bOK);
  return d.ModalResult();
}

TEST_F(CustomDialogs, ListAddRemoveAndSave) {
  std::wstring folder = TempPath(L"custom_dialog_folder");
  ::CreateDirectoryW(folder.c_str(), nullptr);
  WriteAll(folder + L"\\a.log", "x");
  std::wstring file = TempPath(L"custom_dialog.dat");
  WriteAll(file, "[<New List>]\r\nDelFile1=C:\\Old\r\n");

  app::TfrmNewCustomItem list;
  list.ShowChild = [&](ui::Form& child) {
    if (auto* f = dynamic_cast<app::TfrmAddFolder*>(&child)) return DriveAddFolder(*f, folder);
    return DriveAddRegistry(dynamic_cast<app::TfrmAddRegistry&>(child));
  };
  ASSERT_TRUE(list.CreateDialogWindow(nullptr, file));
  list.Show(true);
  EXPECT_EQ(list.Text(), L"Edit Custom Item");
  ASSERT_EQ(list.lvContent.Count(), 1);
  EXPECT_FALSE(list.bRemove.Enabled());
  Click(list.bAddFolder);
  Click(list.bAddRegistry);
  ASSERT_EQ(list.lvContent.Count(), 3);
  EXPECT_EQ(list.lvContent.CellText(1, 0), folder + L",*.t");
  EXPECT_EQ(list.lvContent.CellText(2, 0), L"HKEY_CURRENT_USER\\Software\\Junk,Last");
  SelectRow(list.lvContent, 0);
  EXPECT_TRUE(list.bRemove.Enabled());
  EXPECT_FALSE(list.bEdit.Enabled()) << "file rows are not edited";
  Click(list.bRemove);
  EXPECT_EQ(list.lvContent.Count(), 2);
  EXPECT_EQ(list.lvContent.Selected(), 0);
  Screenshot(list, L"custom-list");
  Click(list.bOK);
  EXPECT_EQ(list.ModalResult(), IDOK);
  std::string text = ReadBytes(file);
  EXPECT_EQ(text.find("Old"), std::string::npos) << text;
  EXPECT_NE(text.find("DelRegValue1=HKEY_CURRENT_USER\\Software\\Junk,Last"), std::string::npos) << text;
  EXPECT_NE(text.find("DelFile1="), std::string::npos) << text;
  EXPECT_EQ(opened, (std::vector<std::wstring>{L"Regedit.exe"}));
}

TEST_F(CustomDialogs, RemovingEveryRowAndSavingEmptiesTheList) {
  std::wstring file = TempPath(L"custom_dialog_empty.dat");
  WriteAll(file, "[<New List>]\r\nDelFile1=C:\\Old\r\n[Keep]\r\nA=1\r\n");
  app::TfrmNewCustomItem list;
  ASSERT_TRUE(list.CreateDialogWindow(nullptr, file));
  list.Show(true);
  SelectRow(list.lvContent, 0);
  Click(list.bRemove);
  EXPECT_EQ(list.lvContent.Count(), 0);
  EXPECT_FALSE(list.bRemove.Enabled());
  ASSERT_TRUE(list.bOK.Enabled());
  Click(list.bOK);
  std::string text = ReadBytes(file);
  EXPECT_EQ(text.find("<New List>"), std::string::npos) << text;
  EXPECT_NE(text.find("A=1"), std::string::npos) << text;
}

TEST_F(CustomDialogs, EditingARegistryRowThatEndsInAComma) {
  std::wstring file = TempPath(L"custom_dialog_edit.dat");
  WriteAll(file, "[<New List>]\r\nDelRegValue1=HKEY_CURRENT_USER\\Software\\A,\r\n");
  app::TfrmNewCustomItem list;
  list.ShowChild = [](ui::Form& child) {
    auto& d = dynamic_cast<app::TfrmAddRegistry&>(child);
    EXPECT_TRUE(d.rbWashAllValues.Checked());
    EXPECT_FALSE(d.eRegistryValue.Enabled());
    EXPECT_EQ(d.eRegistryValue.Text(), L"");
    Click(d.rbWashKey);
    Click(d.bOK);
    return d.ModalResult();
  };
  ASSERT_TRUE(list.CreateDialogWindow(nullptr, file));
  list.Show(true);
  SelectRow(list.lvContent, 0);
  ASSERT_TRUE(list.bEdit.Enabled());
  Click(list.bEdit);
  EXPECT_EQ(list.lvContent.CellText(0, 0), L"HKEY_CURRENT_USER\\Software\\A");
  Click(list.bCancel);
  EXPECT_EQ(list.ModalResult(), IDCANCEL);
  EXPECT_NE(ReadBytes(file).find("Software\\A,"), std::string::npos) << "Cancel writes nothing";
}

// The skinned OK and Cancel of the row dialogs answer Enter and Escape; the
// folder dialog's OK stays disabled without a folder, so Enter does nothing there.
TEST_F(CustomDialogs, RowDialogsAnswerEnterAndEscape) {
  const struct {
    bool folder;
    WPARAM key;
    int result;
    const wchar_t* row;
  } cases[] = {{false, VK_RETURN, IDOK, L"HKEY_CURRENT_USER\\Software\\X"},
               {false, VK_ESCAPE, IDCANCEL, L""},
               {true, VK_ESCAPE, IDCANCEL, L""}};
  for (const auto& c : cases) {
    std::unique_ptr<ui::Form> dialog;
    if (c.folder) {
      auto d = std::make_unique<app::TfrmAddFolder>();
      ASSERT_TRUE(d->CreateDialogWindow(nullptr));
      dialog = std::move(d);
    } else {
      auto d = std::make_unique<app::TfrmAddRegistry>();
      cleaner::custom::TAddRegistryModel start;
      start.Key = L"HKEY_CURRENT_USER\\Software\\X";
      ASSERT_TRUE(d->CreateDialogWindow(nullptr, start));
      dialog = std::move(d);
    }
    testing_support::KeyPresser press(c.folder ? L"TfrmAddFolder" : L"TfrmAddRegistry", c.key);
    EXPECT_EQ(dialog->ShowModal(nullptr), c.result) << "key " << c.key;
    EXPECT_TRUE(press.Pressed());
    if (!c.folder) {
      EXPECT_EQ(static_cast<app::TfrmAddRegistry&>(*dialog).ResultText(), c.row);
    }
  }
}

// Tab reads the folder dialog top to bottom, into its skinned groups, past
// the hidden group and the disabled OK.
TEST_F(CustomDialogs, TabWalksTheFolderDialogIntoItsGroups) {
  app::TfrmAddFolder d;
  ASSERT_TRUE(d.CreateDialogWindow(nullptr));
  d.Show(true);
  std::vector<HWND> seen;
  HWND at = nullptr;
  for (int i = 0; i < 6; ++i) seen.push_back(at = ::GetNextDlgTabItem(d.Handle(), at, FALSE));
  EXPECT_EQ(seen, (std::vector<HWND>{d.eFolder.Handle(), d.bBrowseFolder.Handle(), d.rgOptions.Handle(),
                                     d.lbFile.Handle(), d.bCancel.Handle(), d.eFolder.Handle()}));
  // A folder typed into the box lists its files at once.
  std::wstring folder = TempPath(L"custom_dialog_typed");
  ::CreateDirectoryW(folder.c_str(), nullptr);
  WriteAll(folder + L"\\a.log", "x");
  d.eFolder.SetText(folder);
  EXPECT_EQ(d.lbFile.Count(), 1);
  ::DeleteFileW((folder + L"\\a.log").c_str());
  ::RemoveDirectoryW(folder.c_str());
}

indexdat_test::IndexDatBuilder ViewerFile() {
  indexdat_test::IndexDatBuilder b(0x2000);
  b.FirstTable(0x100).Table(0x100, 4, 0);
  b.Entry(0x120, 0x80, 0x400).UrlRecord(0x400, "URL ", 0x68, "http://a.example/");
  b.Int(0x400 + 16, int32_t(0x96D2C000u)).Int(0x400 + 20, 0x01CCC82A);  // about 2012
  b.Entry(0x128, 0x80, 0x500).RedrRecord(0x500, "http://moved.example/");
  b.Entry(0x130, 3, 0x600).UrlRecord(0x600, "URL ", 0x68, "http://free.example/");
  b.Entry(0x138, 0x80, 0x700).UrlRecord(0x700, "LEAK", 0x60, "http://leak.example/");
  b.Int(0x700 + 16, -1).Int(0x700 + 20, -1);
  b.Entry(0x140, 0x80, 0x800).UrlRecord(0x800, "URL ", 0x68, "C:\\Windows\\system32\\calc.exe");
  return b;
}

// The sample index written under `name`, typed into a shown `viewer`.
std::wstring ShowViewerOn(app::TfrmIndexDatViewer& viewer, const wchar_t* name) {
  std::wstring index = TempPath(name);
  WriteAll(index, ViewerFile().String());
  EXPECT_TRUE(viewer.CreateDialogWindow(nullptr));
  viewer.Show(true);
  viewer.eFileName.SetText(index);
  return index;
}

// The text of the first hint attached to `owner`'s windows.
std::wstring HintOf(HWND owner) {
  for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) != nullptr;) {
    wchar_t text[256] = {};
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.lpszText = text;
    if (::GetWindow(w, GW_OWNER) == owner && ::SendMessageW(w, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&info)))
      return text;
  }
  return L"";
}

TEST_F(CustomDialogs, ViewerShowsRowsOpensAndScrubs) {
  std::wstring index = TempPath(L"viewer_dialog.DAT");
  WriteAll(index, ViewerFile().String());
  std::wstring notIndex = TempPath(L"viewer_dialog_other.dat");
  std::string junk(0x2000, 'j');
  WriteAll(notIndex, junk);

  app::TfrmIndexDatViewer viewer;
  ASSERT_TRUE(viewer.CreateDialogWindow(nullptr));
  viewer.Show(true);
  const std::wstring defaultFile = viewer.eFileName.Text();
  EXPECT_NE(defaultFile.find(L"Content.IE5\\index.dat"), std::wstring::npos);
  EXPECT_FALSE(viewer.ProgressBar1.Visible());

  // A name that is no index.dat, and the default file, missing here: the
  // message, the caret back in the name, and nothing listed or loading.
  ASSERT_EQ(::GetFileAttributesW(defaultFile.c_str()), INVALID_FILE_ATTRIBUTES);
  for (const std::wstring& name : {index + L".txt", defaultFile}) {
    boxes.clear();
    viewer.eFileName.SetText(name);
    Click(viewer.bShow);
    EXPECT_EQ(boxes, (std::vector<std::wstring>{L"Please enter the correct index.dat file name."}));
    EXPECT_EQ(::GetFocus(), viewer.eFileName.Handle());
    EXPECT_EQ(viewer.lvIndexDat.Count(), 0);
    EXPECT_FALSE(viewer.ProgressBar1.Visible());
  }
  boxes.clear();
  viewer.eFileName.SetText(notIndex);
  Click(viewer.bShow);
  EXPECT_EQ(boxes, (std::vector<std::wstring>{indexdat::kNotIndexDatMessage}));
  EXPECT_EQ(viewer.Panel1.Text(), L"0");
  EXPECT_FALSE(viewer.ProgressBar1.Visible()) << "idle again, not \"100%\"";
  boxes.clear();

  // Enter in the name box is the default Show, though the box has keys of its own.
  viewer.eFileName.SetText(index);
  ::SetFocus(viewer.eFileName.Handle());
  app_test::PressFocused(VK_RETURN);
  ASSERT_EQ(viewer.lvIndexDat.Count(), 4);
  EXPECT_EQ(viewer.Panel1.Text(), L"4");
  EXPECT_EQ(viewer.ProgressBar1.Position(), 100);
  EXPECT_FALSE(viewer.Panel2.Visible());
  EXPECT_EQ(viewer.lvIndexDat.CellText(0, 0), L"http://a.example/");
  EXPECT_NE(viewer.lvIndexDat.CellText(0, 1), L"Not Available");
  EXPECT_EQ(viewer.lvIndexDat.CellText(1, 1), L"Not Available");
  EXPECT_EQ(viewer.lvIndexDat.CellText(2, 1), L"Not Available");

  viewer.lvIndexDatDblClick();
  EXPECT_TRUE(opened.empty()) << "no row selected";
  viewer.lvIndexDat.Select(2);
  viewer.lvIndexDatDblClick();
  EXPECT_EQ(opened, (std::vector<std::wstring>{L"http://leak.example/"}));
  viewer.lvIndexDat.Select(3);
  viewer.lvIndexDatDblClick();
  EXPECT_EQ(opened.size(), 1u) << "a program path is never started";
  EXPECT_EQ(boxes, (std::vector<std::wstring>{indexdat::kNotWebAddressMessage}));
  // Enter on a row opens it as a double click does, and leaves the dialog
  // open: a selected row, and the first row that Tab focuses unselected.
  viewer.lvIndexDat.Select(0);
  ::SetFocus(viewer.lvIndexDat.Handle());
  app_test::PressFocused(VK_RETURN);
  EXPECT_EQ(opened, (std::vector<std::wstring>{L"http://leak.example/", L"http://a.example/"}));
  LVITEMW none{};
  none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  viewer.lvIndexDat.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
  ASSERT_LT(viewer.lvIndexDat.Selected(), 0);
  ::SetFocus(viewer.eFileName.Handle());
  app_test::PressFocused(VK_TAB, {VK_SHIFT});
  ASSERT_EQ(::GetFocus(), viewer.lvIndexDat.Handle());
  app_test::PressFocused(VK_RETURN);
  EXPECT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened.back(), L"http://a.example/");
  EXPECT_EQ(viewer.ModalResult(), 0);
  // Escape in the name box closes the viewer.
  ::SetFocus(viewer.eFileName.Handle());
  app_test::PressFocused(VK_ESCAPE);
  EXPECT_EQ(viewer.ModalResult(), IDCANCEL);
  viewer.SetModalResult(0);

  HIMAGELIST images = reinterpret_cast<HIMAGELIST>(viewer.lvIndexDat.Send(LVM_GETIMAGELIST, LVSIL_SMALL));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 1);
  EXPECT_EQ(HintOf(viewer.Handle()), L"Double click the item to link to the URL");
  std::wstring date = viewer.lvIndexDat.CellText(0, 1);
  int needed = int(viewer.lvIndexDat.Send(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(date.c_str())));
  EXPECT_GT(int(viewer.lvIndexDat.Send(LVM_GETCOLUMNWIDTH, 1)), needed + 8) << "the date column fits " << date.size();
  Screenshot(viewer, L"index-dat-viewer");

  EXPECT_FALSE(viewer.bDelete.Visible());
  viewer.Show1Click();
  ASSERT_TRUE(viewer.bDelete.Visible());
  viewer.eFileName.SetText(notIndex);
  Click(viewer.bDelete);
  EXPECT_EQ(ReadBytes(notIndex), junk) << "not a cache index: left as it was";
  EXPECT_EQ(viewer.ModalResult(), IDCANCEL);
}

// A load that fails, out of memory here, leaves the dialog idle, says so, and
// the dialog still closes.
TEST_F(CustomDialogs, ViewerSurvivesAFailedLoad) {
  app::TfrmIndexDatViewer viewer;
  ShowViewerOn(viewer, L"viewer_dialog_fail.dat");
  viewer.LoadRows = [](const std::wstring&, const indexdat::LoadPacer::Report& report, indexdat::ViewerRows*) {
    report(40);
    throw std::bad_alloc();
    return indexdat::FileStatus::Done;
  };
  Click(viewer.bShow);
  EXPECT_EQ(boxes, (std::vector<std::wstring>{indexdat::kOutOfMemoryMessage}));
  EXPECT_FALSE(viewer.Loading());
  EXPECT_EQ(viewer.lvIndexDat.Count(), 0);
  EXPECT_FALSE(viewer.ProgressBar1.Visible());
  viewer.Send(WM_CLOSE);
  EXPECT_FALSE(viewer.Exists()) << "the dialog closes normally";
}

TEST_F(CustomDialogs, ViewerDeleteScrubsACacheIndex) {
  app::TfrmIndexDatViewer viewer;
  std::wstring index = ShowViewerOn(viewer, L"viewer_dialog_scrub.dat");
  // Ctrl+Alt+S through the input queue, the focus in the file box.
  ::SetForegroundWindow(viewer.Handle());
  ::SetFocus(viewer.eFileName.Handle());
  INPUT keys[6] = {};
  const WORD order[6] = {VK_CONTROL, VK_MENU, 'S', 'S', VK_MENU, VK_CONTROL};
  for (int i = 0; i < 6; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = order[i];
    keys[i].ki.dwFlags = i < 3 ? 0 : KEYEVENTF_KEYUP;
  }
  ::SendInput(6, keys, sizeof(INPUT));
  app_test::PumpUntil([&] { return viewer.bDelete.Visible(); }, 3000);
  ASSERT_TRUE(viewer.bDelete.Visible());
  EXPECT_EQ(viewer.eFileName.Text(), index) << "the shortcut types nothing";
  Click(viewer.bDelete);
  EXPECT_EQ(ReadBytes(index).find("http://a.example/"), std::string::npos);
  EXPECT_TRUE(boxes.empty());
}

// A modal dialog blocks the test's thread: another thread waits for it to be
// shown and cancels it as Escape would.
std::thread CancelWhenShown(const wchar_t* className, std::atomic<bool>* seen) {
  return std::thread([className, seen] {
    for (int i = 0; i < 500 && !*seen; ++i) {
      HWND dialog = ::FindWindowW(className, nullptr);
      if (dialog != nullptr && ::IsWindowVisible(dialog)) {
        *seen = true;
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      }
      ::Sleep(20);
    }
  });
}

TEST_F(CustomDialogs, TheToolsPageOpensTheViewer) {
  app_test::ForgetOptions();
  app::TfrmMain form;
  ASSERT_TRUE(form.CreateMain({}));
  form.ShowMain();
  form.FlatButtonClick(form.bTools);
  Pump(200);
  std::atomic<bool> seen{false};
  std::thread closer = CancelWhenShown(L"TfrmIndexDatViewer", &seen);
  Click(form.bViewHistory);
  closer.join();
  EXPECT_TRUE(seen);
  EXPECT_TRUE(::IsWindowEnabled(form.Handle())) << "the viewer has closed";
  ::DestroyWindow(form.Handle());
  Pump(50);
}

// As CancelWhenShown, with the mouse on the dialog's Cancel button: the
// click reaches it only when no window keeps the mouse captured. Else the
// dialog is cancelled, and `capturer` gets a release to end its own loop.
std::thread ClickCancelWhenShown(const wchar_t* className, HWND capturer, std::atomic<bool>* seen,
                                 std::atomic<bool>* byMouse) {
  return std::thread([className, capturer, seen, byMouse] {
    HWND dialog = nullptr;
    for (int i = 0; i < 500 && dialog == nullptr; ++i, ::Sleep(20)) {
      HWND d = ::FindWindowW(className, nullptr);
      if (d != nullptr && ::IsWindowVisible(d)) dialog = d;
    }
    if (dialog == nullptr) return;
    *seen = true;
    ::Sleep(300);
    RECT r{};
    ::GetWindowRect(::FindWindowExW(dialog, nullptr, nullptr, L"&Cancel"), &r);
    ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, click, sizeof(INPUT));
    for (int i = 0; i < 100 && ::IsWindowVisible(dialog); ++i) ::Sleep(20);
    *byMouse = !::IsWindowVisible(dialog);
    if (*byMouse) return;
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    for (int i = 0; i < 100 && ::IsWindowVisible(dialog); ++i) ::Sleep(20);
    for (UINT up : {WM_LBUTTONUP, WM_RBUTTONUP}) ::PostMessageW(capturer, up, 0, 0);
  });
}

TEST_F(CustomDialogs, ClickingNewListInTheCleanTreeOpensTheList) {
  app_test::ForgetOptions();
  app::TfrmMain form;
  ASSERT_TRUE(form.CreateMain({}));
  form.ShowMain();
  Pump(200);
  ui::TreeView& tv = form.tvCleanItems;
  ui::TreeNode group = tv.First();
  while (group != nullptr && tv.NodeText(group) != L"Custom Lists") group = tv.NextSibling(group);
  ASSERT_NE(group, nullptr);
  tv.Expand(group, true);
  ui::TreeNode leaf = tv.FirstChild(group);
  ASSERT_NE(leaf, nullptr);
  ASSERT_EQ(tv.NodeText(leaf), L"<New List>");
  tv.Send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(leaf));
  Pump(100);
  union {
    RECT rect;
    HTREEITEM item;
  } in{};
  in.item = leaf;
  ASSERT_TRUE(tv.Send(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&in.rect)));
  // Each button opens it; its Cancel answers the mouse, and the next click opens it again.
  const struct {
    const char* button;
    DWORD down, up;
  } clicks[] = {{"right", MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP},
                {"left", MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
                {"middle", MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP}};
  for (const auto& c : clicks) {
    std::atomic<bool> seen{false}, byMouse{false};
    std::thread closer = ClickCancelWhenShown(L"TfrmNewCustomItem", tv.Handle(), &seen, &byMouse);
    ::SetForegroundWindow(form.Handle());
    POINT pt{(in.rect.left + in.rect.right) / 2, (in.rect.top + in.rect.bottom) / 2};
    ::ClientToScreen(tv.Handle(), &pt);
    ::SetCursorPos(pt.x, pt.y);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = c.down;
    click[1].mi.dwFlags = c.up;
    ::SendInput(2, click, sizeof(INPUT));
    app_test::PumpUntil([&] { return seen.load(); }, 8000);
    Pump(200);
    closer.join();
    EXPECT_TRUE(seen) << c.button;
    EXPECT_TRUE(byMouse) << c.button << ": Cancel closed it by mouse";
    EXPECT_TRUE(::IsWindowEnabled(form.Handle())) << "the dialog has closed";
    Pump(100);
  }
  ::DestroyWindow(form.Handle());
  Pump(50);
}

}  // namespace
