// The item catalogue against the dispatch and the shipped kavo.dat.
#include <gtest/gtest.h>

#include <iostream>
#include <set>

#include "cleaner/ItemRoutines.h"
#include "cleaner/Masks.h"
#include "cleaner/items/CleanItemCatalogue.h"
#include "cleaner/items/DataFileEntries.h"
#include "cleaner/items/DataFiles.h"
#include "ItemsFakes.h"
#include "core/guard/SettingsFile.h"
#include "sys/IniFile.h"
#include "sys/Text.h"

using namespace cleaner;
using namespace items_test;

namespace {

std::wstring ShippedKavo() { return ProgramFolder() + kKavoFileName; }

bool HasSection(const std::vector<std::wstring>& sections, const std::wstring& name) {
  for (const auto& s : sections)
    if (SameName(s, name)) return true;
  return false;
}

bool IsBrowserGroup(const std::wstring& group) {
  return group == L"Internet Explorer" || group == L"Edge" || group == L"Opera" || group == L"Mozilla Firefox" ||
         group == L"Google Chrome";
}

int Depth(const std::wstring& path) {
  int parts = 0;
  bool inPart = false;
  for (wchar_t c : path) {
    if (c == L'\\') inPart = false;
    else if (!inPart) inPart = true, ++parts;
  }
  return parts;
}

}  // namespace

TEST(Catalogue, EveryCaptionReachesARoutineOrAShippedSection) {
  ItemRoutineTable table;
  RegisterCleanItems(table);
  std::vector<std::wstring> sections = ReadKavoSections(ShippedKavo());
  ASSERT_FALSE(sections.empty()) << "kavo.dat beside the test program";
  std::set<std::wstring> captions;
  std::set<int> groupIds;
  std::wstring pending;
  for (const CleanGroup& group : CleanItemCatalogue()) {
    EXPECT_TRUE(groupIds.insert(group.imageIndex).second) << group.text;
    for (const CleanLeaf& leaf : group.leaves) {
      std::wstring caption = CleanItemCaption(group.text, leaf.text);
      EXPECT_TRUE(captions.insert(caption).second) << "twice: " << testing::PrintToString(caption);
      ResolvedItem item = ResolveCaption(table, caption);
      if (leaf.handler == LeafHandler::CustomList) {
        EXPECT_EQ(item.file, DataFile::Custom);
      } else if (leaf.handler == LeafHandler::KavoSection) {
        EXPECT_EQ(item.routine, nullptr);
        EXPECT_TRUE(HasSection(sections, item.section)) << "no section for " << testing::PrintToString(caption);
      } else if (leaf.routine != nullptr) {
        EXPECT_NE(item.routine, nullptr) << testing::PrintToString(caption);
      } else {
        // Only browser items may still wait for their routines.
        EXPECT_TRUE(IsBrowserGroup(group.text)) << testing::PrintToString(caption);
        pending += L"\n  " + caption;
      }
    }
  }
  EXPECT_EQ(groupIds, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  if (!pending.empty()) std::cout << "Captions without a routine yet:" << sys::ToUtf8(pending) << std::endl;
}

TEST(Catalogue, LeafWithoutRoutineSaysItIsNotAvailableYet) {
  std::vector<std::wstring> waiting;
  for (const CleanGroup& group : CleanItemCatalogue())
    for (const CleanLeaf& leaf : group.leaves)
      if (leaf.handler == LeafHandler::Routine && leaf.routine == nullptr)
        waiting.push_back(CleanItemCaption(group.text, leaf.text));
  if (waiting.empty()) GTEST_SKIP() << "every leaf has its routine";
  for (CleanMode mode : {CleanMode::Test, CleanMode::RealClean}) {
    ItemRun run(mode);
    run.Run({waiting.front(), L"Windows - Clipboard"});
    bool said = false;
    for (const std::wstring& line : run.log->Lines()) said = said || line.find(waiting.front() + L": not available yet") != std::wstring::npos;
    EXPECT_TRUE(said) << testing::PrintToString(waiting.front());
    std::map<std::wstring, ItemResult> results = run.Results();
    EXPECT_EQ(results.count(waiting.front()), 0u) << "no count that reads as nothing found";
    EXPECT_EQ(results.count(L"Windows - Clipboard"), 1u) << "the next item still counts";
  }
}

// The shipped item database may only ever touch the current user's own
// history lists and caches.
TEST(Catalogue, ShippedKavoDatStaysNarrow) {
  std::string bytes = ReadBytes(ShippedKavo());
  ASSERT_FALSE(bytes.empty());
  for (unsigned char c : bytes) ASSERT_TRUE(c >= 0x20 ? c < 0x7F : (c == '\r' || c == '\n')) << "not plain ANSI";

  FolderTokens tokens;
  tokens.programFiles = L"C:\\PF";
  tokens.windows = L"C:\\W";
  tokens.localAppData = L"C:\\L";
  tokens.currentAppData = L"C:\\R";
  tokens.commonAppData = L"C:\\C";
  sys::IniFile ini = core::guard::SettingsIni(ShippedKavo());
  int entries = 0;
  for (const std::wstring& section : ini.SectionNames()) {
    for (const std::wstring& line : ini.SectionLines(section)) {
      SCOPED_TRACE(testing::PrintToString(line));
      DataLine entry = ClassifyDataLine(line);
      ASSERT_NE(entry.kind, EntryKind::None) << "every line is an entry";
      ++entries;
      if (entry.kind == EntryKind::Registry) {
        RegistryEntry reg;
        ASSERT_TRUE(ParseRegistryEntry(entry.value, &reg));
        EXPECT_EQ(reg.root, L"HKEY_CURRENT_USER");
        EXPECT_GE(Depth(reg.key), 3) << "no broad key";
        continue;
      }
      std::wstring base = entry.value.substr(0, entry.value.find(L'\\'));
      EXPECT_TRUE(base == L"%ProgramFiles%" || base == L"%windir%" || base == L"{Local AppData}" ||
                  base == L"{Current AppData}")
          << "a known folder, never a drive";
      FileEntry file;
      ASSERT_TRUE(ResolveFileEntry(entry.value, tokens, &file));
      int below = Depth(file.folder) - 2;  // "C:" and the token's folder
      if (file.form == FileEntryForm::Mask && file.mask.find(L'*') == std::wstring::npos) {
        EXPECT_GE(below, 0);
      } else if (file.form == FileEntryForm::Mask) {
        EXPECT_GE(below, 1) << "no wildcard at a known folder's root";
      } else {
        EXPECT_GE(below, 2) << "no whole vendor folder";
      }
    }
  }
  EXPECT_GT(entries, 10);
}

// A browser leaf that fell through to kavo.dat would run a section that
// merely shares its name; each has a routine of its own instead.
TEST(Catalogue, BrowserLeavesRunTheirOwnRoutines) {
  ItemRoutineTable table;
  RegisterCleanItems(table);
  std::set<CatalogueRoutine> seen;
  int leaves = 0;
  for (const CleanGroup& group : CleanItemCatalogue()) {
    std::wstring name = group.text;
    if (name != L"Edge" && name != L"Opera" && name != L"Mozilla Firefox" && name != L"Google Chrome") continue;
    for (const CleanLeaf& leaf : group.leaves) {
      ++leaves;
      std::wstring caption = CleanItemCaption(group.text, leaf.text);
      EXPECT_NE(ResolveCaption(table, caption).routine, nullptr) << testing::PrintToString(caption);
      EXPECT_TRUE(seen.insert(leaf.routine).second) << "shared routine: " << testing::PrintToString(caption);
    }
  }
  EXPECT_EQ(leaves, 30);
}
