// The two check trees: building them, ticking, and the walks through which
// the options store their states.
#include <algorithm>
#include <cwctype>
#include <iterator>
#include <unordered_set>

#include "app/Main.h"
#include "app/CustomListDialog.h"
#include "app/RegistryTree.h"
#include "cleaner/items/CleanItemCatalogue.h"
#include "core/Paths.h"
#include "sys/TextCompare.h"
#include "core/guard/SettingsFile.h"
#include "sys/RegistryKey.h"

namespace app {
namespace {

}  // namespace

void TfrmMain::BuildCleanTree() {
  // The same catalogue fills the cleaner's dispatch: no caption in one and not the other.
  for (const cleaner::CleanGroup& g : cleaner::CleanItemCatalogue()) {
    ui::TreeNode group = tvCleanItems.Add(nullptr, g.text, g.imageIndex);
    for (const cleaner::CleanLeaf& leaf : g.leaves) tvCleanItems.Add(group, leaf.text, leaf.imageIndex);
  }
}

void TfrmMain::BuildRegistryTree() {
  ui::TreeNode parents[3] = {nullptr, nullptr, nullptr};
  for (const RegistryNode& n : RegistryTreeNodes()) {
    ui::TreeNode parent = n.level > 0 ? parents[n.level - 1] : nullptr;
    parents[n.level] = tvRegistry.Add(parent, n.text, n.id);
  }
}

bool TfrmMain::WalkCleanTree(ui::TreeNode node, int mode, const std::wstring& text) {
  for (ui::TreeNode n = node; n != nullptr; n = tvCleanItems.NextSibling(n)) {
    int level = tvCleanItems.Level(n);
    std::wstring caption = level == 0 ? tvCleanItems.NodeText(n)
                                      : tvCleanItems.NodeText(tvCleanItems.Parent(n)) + L" - " + tvCleanItems.NodeText(n);
    if (mode == -1) {
      if (level >= 1 && tvCleanItems.StateIndex(n) == 2 && FSelectedItems) FSelectedItems->push_back(caption);
    } else if (mode == 1 || mode == 2) {
      tvCleanItems.SetStateIndex(n, mode);
    } else if (mode == 100 && caption == text) {
      tvCleanItems.SetStateIndex(n, 2);
      return level == 0;  // a group stops the whole walk; a leaf only its sibling chain
    }
    if (WalkCleanTree(tvCleanItems.FirstChild(n), mode, text)) return true;
  }
  return false;
}

void TfrmMain::WalkRegistryTree(ui::TreeNode node, int mode) {
  core::TOptionsSetting& o = core::OptionsSetting;
  for (ui::TreeNode n = node; n != nullptr; n = tvRegistry.NextSibling(n)) {
    int id = tvRegistry.ImageIndex(n);
    bool inRange = id >= 1 && id <= 25;
    if (mode == -1) {
      if (tvRegistry.StateIndex(n) == 2 && FSelectedItems) FSelectedItems->push_back(std::to_wstring(id));
    } else if (mode == 1 || mode == 2) {
      tvRegistry.SetStateIndex(n, mode);
    } else if (mode == 99 && inRange) {
      o.TreeViewNodeCheck[id] = tvRegistry.StateIndex(n) == 2;
    } else if (mode == 100 && inRange) {
      tvRegistry.SetStateIndex(n, o.TreeViewNodeCheck[id] ? 2 : 1);
    }
    WalkRegistryTree(tvRegistry.FirstChild(n), mode);
  }
}

void TfrmMain::SyncTreeExpansion(bool save) {
  core::TOptionsSetting& o = core::OptionsSetting;
  for (ui::TreeView* tree : {&tvRegistry, &tvCleanItems}) {
    for (ui::TreeNode n = tree->First(); n != nullptr; n = tree->NextSibling(n)) {
      int index = tree->ImageIndex(n);
      if (index < 1 || index > 10) continue;
      if (save) o.FirstNodeExpand[index] = tree->Expanded(n);
      else if (o.FirstNodeExpand[index]) tree->Expand(n, true);
    }
  }
}

void TfrmMain::SetParentFromChildren(ui::TreeView& tree, ui::TreeNode parent) {
  bool any = false;
  for (ui::TreeNode c = tree.FirstChild(parent); c != nullptr; c = tree.NextSibling(c)) any = any || tree.StateIndex(c) == 2;
  tree.SetStateIndex(parent, any ? 2 : 1);
}

// Any button opens it, once the tree has finished with the press: a dialog
// opened inside the tree's own loop for the button would lose its clicks to
// the tree's capture.
void TfrmMain::tvCleanItemsClick(UINT, POINT pt) {
  ui::TreeNode node = nullptr;
  if (tvCleanItems.HitTest(pt, &node) != ui::TreeView::HitKind::Label) return;
  if (tvCleanItems.Level(node) != 1 || tvCleanItems.NodeText(node) != L"<New List>") return;
  Post(WM_SHOWCUSTOMLIST);
}

void TfrmMain::tvCleanItemsMouseDown(UINT, POINT pt) {
  ui::TreeNode node = nullptr;
  if (tvCleanItems.HitTest(pt, &node) != ui::TreeView::HitKind::StateIcon) return;
  int state = tvCleanItems.StateIndex(node);
  if (state == 1 || state == 2) tvCleanItems.SetStateIndex(node, 3 - state);
  int level = tvCleanItems.Level(node);
  if (level == 0) {
    for (ui::TreeNode c = tvCleanItems.FirstChild(node); c != nullptr; c = tvCleanItems.NextSibling(c))
      tvCleanItems.SetStateIndex(c, tvCleanItems.StateIndex(node));
  } else if (level == 1) {
    SetParentFromChildren(tvCleanItems, tvCleanItems.Parent(node));
  }
}

void TfrmMain::tvRegistryMouseDown(UINT, POINT pt) {
  ui::TreeNode node = nullptr;
  if (tvRegistry.HitTest(pt, &node) != ui::TreeView::HitKind::StateIcon) return;
  int state = tvRegistry.StateIndex(node);
  if (state == 1 || state == 2) tvRegistry.SetStateIndex(node, 3 - state);
  int level = tvRegistry.Level(node);
  ui::TreeNode top = tvRegistry.First();
  if (level == 0) {
    WalkRegistryTree(top, tvRegistry.StateIndex(node));
  } else if (level == 1) {
    for (ui::TreeNode c = tvRegistry.FirstChild(node); c != nullptr; c = tvRegistry.NextSibling(c))
      tvRegistry.SetStateIndex(c, tvRegistry.StateIndex(node));
    SetParentFromChildren(tvRegistry, top);
  } else if (level == 2) {
    SetParentFromChildren(tvRegistry, tvRegistry.Parent(node));
    SetParentFromChildren(tvRegistry, top);
  }
}

// Every section stays in sight, so that no tick is hidden under a closed group.
bool TfrmMain::tvRegistryCollapsing(ui::TreeNode) { return false; }

void TfrmMain::LoadInstalledApplications() {
  ui::TreeNode apps = nullptr;
  for (ui::TreeNode n = tvCleanItems.First(); n != nullptr && apps == nullptr; n = tvCleanItems.NextSibling(n))
    if (::lstrcmpiW(tvCleanItems.NodeText(n).c_str(), L"Applications") == 0) apps = n;
  if (apps == nullptr) return;
  std::wstring dat = core::JoinPath(core::GetProgramFolder(), L"kavo.dat");
  if (::GetFileAttributesW(dat.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  std::vector<std::wstring> sections = core::guard::SettingsIni(dat).SectionNames();
  sys::RegistryKey uninstall;
  if (!uninstall.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall")) return;
  std::vector<std::wstring> added;
  for (const std::wstring& sub : uninstall.SubKeyNames()) {
    sys::RegistryKey key;
    std::wstring name;
    if (!key.Open(uninstall.Handle(), sub) || !key.ReadString(L"DisplayName", &name) || name.empty()) continue;
    std::wstring display = sys::UpperCase(name);
    for (const std::wstring& section : sections) {
      std::wstring s = sys::UpperCase(section);
      bool matches = display.find(s) != std::wstring::npos || s.find(display) != std::wstring::npos;
      if (!matches || std::find(added.begin(), added.end(), s) != added.end()) continue;
      tvCleanItems.Add(apps, section, 0);
      added.push_back(s);
    }
  }
}

void TfrmMain::UntickAllCleanNodes() { tvCleanItems.ForEach([this](ui::TreeNode n) { tvCleanItems.SetStateIndex(n, 1); }); }

// One pass over the tree however many captions the file names: each ticks
// the first node it names, as a walk per caption would.
void TfrmMain::TickCleanCaptions(const std::vector<std::wstring>& captions) {
  std::unordered_set<std::wstring> pending(captions.begin(), captions.end());
  tvCleanItems.ForEach([&](ui::TreeNode n) {
    if (pending.empty()) return;
    std::wstring caption = tvCleanItems.Level(n) == 0
                               ? tvCleanItems.NodeText(n)
                               : tvCleanItems.NodeText(tvCleanItems.Parent(n)) + L" - " + tvCleanItems.NodeText(n);
    if (pending.erase(caption) > 0) tvCleanItems.SetStateIndex(n, 2);
  });
}

std::vector<std::wstring> TfrmMain::TickedCleanCaptions() {
  std::vector<std::wstring> out;
  tvCleanItems.ForEach([&](ui::TreeNode n) {
    if (tvCleanItems.StateIndex(n) != 2) return;
    out.push_back(tvCleanItems.Level(n) == 0
                      ? tvCleanItems.NodeText(n)
                      : tvCleanItems.NodeText(tvCleanItems.Parent(n)) + L" - " + tvCleanItems.NodeText(n));
  });
  return out;
}

void TfrmMain::StoreRegistryTicks(bool (&check)[26]) {
  WalkRegistryTree(tvRegistry.First(), 99);
  if (&check[0] != &core::OptionsSetting.TreeViewNodeCheck[0])
    std::copy(std::begin(core::OptionsSetting.TreeViewNodeCheck), std::end(core::OptionsSetting.TreeViewNodeCheck), check);
}

RECT TfrmMain::WindowBounds() {
  // The placement's normal rectangle is the one the window returns to from
  // minimised, maximised or the tray; it is in work-area coordinates.
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  RECT r{};
  if (!::GetWindowPlacement(hwnd_, &wp)) {
    ::GetWindowRect(hwnd_, &r);
    return r;
  }
  r = wp.rcNormalPosition;
  POINT off = WorkAreaOffset(hwnd_);
  ::OffsetRect(&r, off.x, off.y);
  return r;
}

void TfrmMain::ApplyWindowBounds(const RECT& screen) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  if (!::GetWindowPlacement(hwnd_, &wp)) return;
  POINT off = WorkAreaOffset(hwnd_);
  wp.rcNormalPosition = screen;
  ::OffsetRect(&wp.rcNormalPosition, -off.x, -off.y);
  // The window keeps its present state; only the rectangle it has (or
  // returns to) changes.
  if (!::IsWindowVisible(hwnd_)) wp.showCmd = SW_HIDE;
  else if (::IsIconic(hwnd_)) wp.showCmd = SW_SHOWMINNOACTIVE;
  else if (::IsZoomed(hwnd_)) wp.showCmd = SW_SHOWMAXIMIZED;
  else wp.showCmd = SW_SHOWNOACTIVATE;
  ::SetWindowPlacement(hwnd_, &wp);
}

POINT WorkAreaOffset(HWND window) {
  // The placement calls measure from the work area's corner, which lies
  // below or right of the screen's corner when the taskbar is on top or left.
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  if (monitor == nullptr || !::GetMonitorInfoW(monitor, &mi)) return POINT{0, 0};
  if ((::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0) return POINT{0, 0};
  return POINT{mi.rcWork.left - mi.rcMonitor.left, mi.rcWork.top - mi.rcMonitor.top};
}

bool TfrmMain::WindowShowCommand(UINT* showCmd) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  if (!::GetWindowPlacement(hwnd_, &wp)) return false;
  *showCmd = wp.showCmd;
  return true;
}

}  // namespace app
