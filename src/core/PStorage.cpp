#include "core/PStorage.h"

#include <objbase.h>

namespace core {
namespace {

// Loaded once when the program starts and freed when it ends.
class PStoreLibrary {
 public:
  PStoreLibrary() {
    module_ = ::LoadLibraryW(L"pstorec.dll");
    if (module_ == nullptr) return;
    entry_ = reinterpret_cast<PStoreCreateInstanceFn>(::GetProcAddress(module_, "PStoreCreateInstance"));
    if (entry_ == nullptr) {
      ::FreeLibrary(module_);
      module_ = nullptr;
    }
  }
  ~PStoreLibrary() {
    entry_ = nullptr;
    if (module_ != nullptr) ::FreeLibrary(module_);
  }
  PStoreCreateInstanceFn entry_ = nullptr;

 private:
  HMODULE module_ = nullptr;
};

PStoreLibrary& Library() {
  static PStoreLibrary library;
  return library;
}

// Loads the library while the program starts, not at the first use.
const bool kLoadedAtStart = (Library(), true);

// A broken enumerator that never runs dry must not hold the cleaner for ever.
constexpr size_t kMaxEntries = 100000;
constexpr DWORD kBatch = 16;

template <typename Enumerator, typename Entry, typename Take>
void ReadAll(Enumerator* e, Take take) {
  Entry batch[kBatch];
  for (size_t read = 0; read < kMaxEntries;) {
    DWORD fetched = 0;
    HRESULT hr = e->Next(kBatch, batch, &fetched);
    if (FAILED(hr) || fetched == 0) break;
    if (fetched > kBatch) fetched = kBatch;
    for (DWORD i = 0; i < fetched; ++i) take(batch[i]);
    read += fetched;
  }
  e->Release();
}

}  // namespace

bool PStoreLoaded() { return Library().entry_ != nullptr; }

PStoreCreateInstanceFn SetPStoreCreateInstance(PStoreCreateInstanceFn entry) {
  PStoreCreateInstanceFn old = Library().entry_;
  Library().entry_ = entry;
  return old;
}

bool TPStorage::Connect(const GUID* providerID) {
  if (!PStoreLoaded()) return false;
  if (Connected || Store != nullptr) Disconnect();
  IPStore* store = nullptr;
  HRESULT hr = Library().entry_(&store, const_cast<GUID*>(providerID), nullptr, 0);
  if (hr == S_OK && store != nullptr) {
    Store = store;
    Connected = true;
    return true;
  }
  if (store != nullptr) store->Release();
  Store = nullptr;
  return false;
}

void TPStorage::Disconnect() {
  if (Store != nullptr) Store->Release();
  Store = nullptr;
  Connected = false;
}

std::unique_ptr<TIDList> TPStorage::GetTypes() {
  auto list = std::make_unique<TIDList>();
  IEnumPStoreTypes* e = nullptr;
  if (!Connected || FAILED(Store->EnumTypes(Key, 0, &e)) || e == nullptr) return list;
  ReadAll<IEnumPStoreTypes, GUID>(e, [&](const GUID& id) { list->Add(id); });
  return list;
}

std::unique_ptr<TIDList> TPStorage::GetSubtypes(const GUID& typeID) {
  auto list = std::make_unique<TIDList>();
  IEnumPStoreTypes* e = nullptr;
  if (!Connected || FAILED(Store->EnumSubtypes(Key, &typeID, 0, &e)) || e == nullptr) return list;
  ReadAll<IEnumPStoreTypes, GUID>(e, [&](const GUID& id) { list->Add(id); });
  return list;
}

std::unique_ptr<TItemList> TPStorage::GetItems(const GUID& typeID, const GUID& subtypeID) {
  auto list = std::make_unique<TItemList>();
  IEnumPStoreItems* e = nullptr;
  if (!Connected || FAILED(Store->EnumItems(Key, &typeID, &subtypeID, 0, &e)) || e == nullptr) return list;
  ReadAll<IEnumPStoreItems, LPWSTR>(e, [&](LPWSTR name) {
    if (name == nullptr) return;
    list->Add(name);
    ::CoTaskMemFree(name);
  });
  return list;
}

std::wstring TPStorage::GetTypeName(const GUID& typeID) {
  if (!Connected) return std::wstring();
  PST_TYPEINFO* info = nullptr;
  if (Store->GetTypeInfo(Key, &typeID, &info, 0) != S_OK || info == nullptr) return std::wstring();
  std::wstring name = info->szDisplayName != nullptr ? info->szDisplayName : L"";
  ::CoTaskMemFree(info);
  return name;
}

bool TPStorage::DeleteItem(const GUID& typeID, const GUID& subtypeID, const std::wstring& itemName) {
  if (!Connected) return false;
  PST_PROMPTINFO prompt = {sizeof(PST_PROMPTINFO), 4, nullptr, L""};
  return Store->DeleteItem(Key, &typeID, &subtypeID, itemName.c_str(), &prompt, 0) == S_OK;
}

}  // namespace core
