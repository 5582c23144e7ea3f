#include "cleaner/items/OfficeItems.h"

#include "cleaner/items/CleanItems.h"

namespace cleaner {
namespace {

const wchar_t kOfficeKey[] = L"Software\\Microsoft\\Office\\";
const wchar_t kRecentFolder[] = L"Microsoft\\Office\\Recent";
#define FRONTPAGE L"Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\"

OfficeVersionedStep Key(const wchar_t* key) { return {false, key, nullptr}; }
OfficeVersionedStep Value(const wchar_t* key, const wchar_t* name) { return {true, key, name}; }

std::vector<OfficeItem> MakeItems() {
  const wchar_t* visioApp = L"\\Visio\\Application";
  return {
      {L"Access", true, {L"*.mdb"},
       {{8, 11, {Key(L"\\Access\\Settings")}},
        {12, 15, {Key(L"\\Access\\File MRU"), Key(L"\\Access\\Recent Templates")}}},
       {}},
      {L"Excel", true, {L"*.xls"},
       {{8, 15, {Key(L"\\Excel\\Recent Files"), Key(L"\\Excel\\File MRU"), Key(L"\\Excel\\Recent Templates"),
                 Key(L"\\Excel\\Place MRU")}}},
       {}},
      {L"FrontPage", true, {L"*.htm", L"*.html"},
       {},
       {FRONTPAGE L"Recent File List", FRONTPAGE L"Recent Page List", FRONTPAGE L"Recent Web List"}},
      {L"Powerpoint", true, {L"*.ppt"},
       {{8, 15, {Key(L"\\PowerPoint\\Recent File List"), Key(L"\\PowerPoint\\Recent Folder List"),
                 Key(L"\\PowerPoint\\File MRU"), Key(L"\\PowerPoint\\Recent Templates"),
                 Key(L"\\PowerPoint\\Place MRU"), Key(L"\\PowerPoint\\RecentFolderList")}}},
       {}},
      {L"Word", true, {L"*.doc"},
       {{8, 15, {Value(L"\\Word\\Data", L"Settings"), Key(L"\\Word\\Data\\File MRU"),
                 Key(L"\\Word\\Data\\Recent Templates"), Key(L"\\Word\\Data\\Place MRU")}}},
       {}},
      {L"Visio", true, {L"*.vsd"},
       {{11, 11, {Value(visioApp, L"LastFile1"), Value(visioApp, L"LastFile2"), Value(visioApp, L"LastFile3"),
                  Value(visioApp, L"LastFile4"), Value(visioApp, L"LastFile5"), Value(visioApp, L"LastFile6"),
                  Value(visioApp, L"LastFile7"), Value(visioApp, L"LastFile8"), Value(visioApp, L"LastFile9")}},
        {11, 15, {Key(L"\\Visio\\File MRU"), Key(L"\\Visio\\Recent Templates")}}},
       {}},
      {L"Publisher", false, {},
       {{11, 15, {Key(L"\\Publisher\\Recent File List"), Key(L"\\Publisher\\File MRU"),
                  Key(L"\\Publisher\\Recent Templates")}}},
       {}},
      {L"InfoPath", false, {},
       {{12, 15, {Key(L"\\InfoPath\\File MRU"), Key(L"\\InfoPath\\Designer File MRU"),
                  Key(L"\\InfoPath\\Filler File MRU"), Key(L"\\InfoPath\\Recent Templates")}}},
       {}},
      {L"Recent Files", true, {L"*.*"}, {}, {}},
  };
}

void RunOffice(TClearTaskThread& t, const wchar_t* leaf) {
  const OfficeItem* item = FindOfficeItem(leaf);
  if (item == nullptr) return;
  RunItemSteps(t, OfficeItemSteps(*item), item->needsAppData ? StepBase::AppData : StepBase::Registry);
}

}  // namespace

const std::vector<OfficeItem>& OfficeItems() {
  static const std::vector<OfficeItem> items = MakeItems();
  return items;
}

const OfficeItem* FindOfficeItem(const std::wstring& leaf) {
  for (const OfficeItem& item : OfficeItems()) {
    if (leaf == item.leaf) return &item;
  }
  return nullptr;
}

std::vector<ItemStep> OfficeItemSteps(const OfficeItem& item) {
  std::vector<ItemStep> steps;
  for (const wchar_t* mask : item.masks) steps.push_back({StepOp::FilesByMask, StepBase::AppData, kRecentFolder, mask});
  for (const OfficeRange& range : item.ranges) {
    for (int v = range.from; v <= range.to; ++v) {
      std::wstring version = kOfficeKey + std::to_wstring(v) + L".0";
      for (const OfficeVersionedStep& s : range.steps) {
        if (s.value) steps.push_back({StepOp::DeleteValue, StepBase::Registry, version + s.key, s.name});
        else steps.push_back({StepOp::DeleteKey, StepBase::Registry, version + s.key, L""});
      }
    }
  }
  for (const wchar_t* key : item.fixedKeys) steps.push_back({StepOp::DeleteKey, StepBase::Registry, key, L""});
  return steps;
}

void ClearOfficeAccess(TClearTaskThread& t, const ItemServices&) { RunOffice(t, L"Access"); }
void ClearOfficeExcel(TClearTaskThread& t, const ItemServices&) { RunOffice(t, L"Excel"); }
void ClearOfficeFrontPage(TClearTaskThread& t, const ItemServices&) { RunOffice(t, L"FrontPage"); }
void ClearOfficePowerPoint(TClearTaskThread& t, const ItemServices&) { RunOffice(t, L"Powerpoint"); }
void ClearOfficeWord(TClearTaskThread& t, const ItemServices&) { RunOffice(t, L"Word"); }
void ClearOfficeVisio(TClearTaskThread& t, const ItemServices&) { RunOffice(t, L"Visio"); }
void ClearOfficePublisher(TClearTaskThread& t, const ItemServices&) { RunOffice(t, L"Publisher"); }
void ClearOfficeInfoPath(TClearTaskThread& t, const ItemServices&) { RunOffice(t, L"InfoPath"); }
void ClearOfficeRecentFiles(TClearTaskThread& t, const ItemServices&) { RunOffice(t, L"Recent Files"); }

}  // namespace cleaner
