// A Protected Storage of types, subtypes and items held in memory, reached
// through a create-instance entry that replaces the library's.
#pragma once
#include <windows.h>
#include <pstore.h>

#include <string>
#include <vector>

namespace pstore_test {

struct FakeSubtype {
  GUID id;
  std::vector<std::wstring> items;
};

struct FakeType {
  GUID id;
  std::wstring name;  // empty: GetTypeInfo fails
  std::vector<FakeSubtype> subtypes;
};

struct FakeStoreState {
  std::vector<FakeType> types;
  std::vector<std::wstring> deleted;  // item names in the order deleted
  int created = 0;
  int released = 0;  // stores whose last reference went
  int nextCalls = 0; // enumerator Next calls
  DWORD promptSize = 0;
  DWORD promptFlags = 0;
};

// The one fake; Reset clears it.
FakeStoreState& Fake();
void ResetFake();
HRESULT WINAPI FakeCreateInstance(IPStore** store, PST_PROVIDERID* provider, void* reserved, DWORD flags);

GUID MakeGuid(int n);

}  // namespace pstore_test
