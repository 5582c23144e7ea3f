// The scan's row filter through the keys the previous rows opened gives the
// verdict a fix gives on keys it opens alone, whatever the order of the rows.
#include <gtest/gtest.h>

#include <memory>

#include "RegistryFixture.h"
#include "registry/FixEntry.h"
#include "sys/Text.h"

using namespace registry;
using namespace registry_test;

namespace {

const std::wstring kBase = L"Software\\VantorelScanTest\\Chain";
const std::wstring kTarget = L"Software\\VantorelScanTest\\ChainTarget";

struct Target {
  const wchar_t* key;    // below kBase
  const wchar_t* value;  // nullptr: the whole key
};

TFixVerdict Judge(const Target& t, core::guard::KeyChain* chain, std::wstring* reason) {
  const std::wstring key = t.key[0] == L'\0' ? kBase : kBase + L"\\" + t.key;
  auto entry = t.value == nullptr ? std::make_unique<TFixEntry>(HKEY_CURRENT_USER, key, chain)
                                  : std::make_unique<TFixEntry>(HKEY_CURRENT_USER, key, t.value, true, chain);
  *reason = entry->Reason();
  return entry->Verdict();
}

}  // namespace

// Each row after the ones before it, twice over: a key and a value of one
// branch, a key held for a value row and then deleted whole, a link as a key
// and on the way, a volatile key and one below it, a link below a key, what
// is missing, and the top of the branch (which holds the links).
TEST(FixChain, RowsThroughTheChainAreJudgedAsAlone) {
  DeleteTree(HKEY_CURRENT_USER, L"Software\\VantorelScanTest");
  SetText(HKEY_CURRENT_USER, kBase + L"\\A\\B\\C", L"V", L"x");
  SetText(HKEY_CURRENT_USER, kBase + L"\\A\\B", L"V", L"x");
  SetText(HKEY_CURRENT_USER, kTarget + L"\\child", L"V", L"x");
  SetText(HKEY_CURRENT_USER, kBase + L"\\A\\Holder\\Sub", L"V", L"x");
  HKEY key = nullptr;
  for (const wchar_t* vol : {L"\\A\\Vol", L"\\A\\Vol\\Sub"}) {
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (kBase + vol).c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
  }
  SetText(HKEY_CURRENT_USER, kBase + L"\\A\\Vol", L"V", L"x");
  const std::wstring links[] = {kBase + L"\\A\\Link", kBase + L"\\A\\Holder\\Sub\\Link"};
  bool linked = true;
  for (const auto& link : links) linked = MakeRegLink(link, testing_support::NativeUserKey(kTarget)) && linked;

  const Target rows[] = {
      {L"A\\B\\C", L"V"},     {L"A\\B", nullptr},           {L"A\\B", L"V"},          {L"A\\B\\C", nullptr},
      {L"A\\Link\\child", L"V"}, {L"A\\Link", nullptr},      {L"A\\Link", L"V"},       {L"A\\Link\\child", nullptr},
      {L"A\\Vol", L"V"},      {L"A\\Vol\\Sub", nullptr},    {L"A\\Vol\\Sub", L"V"},   {L"A\\Holder", nullptr},
      {L"A\\Holder\\Sub", nullptr}, {L"A\\Holder\\Sub", L"V"}, {L"A\\B", L"Missing"}, {L"A\\Nope", nullptr},
      {L"A\\B\\C\\Nope", L"V"}, {L"", nullptr},             {L"A\\B\\C", L"V"},
  };
  core::guard::KeyChain chain;
  for (int pass = 0; pass < 2; ++pass) {
    for (const Target& row : rows) {
      std::wstring alone, through;
      const TFixVerdict expected = Judge(row, nullptr, &alone);
      EXPECT_EQ(Judge(row, &chain, &through), expected)
          << "pass " << pass << ": " << sys::ToUtf8(row.key) << (row.value ? " value" : " key") << ": "
          << sys::ToUtf8(through) << " / alone: " << sys::ToUtf8(alone);
      EXPECT_EQ(through, alone) << sys::ToUtf8(row.key);
    }
  }
  chain.Clear();
  for (const auto& link : links) RemoveRegLink(link);
  DeleteTree(HKEY_CURRENT_USER, L"Software\\VantorelScanTest");
  if (!linked) GTEST_SKIP() << "this registry makes no links: the rows through one judged plain keys";
}
