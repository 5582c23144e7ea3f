// Custom Controls and Invalid ActiveX end to end, and the name index that
// keeps them linear.
#include <random>

#include "SectionTest.h"
#include "registry/NameIndex.h"
#include "sys/TextCompare.h"

using namespace registry;
using namespace registry_test;

namespace {

std::wstring Hkcr(const std::wstring& key) { return L"HKEY_CLASSES_ROOT\\" + key; }

class ComSections : public SectionTest {
 protected:
  std::vector<std::pair<HKEY, std::wstring>> Places() const override {
    return {{HKEY_CLASSES_ROOT, L"CLSID"},
            {HKEY_CLASSES_ROOT, L"Interface"},
            {HKEY_CLASSES_ROOT, L"TypeLib"},
            {HKEY_CLASSES_ROOT, L"AppID"}};
  }
  static std::wstring Clsid(int n) { return L"CLSID\\" + TestGuid(n); }
  static std::wstring Interface(int n) { return L"Interface\\" + TestGuid(n); }

  void SeedInterface(int n, const std::wstring& name, const std::wstring* typeLib) const {
    SetText(HKEY_CLASSES_ROOT, Interface(n), L"", name);
    if (typeLib != nullptr) SetText(HKEY_CLASSES_ROOT, Interface(n) + L"\\TypeLib", L"", *typeLib);
  }
};

// Section 5 stands in the list but runs nothing: the COM sections then leave
// the trees to it.
class TWithoutHklmWalk : public TScanTaskThread {
 public:
  using TScanTaskThread::TScanTaskThread;

 protected:
  void RunSection(int id) override {
    if (id != sidHklm) TScanTaskThread::RunSection(id);
  }
};

TRows ScanBesideHklm(const std::wstring& section) {
  auto poster = std::make_shared<TRecordingPoster>();
  TWithoutHklmWalk thread(ScanSettingsFromSystem());
  thread.FSections = {L"5", section};
  thread.SetPoster(poster);
  EXPECT_TRUE(thread.Start());
  EXPECT_TRUE(thread.WaitFor(300000));
  return thread.Shared()->Rows.TakeAll();
}

TEST_F(ComSections, CustomControlsMissingServersAndUnregisteredTypeLibraries) {
  const TRows before = Scan({L"16"}), beforeBeside = ScanBesideHklm(L"16");
  const std::wstring gone = dir_.Missing(L"gone.dll");
  SetText(HKEY_CLASSES_ROOT, Clsid(1) + L"\\InprocServer32", L"", gone);
  SetText(HKEY_CLASSES_ROOT, Clsid(2) + L"\\InprocServer32", L"", dir_.File(L"present.dll"));
  SetText(HKEY_CLASSES_ROOT, Clsid(2), L"", L"Vantorel Present Class");
  const std::wstring registered = TestGuid(901), unregistered = TestGuid(902), empty;
  CreateKey(HKEY_CLASSES_ROOT, L"TypeLib\\" + registered);
  SeedInterface(10, L"IVantorelBad", &unregistered);
  SeedInterface(11, L"IVantorelGood", &registered);
  SeedInterface(12, L"IVantorelEmpty", &empty);
  std::wstring lowerCase = registered;
  for (auto& c : lowerCase) c = static_cast<wchar_t>(towlower(c));
  SeedInterface(13, L"IVantorelLowerCase", &lowerCase);
  SeedInterface(14, L"IVantorelNoLibrary", nullptr);

  const std::wstring p = Problem(sidCustomControls);
  const TRows interfaces = {{p, L"IVantorelBad - " + unregistered, Hkcr(Interface(10)), fkDeleteKey},
                            {p, L"IVantorelEmpty - ", Hkcr(Interface(12)), fkDeleteKey}};
  TRows all = interfaces;
  all.push_back({p, gone, Hkcr(Clsid(1)) + L"\\InprocServer32", fkDeleteKey});
  EXPECT_TRUE(AddsExactly(before, Scan({L"16"}), all));
  // With HKEY_LOCAL_MACHINE in the scan only the interfaces are examined.
  EXPECT_TRUE(AddsExactly(beforeBeside, ScanBesideHklm(L"16"), interfaces));
}

TEST_F(ComSections, ActiveXLibraryFilesAndUnregisteredAppIds) {
  const TRows before = Scan({L"20"}), beforeBeside = ScanBesideHklm(L"20");
  const std::wstring lib = L"TypeLib\\" + TestGuid(950);
  SetText(HKEY_CLASSES_ROOT, lib + L"\\1.0\\0\\win32", L"", dir_.Missing(L"gone.dll") + L"\\2");
  SetText(HKEY_CLASSES_ROOT, L"TypeLib\\" + TestGuid(951) + L"\\1.0\\0\\win32", L"", dir_.File(L"lib.dll"));
  auto appIdClass = [](int n, const std::wstring& appId) { SetText(HKEY_CLASSES_ROOT, Clsid(n), L"AppID", appId); };
  appIdClass(20, TestGuid(920));                             // unregistered, no server key
  appIdClass(21, TestGuid(921));                             // registered
  CreateKey(HKEY_CLASSES_ROOT, L"AppID\\" + TestGuid(921));
  appIdClass(22, TestGuid(922));                             // served by the accessibility library
  SetText(HKEY_CLASSES_ROOT, Clsid(22) + L"\\InprocServer32", L"", L"C:\\Windows\\OLEACC.DLL");
  appIdClass(23, TestGuid(923));                             // the class id itself is an AppID
  CreateKey(HKEY_CLASSES_ROOT, L"AppID\\" + TestGuid(23));
  appIdClass(24, TestGuid(924));                             // a server key without a file
  CreateKey(HKEY_CLASSES_ROOT, Clsid(24) + L"\\InprocServer32");
  appIdClass(25, L"");
  appIdClass(26, TestGuid(926));                             // a server elsewhere
  SetText(HKEY_CLASSES_ROOT, Clsid(26) + L"\\InprocServer32", L"", dir_.File(L"server.dll"));

  const std::wstring p = Problem(sidActiveX);
  const TRows appIds = {{p, TestGuid(920), Hkcr(Clsid(20)), fkDeleteKey},
                        {p, TestGuid(926), Hkcr(Clsid(26)), fkDeleteKey}};
  TRows all = appIds;
  all.push_back({p, dir_.Missing(L"gone.dll") + L"\\2", Hkcr(lib) + L"\\1.0\\0\\win32\\", fkDeleteValue});
  EXPECT_TRUE(AddsExactly(before, Scan({L"20"}), all));
  EXPECT_TRUE(AddsExactly(beforeBeside, ScanBesideHklm(L"20"), appIds));
}

bool NaiveAnyContains(const std::vector<std::wstring>& names, const std::wstring& text) {
  if (text.empty()) return false;
  for (const auto& n : names)
    if (sys::ContainsNoCase(n, text)) return true;
  return false;
}

TEST(NameIndex, AnswersLikeAskingEachName) {
  std::mt19937 rng(7);
  const std::wstring alphabet = L"abAB{}-1\\";
  auto randomText = [&](size_t maxLen) {
    std::wstring s(rng() % (maxLen + 1), L' ');
    for (auto& c : s) c = alphabet[rng() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 50; ++round) {
    std::vector<std::wstring> names;
    for (int i = rng() % 12; i > 0; --i) {
      std::wstring n = randomText(8);
      for (auto& c : n)
        if (c == L'\\') c = L'x';  // key names hold no backslash
      names.push_back(n);
    }
    const TNameIndex index(names);
    for (int q = 0; q < 200; ++q) {
      std::wstring text = randomText(5);
      ASSERT_EQ(index.AnyContains(text), NaiveAnyContains(names, text)) << round << " " << q;
    }
    for (const auto& n : names) EXPECT_EQ(index.AnyContains(sys::UpperCase(n)), !n.empty());
  }
  EXPECT_FALSE(TNameIndex({}).AnyContains(L"a"));
  EXPECT_FALSE(TNameIndex({L"abc"}).AnyContains(L""));
  EXPECT_FALSE(TNameIndex({L"ab", L"cd"}).AnyContains(L"bc"));  // never across two names
}

}  // namespace
