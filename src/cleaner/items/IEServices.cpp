#include "cleaner/items/IEServices.h"

#include <objbase.h>
#include <urlhist.h>
#include <wininet.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace cleaner {
namespace {

// The history object and its interface (kept here: not every import
// library carries them).
const CLSID kUrlHistoryClass = {0x3c374a40, 0xbae4, 0x11cf, {0xbf, 0x7d, 0x00, 0xaa, 0x00, 0x69, 0x46, 0xee}};
const IID kUrlHistoryStg2 = {0xafa0dc11, 0xc313, 0x11d0, {0x83, 0x1a, 0x00, 0xc0, 0x4f, 0xd5, 0xae, 0x38}};

class ComScope {
 public:
  ComScope() : ok_(SUCCEEDED(::CoInitialize(nullptr))) {}
  ~ComScope() {
    if (ok_) ::CoUninitialize();
  }

 private:
  bool ok_;
};

// One cache entry, read into a buffer that grows to the size the system asks for.
class CacheEntry {
 public:
  INTERNET_CACHE_ENTRY_INFOW* Get() { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer_.data()); }
  DWORD Capacity() const { return DWORD(buffer_.size()); }
  void Grow(DWORD wanted) { buffer_.assign(std::max<size_t>(wanted, buffer_.size() * 2), 0); }

 private:
  std::vector<uint8_t> buffer_ = std::vector<uint8_t>(4096);
};

}  // namespace

bool ComUrlHistory::Walk(const UrlVisitor& visit) {
  ComScope com;
  IUrlHistoryStg2* store = nullptr;
  if (FAILED(::CoCreateInstance(kUrlHistoryClass, nullptr, CLSCTX_INPROC_SERVER, kUrlHistoryStg2,
                                reinterpret_cast<void**>(&store))) ||
      store == nullptr)
    return false;
  IEnumSTATURL* urls = nullptr;
  if (FAILED(store->EnumUrls(&urls)) || urls == nullptr) {
    store->Release();
    return false;
  }
  store_ = store;
  STATURL stat = {};
  stat.cbSize = sizeof(stat);
  ULONG fetched = 0;
  while (urls->Next(1, &stat, &fetched) == S_OK && fetched == 1) {
    std::wstring url = stat.pwcsUrl != nullptr ? stat.pwcsUrl : L"";
    ::CoTaskMemFree(stat.pwcsUrl);
    ::CoTaskMemFree(stat.pwcsTitle);
    stat.pwcsUrl = stat.pwcsTitle = nullptr;
    if (!visit(url)) break;
  }
  store_ = nullptr;
  urls->Release();
  store->Release();
  return true;
}

HRESULT ComUrlHistory::Delete(const std::wstring& url) {
  return store_ == nullptr ? E_UNEXPECTED : store_->DeleteUrl(url.c_str(), 0);
}

void WinInetUrlCache::Walk(const UrlVisitor& visit) {
  ::InternetSetOptionW(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0);
  CacheEntry entry;
  DWORD size = entry.Capacity();
  HANDLE find = ::FindFirstUrlCacheEntryW(nullptr, entry.Get(), &size);
  if (find == nullptr && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    entry.Grow(size);
    size = entry.Capacity();
    find = ::FindFirstUrlCacheEntryW(nullptr, entry.Get(), &size);
  }
  if (find == nullptr) return;
  for (;;) {
    const wchar_t* url = entry.Get()->lpszSourceUrlName;
    if (!visit(url != nullptr ? url : L"")) break;
    size = entry.Capacity();
    if (::FindNextUrlCacheEntryW(find, entry.Get(), &size)) continue;
    // Any error but a short buffer (the end included) ends the walk, so
    // that it cannot loop.
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    entry.Grow(size);
    size = entry.Capacity();
    if (!::FindNextUrlCacheEntryW(find, entry.Get(), &size)) break;
  }
  ::FindCloseUrlCache(find);
}

bool WinInetUrlCache::Delete(const std::wstring& url) { return ::DeleteUrlCacheEntryW(url.c_str()) != 0; }

}  // namespace cleaner
