#include "SkinTestData.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "support/TestSupport.h"

namespace {
constexpr std::size_t kLargeBuffer = 1u << 20;
std::atomic<int> largeBuffers{0};
}  // namespace

// Counts what LargeBuffers() tells; kept apart from the tests, so that no
// call site sees this pair inlined.
void* operator new(std::size_t size) {
  if (size >= kLargeBuffer) ++largeBuffers;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace skintest {

int LargeBuffers() { return largeBuffers; }

std::wstring DataPath(const std::string& name) {
  return testing_support::FromUnixPath(testing_support::Env(L"VANTOREL_SOURCE_DIR") + L"/tests/skin_file/data/" +
                                       std::wstring(name.begin(), name.end()));
}

std::wstring FuzzPath(const std::string& folder) {
  return testing_support::FromUnixPath(testing_support::Env(L"VANTOREL_SOURCE_DIR") + L"/tests/fuzz/" +
                                       std::wstring(folder.begin(), folder.end()));
}

Bytes ReadFileBytes(const std::wstring& path) {
  Bytes bytes;
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size{};
  DWORD got = 0;
  if (::GetFileSizeEx(h, &size)) {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    if (!bytes.empty() && !::ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) bytes.clear();
  }
  ::CloseHandle(h);
  return bytes;
}

Bytes ReadData(const std::string& name) { return ReadFileBytes(DataPath(name)); }

}  // namespace skintest
