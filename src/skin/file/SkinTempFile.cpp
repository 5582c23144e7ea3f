#include "skin/file/SkinTempFile.h"

#include <objbase.h>

#include "skin/file/ZipArchive.h"

namespace skin {
namespace {

std::string PasswordBytes(const std::wstring& password) {
  if (password.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_ACP, 0, password.c_str(), static_cast<int>(password.size()), nullptr, 0,
                                      nullptr, nullptr);
  std::string bytes(n > 0 ? n : 0, '\0');
  if (n > 0) {
    ::WideCharToMultiByte(CP_ACP, 0, password.c_str(), static_cast<int>(password.size()), &bytes[0], n, nullptr,
                          nullptr);
  }
  return bytes;
}

TempFileMaker g_maker = nullptr;

}  // namespace

void SetTempFileMaker(TempFileMaker maker) { g_maker = maker; }

FileSource::~FileSource() {
  if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
}

bool FileSource::Open(const std::wstring& path) {
  handle_ = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  LARGE_INTEGER size{};
  if (handle_ == INVALID_HANDLE_VALUE || !::GetFileSizeEx(handle_, &size)) return false;
  size_ = static_cast<std::uint64_t>(size.QuadPart);
  return true;
}

bool FileSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const {
  if (offset > size_ || count > size_ - offset) return false;
  auto* out = static_cast<std::uint8_t*>(buffer);
  while (count > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD want = count > 0x100000 ? 0x100000 : static_cast<DWORD>(count);
    DWORD got = 0;
    if (!::ReadFile(handle_, out, want, &got, &at) || got == 0) return false;
    out += got;
    offset += got;
    count -= got;
  }
  return true;
}

SkinTempFile::~SkinTempFile() { Close(); }

bool SkinTempFile::Create() {
  if (g_maker != nullptr) {
    const std::wstring folder = GetTempDirectory();
    handle_ = folder.empty() ? INVALID_HANDLE_VALUE : g_maker(folder, &path_);
    return handle_ != INVALID_HANDLE_VALUE;
  }
  path_ = NewTempFileName();
  if (path_.empty()) return false;
  // CREATE_NEW: never write into a file someone placed under that name.
  handle_ = ::CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  return handle_ != INVALID_HANDLE_VALUE;
}

bool SkinTempFile::Write(const void* data, std::size_t count) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  while (count > 0) {
    const DWORD want = count > 0x100000 ? 0x100000 : static_cast<DWORD>(count);
    DWORD done = 0;
    if (!::WriteFile(handle_, p, want, &done, nullptr) || done == 0) return false;
    p += done;
    count -= done;
  }
  return true;
}

bool SkinTempFile::ReadAll(std::vector<std::uint8_t>& bytes, std::uint32_t maxSize) {
  LARGE_INTEGER size{}, zero{};
  if (!::GetFileSizeEx(handle_, &size) || size.QuadPart > maxSize) return false;
  if (!::SetFilePointerEx(handle_, zero, nullptr, FILE_BEGIN)) return false;
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD got = 0;
  return bytes.empty() ||
         (::ReadFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size());
}

void SkinTempFile::Close() {
  if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

std::wstring GetTempDirectory() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
  std::wstring path(buffer, n <= MAX_PATH ? n : 0);
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path;
}

std::wstring NewTempFileName() {
  GUID guid{};
  wchar_t text[40] = {};
  const std::wstring folder = GetTempDirectory();
  if (folder.empty() || FAILED(::CoCreateGuid(&guid)) || ::StringFromGUID2(guid, text, 40) != 39) return {};
  return folder + text;
}

int ExtractFromZip(const std::wstring& ArchiveFile, const std::string& EntryName, SkinTempFile& Dest,
                   const std::wstring& Password) {
  FileSource archive;
  if (!archive.Open(ArchiveFile)) return kExtractUnreadable;
  return ExtractZipEntry(archive, EntryName, PasswordBytes(Password), Dest);
}

}  // namespace skin
