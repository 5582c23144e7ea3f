// The browser's URL history store and URL cache, reached through small
// interfaces so that tests can give fakes (Wine's history object is a stub
// and its cache is the test user's own).
#pragma once
#include <windows.h>

#include <functional>
#include <string>

struct IUrlHistoryStg2;

namespace cleaner {

// Called for each URL; returns false to end the walk.
using UrlVisitor = std::function<bool(const std::wstring& url)>;

class IUrlHistory {
 public:
  virtual ~IUrlHistory() = default;
  // Walks the visited URLs; false when the store cannot be opened. Delete
  // may be called from inside the walk.
  virtual bool Walk(const UrlVisitor& visit) = 0;
  // S_OK when deleted; S_FALSE ends the walk; anything else failed.
  virtual HRESULT Delete(const std::wstring& url) = 0;
};

class IUrlCache {
 public:
  virtual ~IUrlCache() = default;
  // Walks the source URLs of the cache entries. Delete may be called from
  // inside the walk.
  virtual void Walk(const UrlVisitor& visit) = 0;
  virtual bool Delete(const std::wstring& url) = 0;
};

// The real ones.
class ComUrlHistory : public IUrlHistory {
 public:
  bool Walk(const UrlVisitor& visit) override;
  HRESULT Delete(const std::wstring& url) override;

 private:
  ::IUrlHistoryStg2* store_ = nullptr;  // set during a walk
};

class WinInetUrlCache : public IUrlCache {
 public:
  void Walk(const UrlVisitor& visit) override;
  bool Delete(const std::wstring& url) override;
};

}  // namespace cleaner
