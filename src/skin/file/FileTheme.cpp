#include "skin/file/FileTheme.h"

#include <algorithm>

#include "skin/file/SkinRecords.h"
#include "skin/file/Tsk2SkinFileReader.h"

namespace skin {
namespace {

bool FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring WithBackslash(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  return folder;
}

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n < MAX_PATH ? n : 0);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring WindowsFolder() {
  wchar_t path[MAX_PATH] = {};
  const UINT n = ::GetWindowsDirectoryW(path, MAX_PATH);
  return WithBackslash(std::wstring(path, n < MAX_PATH ? n : 0));
}

std::wstring SystemFolder() {
  wchar_t path[MAX_PATH] = {};
  const UINT n = ::GetSystemDirectoryW(path, MAX_PATH);
  return WithBackslash(std::wstring(path, n < MAX_PATH ? n : 0));
}

// The key of item N of a kind, or nullptr for an N outside the kind.
const char* KeyOf(int first, int count, int N) {
  N &= 127;
  return N < count ? SkinItemKeys[first + N] : nullptr;
}

}  // namespace

TskFileThemeMgr::TskFileThemeMgr() = default;
TskFileThemeMgr::~TskFileThemeMgr() = default;

bool TskFileThemeMgr::LoadFromFile(const std::wstring& FileName, const std::wstring& Password) {
  if (!FileExists(FileName)) return false;
  reader_.reset();
  try {
    auto reader = std::make_unique<Tsk2SkinFileReader>(FileName, Password);
    if (reader->Loaded) reader_ = std::move(reader);
  } catch (const std::exception&) {
    // An unreadable skin only leaves the theme not ready: the controls keep the built-in look.
  }
  return reader_ != nullptr;
}

int TskFileThemeMgr::GetColor(int N) const {
  if (!reader_) return 0;
  const char* key = KeyOf(kSkinColorKeys, kSkinColorCount, N);
  return key ? reader_->GetInteger(key) : -1;
}

const SkinImage* TskFileThemeMgr::GetBitmap(int N) const {
  const char* key = KeyOf(kSkinBitmapKeys, kSkinBitmapCount, N);
  return reader_ && key ? reader_->GetBitmap(key) : nullptr;
}

int TskFileThemeMgr::GetInteger(int N) const {
  if (!reader_) return 0;
  const char* key = KeyOf(kSkinIntegerKeys, kSkinIntegerCount, N);
  return key ? reader_->GetInteger(key) : -1;
}

bool TskFileThemeMgr::GetBool(int N) const {
  const char* key = KeyOf(kSkinFlagKeys, kSkinFlagCount, N);
  return reader_ && key && reader_->GetBool(key) != 0;
}

std::wstring FindThemeFile(const std::wstring& Value) {
  if (FileExists(Value)) return Value;
  const std::wstring name = Value.substr(Value.find_last_of(L"\\/:") + 1);
  if (name.empty()) return {};
  for (const std::wstring& folder : {ProgramFolder(), WindowsFolder(), SystemFolder()}) {
    if (!folder.empty() && FileExists(folder + name)) return folder + name;
  }
  return {};
}

TskFileTheme::TskFileTheme() : Mgr_(std::make_unique<TskFileThemeMgr>()) {}
TskFileTheme::~TskFileTheme() {
  // Users keep a plain pointer to the theme; they must not outlive it holding it.
  const std::vector<TskFileThemeUser*> users = users_;
  users_.clear();
  for (TskFileThemeUser* user : users)
    if (user->GetFileTheme() == this) user->FileThemeRemoved();
}

void TskFileTheme::SetThemeFile(const std::wstring& Value) {
  const bool firstLoad = ThemeFile_.empty();
  const std::wstring found = FindThemeFile(Value);
  if (found.empty()) return;
  ThemeFile_ = found;
  Ready_ = Mgr_->LoadFromFile(ThemeFile_, Password_);
  if (Ready_) RefreshUsers(firstLoad);
}

void TskFileTheme::SetPassword(const std::wstring& Value) {
  Password_ = Value;
  if (!Password_.empty()) SetThemeFile(ThemeFile_);
}

void TskFileTheme::AssignBitmap(int N, SkinImage& Dest, int Count, int Index) const {
  const SkinImage* bitmap = GetBitmap(N);
  if (!bitmap) {
    Dest = SkinImage();
  } else if (Count == 0 || Index == 0) {
    Dest = *bitmap;
  } else if (!CutSkinImagePart(*bitmap, Dest, Count, Index)) {
    Dest = SkinImage();
  }
}

void TskFileTheme::AddUser(TskFileThemeUser* user) {
  if (user && std::find(users_.begin(), users_.end(), user) == users_.end()) users_.push_back(user);
}

void TskFileTheme::RemoveUser(TskFileThemeUser* user) {
  users_.erase(std::remove(users_.begin(), users_.end(), user), users_.end());
}

void TskFileTheme::RefreshUsers(bool firstLoad) {
  HWND frame = nullptr;
  // A user's setter may register or unregister users: walk a copy.
  const std::vector<TskFileThemeUser*> users = users_;
  for (TskFileThemeUser* user : users) {
    if (std::find(users_.begin(), users_.end(), user) == users_.end() || user->GetFileTheme() != this) continue;
    if (HWND window = user->FileThemeFrameWindow()) frame = window;
    user->SetFileTheme(nullptr);
    user->SetFileTheme(this);
  }
  if (frame && !firstLoad) {
    ::SetWindowPos(frame, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
}

}  // namespace skin
