#include "core/Files.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwctype>
#include <vector>

#include "core/Errors.h"
#include "core/guard/FileNames.h"

namespace core {
namespace {

bool FileExists(const std::wstring& name) {
  DWORD attrs = ::GetFileAttributesW(name.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring FullPath(const std::wstring& name) {
  DWORD n = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (n == 0) return name;
  std::wstring full(n, L'\0');
  n = ::GetFullPathNameW(name.c_str(), n, full.data(), nullptr);
  full.resize(n);
  return full;
}

// The size of the first match of a search for `name`; false when none.
bool FindSize(const std::wstring& name, std::int64_t* size) {
  WIN32_FIND_DATAW data{};
  HANDLE find = ::FindFirstFileW(FullPath(name).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  ::FindClose(find);
  *size = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
  return true;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Length of the root of a full path ("C:\" or "\\server\share\"), 0 when the
// path is not a full one.
size_t RootLength(const std::wstring& p) {
  if (p.size() >= 3 && iswalpha(p[0]) && p[1] == L':' && IsSeparator(p[2])) return 3;
  if (p.size() < 5 || !IsSeparator(p[0]) || !IsSeparator(p[1])) return 0;
  size_t server = p.find_first_of(L"\\/", 2);
  if (server == std::wstring::npos || server == 2) return 0;
  size_t share = p.find_first_of(L"\\/", server + 1);
  if (share == std::wstring::npos || share == server + 1) return 0;
  return share + 1;
}

template <class T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (p_ != nullptr) p_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T* operator->() const { return p_; }
  void** Out() { return reinterpret_cast<void**>(&p_); }

 private:
  T* p_ = nullptr;
};

}  // namespace

std::int64_t GetFileSize64(const std::wstring& FileName) {
  if (!FileExists(FileName)) return 0;
  std::int64_t size = 0;
  return FindSize(FileName, &size) ? size : -1;
}

std::int64_t GetFileSizeByFind(const std::wstring& FileName) {
  std::int64_t size = 0;
  return FindSize(FileName, &size) ? size : 0;
}

bool IsFileInUse(const std::wstring& FileName) {
  if (!FileExists(FileName)) return false;
  HANDLE h = ::CreateFileW(FileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return true;
  ::CloseHandle(h);
  return false;
}

bool IsSafeDeletePath(const std::wstring& Path) {
  const size_t root = RootLength(Path);
  if (root == 0 || Path.find_first_of(L"*?") != std::wstring::npos) return false;
  // A stream name makes a folder or file another thing ("C:\Windows::$INDEX_ALLOCATION").
  if (guard::HasStreamName(Path)) return false;
  bool anyPart = false;
  for (size_t at = root; at < Path.size();) {
    size_t end = Path.find_first_of(L"\\/", at);
    if (end == std::wstring::npos) end = Path.size();
    const std::wstring part = Path.substr(at, end - at);
    if (part == L"." || part == L"..") return false;
    anyPart = anyPart || !part.empty();
    at = end + 1;
  }
  return anyPart;
}

bool ShellDeletePath(const std::wstring& Path) {
  // The shell would resolve a relative path against the current folder and
  // expand wildcards: only a plain full path is handed to it.
  if (!IsSafeDeletePath(Path)) return false;
  std::vector<wchar_t> from(Path.begin(), Path.end());
  from.push_back(L'\0');
  from.push_back(L'\0');
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.data();
  // No FOF_ALLOWUNDO: removed for good. No dialog may block an unattended run.
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  return ::SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

std::wstring GetShortPath(const std::wstring& Path) {
  wchar_t buf[MAX_PATH] = {};
  DWORD n = ::GetShortPathNameW(Path.c_str(), buf, MAX_PATH - 1);
  if (n == 0 || n >= MAX_PATH - 1) return {};
  return std::wstring(buf, n);
}

std::wstring GetShortcutTarget(const std::wstring& LinkFile) {
  // A thread already in the multi-threaded apartment can use the object too.
  HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(init) && init != RPC_E_CHANGED_MODE) return {};
  ComRef<IShellLinkW> link;
  HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.Out());
  if (FAILED(hr)) throw ComError(hr);
  ComRef<IPersistFile> file;
  hr = link->QueryInterface(IID_IPersistFile, file.Out());
  if (FAILED(hr)) throw ComError(hr);
  wchar_t target[MAX_PATH + 1] = {};
  if (FAILED(file->Load(LinkFile.c_str(), 0)) ||
      FAILED(link->GetPath(target, MAX_PATH + 1, nullptr, SLGP_UNCPRIORITY)))
    return {};
  return target;
}

}  // namespace core
