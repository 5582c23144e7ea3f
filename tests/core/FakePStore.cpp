#include "FakePStore.h"

#include <objbase.h>

#include <algorithm>

namespace pstore_test {
namespace {

FakeStoreState state;

template <typename Base>
class RefCounted : public Base {
 public:
  HRESULT WINAPI QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG WINAPI AddRef() override { return ++refs_; }
  ULONG WINAPI Release() override {
    ULONG left = --refs_;
    if (left == 0) {
      Gone();
      delete this;
    }
    return left;
  }
  virtual ~RefCounted() = default;

 protected:
  virtual void Gone() {}

 private:
  ULONG refs_ = 1;
};

template <typename Interface, typename Entry, typename Item>
class FakeEnum : public RefCounted<Interface> {
 public:
  explicit FakeEnum(std::vector<Item> items) : items_(std::move(items)) {}
  HRESULT WINAPI Next(DWORD celt, Entry* out, DWORD* fetched) override {
    ++state.nextCalls;
    DWORD n = 0;
    for (; n < celt && pos_ < items_.size(); ++n, ++pos_) out[n] = Make(items_[pos_]);
    *fetched = n;
    return n == celt ? S_OK : S_FALSE;
  }
  HRESULT WINAPI Skip(DWORD) override { return E_NOTIMPL; }
  HRESULT WINAPI Reset() override { return E_NOTIMPL; }
  HRESULT WINAPI Clone(Interface**) override { return E_NOTIMPL; }

 private:
  static GUID Make(const GUID& g) { return g; }
  static LPWSTR Make(const std::wstring& s) {
    auto* p = static_cast<LPWSTR>(::CoTaskMemAlloc((s.size() + 1) * sizeof(wchar_t)));
    std::copy(s.c_str(), s.c_str() + s.size() + 1, p);
    return p;
  }
  std::vector<Item> items_;
  size_t pos_ = 0;
};

using TypeEnum = FakeEnum<IEnumPStoreTypes, GUID, GUID>;
using ItemEnum = FakeEnum<IEnumPStoreItems, LPWSTR, std::wstring>;

const FakeType* FindType(const GUID* id) {
  for (const FakeType& t : state.types)
    if (IsEqualGUID(t.id, *id)) return &t;
  return nullptr;
}

const FakeSubtype* FindSubtype(const GUID* type, const GUID* id) {
  const FakeType* t = FindType(type);
  if (t == nullptr) return nullptr;
  for (const FakeSubtype& s : t->subtypes)
    if (IsEqualGUID(s.id, *id)) return &s;
  return nullptr;
}

class FakeStore : public RefCounted<IPStore> {
 public:
  HRESULT WINAPI GetInfo(PPST_PROVIDERINFO*) override { return E_NOTIMPL; }
  HRESULT WINAPI GetProvParam(DWORD, DWORD*, BYTE**, DWORD) override { return E_NOTIMPL; }
  HRESULT WINAPI SetProvParam(DWORD, DWORD, BYTE*, DWORD) override { return E_NOTIMPL; }
  HRESULT WINAPI CreateType(PST_KEY, const GUID*, PPST_TYPEINFO, DWORD) override { return E_NOTIMPL; }
  HRESULT WINAPI GetTypeInfo(PST_KEY, const GUID* type, PPST_TYPEINFO* info, DWORD) override {
    const FakeType* t = FindType(type);
    if (t == nullptr || t->name.empty()) return E_FAIL;
    // One block holds the record and its name, so that one free releases both.
    size_t bytes = sizeof(PST_TYPEINFO) + (t->name.size() + 1) * sizeof(wchar_t);
    auto* record = static_cast<PST_TYPEINFO*>(::CoTaskMemAlloc(bytes));
    record->cbSize = sizeof(PST_TYPEINFO);
    record->szDisplayName = reinterpret_cast<LPWSTR>(record + 1);
    std::copy(t->name.c_str(), t->name.c_str() + t->name.size() + 1, record->szDisplayName);
    *info = record;
    return S_OK;
  }
  HRESULT WINAPI DeleteType(PST_KEY, const GUID*, DWORD) override { return E_NOTIMPL; }
  HRESULT WINAPI CreateSubtype(PST_KEY, const GUID*, const GUID*, PPST_TYPEINFO, PPST_ACCESSRULESET,
                               DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI GetSubtypeInfo(PST_KEY, const GUID*, const GUID*, PPST_TYPEINFO*, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI DeleteSubtype(PST_KEY, const GUID*, const GUID*, DWORD) override { return E_NOTIMPL; }
  HRESULT WINAPI ReadAccessRuleset(PST_KEY, const GUID*, const GUID*, PPST_ACCESSRULESET*, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI WriteAccessRuleset(PST_KEY, const GUID*, const GUID*, PPST_ACCESSRULESET, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI EnumTypes(PST_KEY, DWORD, IEnumPStoreTypes** out) override {
    std::vector<GUID> ids;
    for (const FakeType& t : state.types) ids.push_back(t.id);
    *out = new TypeEnum(ids);
    return S_OK;
  }
  HRESULT WINAPI EnumSubtypes(PST_KEY, const GUID* type, DWORD, IEnumPStoreTypes** out) override {
    const FakeType* t = FindType(type);
    if (t == nullptr) return E_FAIL;
    std::vector<GUID> ids;
    for (const FakeSubtype& s : t->subtypes) ids.push_back(s.id);
    *out = new TypeEnum(ids);
    return S_OK;
  }
  HRESULT WINAPI DeleteItem(PST_KEY, const GUID* type, const GUID* subtype, LPCWSTR name, PPST_PROMPTINFO prompt,
                            DWORD) override {
    state.promptSize = prompt != nullptr ? prompt->cbSize : 0;
    state.promptFlags = prompt != nullptr ? prompt->dwPromptFlags : 0;
    const FakeSubtype* s = FindSubtype(type, subtype);
    if (s == nullptr || std::find(s->items.begin(), s->items.end(), name) == s->items.end()) return E_FAIL;
    state.deleted.push_back(name);
    return S_OK;
  }
  HRESULT WINAPI ReadItem(PST_KEY, const GUID*, const GUID*, LPCWSTR, DWORD*, BYTE**, PPST_PROMPTINFO,
                          DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI WriteItem(PST_KEY, const GUID*, const GUID*, LPCWSTR, DWORD, BYTE*, PPST_PROMPTINFO, DWORD,
                           DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI OpenItem(PST_KEY, const GUID*, const GUID*, LPCWSTR, PST_ACCESSMODE, PPST_PROMPTINFO,
                          DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI CloseItem(PST_KEY, const GUID*, const GUID*, LPCWSTR, DWORD) override { return E_NOTIMPL; }
  HRESULT WINAPI EnumItems(PST_KEY, const GUID* type, const GUID* subtype, DWORD, IEnumPStoreItems** out) override {
    const FakeSubtype* s = FindSubtype(type, subtype);
    if (s == nullptr) return E_FAIL;
    *out = new ItemEnum(s->items);
    return S_OK;
  }

 protected:
  void Gone() override { ++state.released; }
};

}  // namespace

FakeStoreState& Fake() { return state; }
void ResetFake() { state = FakeStoreState(); }

HRESULT WINAPI FakeCreateInstance(IPStore** store, PST_PROVIDERID*, void*, DWORD) {
  ++state.created;
  *store = new FakeStore();
  return S_OK;
}

GUID MakeGuid(int n) {
  GUID g = {0x5ee0a000u + unsigned(n), 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
  return g;
}

}  // namespace pstore_test
