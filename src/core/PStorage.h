// Windows Protected Storage, where the browser keeps its auto-complete
// entries: a connection that lists item types, subtypes and item names of
// the current user and deletes single items. pstorec.dll is loaded when the
// program starts; without it (or its export) PStoreLoaded is false and
// nothing here calls anything.
#pragma once
#include <windows.h>
#include <pstore.h>

#include <memory>
#include <string>
#include <vector>

namespace core {

using PStoreCreateInstanceFn = HRESULT(WINAPI*)(IPStore** store, PST_PROVIDERID* provider, void* reserved,
                                                DWORD flags);

bool PStoreLoaded();
// Puts `entry` in place of the library's create-instance export (nullptr: as
// if the library were missing) and returns the one it replaced. For tests:
// the store Wine gives lists nothing.
PStoreCreateInstanceFn SetPStoreCreateInstance(PStoreCreateInstanceFn entry);

// The result lists; Count gives the number of entries.
class TEnumList {
 public:
  virtual ~TEnumList() = default;
  virtual int Count() const = 0;
};

class TIDList : public TEnumList {
 public:
  int Count() const override { return static_cast<int>(ids_.size()); }
  void Add(const GUID& id) { ids_.push_back(id); }
  GUID GetItem(int i) const { return ids_.at(static_cast<size_t>(i)); }

 private:
  std::vector<GUID> ids_;
};

// Item names as shown, cut to 255 characters; the name as the store gave it
// is kept too, so that a long name can still be deleted.
class TItemList : public TEnumList {
 public:
  static constexpr size_t kMaxShown = 255;
  int Count() const override { return static_cast<int>(names_.size()); }
  void Add(const std::wstring& name) { names_.push_back(name); }
  std::wstring GetItem(int i) const { return names_.at(static_cast<size_t>(i)).substr(0, kMaxShown); }
  const std::wstring& GetFullName(int i) const { return names_.at(static_cast<size_t>(i)); }

 private:
  std::vector<std::wstring> names_;
};

class TPStorage {
 public:
  TPStorage() = default;
  ~TPStorage() { Disconnect(); }
  TPStorage(const TPStorage&) = delete;
  TPStorage& operator=(const TPStorage&) = delete;

  // `providerID` nullptr: the default provider. A connected object is
  // disconnected first.
  bool Connect(const GUID* providerID = nullptr);
  void Disconnect();

  std::unique_ptr<TIDList> GetTypes();
  std::unique_ptr<TIDList> GetSubtypes(const GUID& typeID);
  std::unique_ptr<TItemList> GetItems(const GUID& typeID, const GUID& subtypeID);
  // Empty when not connected or on any failure.
  std::wstring GetTypeName(const GUID& typeID);
  bool DeleteItem(const GUID& typeID, const GUID& subtypeID, const std::wstring& itemName);

  PST_KEY Key = PST_KEY_CURRENT_USER;
  bool Connected = false;
  IPStore* Store = nullptr;
};

}  // namespace core
