#include "RegistryFixture.h"

#include <algorithm>
#include <iterator>

#include "sys/RegistryKey.h"
#include "sys/Text.h"

namespace registry_test {

bool CreateBrokenLink(HKEY root, const std::wstring& key) {
  HKEY h = nullptr;
  if (::RegCreateKeyExW(root, key.c_str(), 0, nullptr, REG_OPTION_VOLATILE | REG_OPTION_CREATE_LINK,
                        KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &h, nullptr) != ERROR_SUCCESS)
    return false;
  std::wstring target = L"\\Registry\\Machine\\Software\\VantorelNoSuchKey\\Nowhere";
  LONG rc = ::RegSetValueExW(h, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target.data()),
                             static_cast<DWORD>(target.size() * sizeof(wchar_t)));
  ::RegCloseKey(h);
  HKEY probe = nullptr;
  bool opens = ::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &probe) == ERROR_SUCCESS;
  if (probe) ::RegCloseKey(probe);
  return rc == ERROR_SUCCESS && !opens;
}

void DeleteLink(HKEY root, const std::wstring& key) {
  using TNtDeleteKey = LONG(WINAPI*)(HANDLE);
  auto deleteKey = reinterpret_cast<TNtDeleteKey>(::GetProcAddress(::GetModuleHandleW(L"ntdll"), "NtDeleteKey"));
  HKEY h = nullptr;
  if (deleteKey == nullptr || ::RegOpenKeyExW(root, key.c_str(), REG_OPTION_OPEN_LINK, DELETE, &h) != ERROR_SUCCESS)
    return;
  deleteKey(h);
  ::RegCloseKey(h);
}

TRecordingPoster::TRecordingPoster() : finished_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

TRecordingPoster::~TRecordingPoster() { ::CloseHandle(finished_); }

void TRecordingPoster::Post(UINT message) {
  std::lock_guard<std::mutex> lock(mutex_);
  messages_.push_back(message);
  if (message == registry::WM_SCANFINISHED) ::SetEvent(finished_);
}

std::vector<UINT> TRecordingPoster::Messages() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_;
}

int TRecordingPoster::Count(UINT message) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(std::count(messages_.begin(), messages_.end(), message));
}

TRows Without(TRows a, TRows b) {
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  TRows out;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

std::string Describe(const TRows& rows) {
  std::string s;
  for (const auto& r : rows)
    s += "  [" + sys::ToUtf8(r.Problem) + "] " + sys::ToUtf8(r.RegistryKey) + " | " + sys::ToUtf8(r.Data) + " | kind " +
         std::to_string(r.FixKind) + "\n";
  return s;
}

TRows RunScan(const std::vector<std::wstring>& sections, const registry::TScanSettings& settings) {
  auto poster = std::make_shared<TRecordingPoster>();
  registry::TScanTaskThread thread(settings);
  thread.FSections = sections;
  thread.SetPoster(poster);
  EXPECT_TRUE(thread.Start());
  EXPECT_TRUE(thread.WaitFor(300000));
  EXPECT_EQ(poster->Count(registry::WM_SCANSECTIONDONE), static_cast<int>(sections.size()));
  EXPECT_EQ(poster->Count(registry::WM_SCANFINISHED), 1);
  return thread.Shared()->Rows.TakeAll();
}

::testing::AssertionResult AddsExactly(const TRows& before, const TRows& after, const TRows& expected) {
  TRows added = Without(after, before);
  TRows unexpected = Without(added, expected), missing = Without(expected, added), lost = Without(before, after);
  if (unexpected.empty() && missing.empty() && lost.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "unexpected rows:\n"
                                       << Describe(unexpected) << "missing rows:\n"
                                       << Describe(missing) << "rows lost:\n"
                                       << Describe(lost);
}

std::vector<std::wstring> UserHivesShowing(const std::wstring& key) {
  std::vector<std::wstring> sids;
  sys::RegistryKey users;
  users.Open(HKEY_USERS, L"");
  for (const auto& sid : users.SubKeyNames())
    if (KeyExists(HKEY_USERS, sid + L"\\" + key)) sids.push_back(sid);
  return sids;
}

}  // namespace registry_test
