// The Options dialog's lists: the two registry ignore lists and the cookies
// to delete and to keep.
#include <sstream>

#include "app/options/OptionsForm.h"
#include "core/Paths.h"
#include "core/guard/SettingsFile.h"
#include "ui/MessageBox.h"
#include "sys/Text.h"

namespace app {
namespace {

// A cookie file is a few lines; a larger file is shown only in part.
constexpr DWORD kMaxViewBytes = 64 * 1024;

// Read through the guard: a cookie that is a link to another file is not
// shown, for that file may be one the user could not read.
bool ReadTextLines(const std::wstring& path, std::vector<std::wstring>* lines) {
  std::string bytes;
  if (core::guard::ReadWholeFile(path, &bytes) != core::guard::FileOutcome::Done) return false;
  if (bytes.size() > kMaxViewBytes) bytes.resize(kMaxViewBytes);
  std::istringstream text(bytes);
  for (std::string line; std::getline(text, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines->push_back(sys::FromAnsi(line));
  }
  return true;
}

}  // namespace

ui::ListView& TfrmOptions::ActiveIgnoreList() { return skPageControl2.ActivePageIndex() == 1 ? lvKeys : lvValues; }

void TfrmOptions::bAddClick() {
  std::wstring text;
  if (!env_.EditIgnoreEntry || !env_.EditIgnoreEntry(hwnd_, &text)) return;
  ui::ListView& list = ActiveIgnoreList();
  list.SetChecked(list.AddRow(text), false);
}

void TfrmOptions::bEditClick() {
  ui::ListView& list = ActiveIgnoreList();
  int row = list.Selected();
  if (row < 0) return;
  std::wstring text = list.CellText(row, 0);
  if (env_.EditIgnoreEntry && env_.EditIgnoreEntry(hwnd_, &text)) list.SetCellText(row, 0, text);
}

void TfrmOptions::bRemoveClick() {
  ui::ListView& list = ActiveIgnoreList();
  for (int row = list.Count() - 1; row >= 0; --row)
    if (list.Checked(row)) list.DeleteRow(row);
}

void TfrmOptions::MoveCookie(ui::SelectListBox& from, ui::SelectListBox& to, bool doubleClick) {
  const int index = from.ItemIndex();
  if (index < 0) return;
  to.Add(from.Item(index));
  // Into the keep list, and on a double click, the target's first line is
  // selected; the Remove button selects it only when it is the only line.
  if (&to == &ListBox2 || doubleClick || to.Count() == 1) to.SetItemIndex(0);
  from.DeleteLine(index);
  from.SetItemIndex(index < from.Count() ? index : 0);
}

void TfrmOptions::MoveAllCookies(ui::SelectListBox& from, ui::SelectListBox& to) {
  for (const std::wstring& line : from.Items()) to.Add(line);
  to.SetItemIndex(0);
  from.Clear();
}

std::wstring TfrmOptions::CookieFileOf(const std::wstring& line) const {
  // The list shows hosts; the file is the first one that holds this host.
  for (const TCookieFile& c : cookieFiles_)
    if (c.Host == line) return c.File;
  return line;
}

void TfrmOptions::bViewClick() {
  const int index = ListBox1.ItemIndex();
  if (index < 0 || FCookieFolder.empty()) return;
  const std::wstring line = ListBox1.Item(index);
  std::vector<std::wstring> lines;
  if (!ReadTextLines(core::JoinPath(FCookieFolder, CookieFileOf(line)), &lines)) return;
  std::wstring text;
  for (const std::wstring& l : lines) text += L"\r\n" + l;
  ui::ShowMessageTitled(hwnd_, text, line, MB_OK | MB_ICONINFORMATION);
}

}  // namespace app
