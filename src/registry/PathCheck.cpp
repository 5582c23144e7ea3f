#include "registry/PathCheck.h"

#include <vector>

#include "sys/TextCompare.h"

namespace registry {
namespace {

class TRealFileSystem : public TPathFileSystem {
 public:
  TPathKind Kind(const std::wstring& path) const override {
    DWORD attrs = ::GetFileAttributesW(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return pkMissing;
    return (attrs & FILE_ATTRIBUTE_DIRECTORY) ? pkFolder : pkFile;
  }
  bool ExpandEnvironment(const std::wstring& src, std::wstring* out) const override {
    wchar_t buf[1024];
    DWORD n = ::ExpandEnvironmentStringsW(src.c_str(), buf, 1024);
    if (n == 0 || n > 1024) return false;
    *out = buf;
    return true;
  }
  UINT DriveType(wchar_t letter) const override {
    wchar_t root[] = {letter, L':', L'\\', L'\0'};
    return ::GetDriveTypeW(root);
  }
};

const wchar_t kDelimiters[] = L" *,/:;<>?|";

bool IsDelimiter(wchar_t c) {
  for (const wchar_t* d = kDelimiters; *d; ++d)
    if (*d == c) return true;
  return false;
}

// Markers of folders that WOW64 redirects, which a 32-bit process cannot judge.
const wchar_t* const kWow64PathMarkers[] = {L"system32", L"ProgramFiles", L"Program Files", L"PROGRA~1",
                                            L"\\Windows\\SysWOW64", L"\\SysWOW64\\", L"Microsoft.MicrosoftEdge_"};
const wchar_t* const kWow64FolderMarkers[] = {L"system32", L"Program Files", L"ProgramFiles", L"PROGRA~1"};

using TUpperList = std::vector<std::wstring>;

template <size_t N>
TUpperList UpperList(const wchar_t* const (&texts)[N]) {
  TUpperList list;
  for (const wchar_t* t : texts) list.push_back(sys::UpperCase(t));
  return list;
}

bool ContainsAny(const std::wstring& upperText, const TUpperList& upperParts) {
  for (const auto& p : upperParts)
    if (sys::Contains(upperText, p)) return true;
  return false;
}

std::wstring Trim(const std::wstring& s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] <= L' ') ++b;
  while (e > b && s[e - 1] <= L' ') --e;
  return s.substr(b, e - b);
}

class TPathCheck {
 public:
  TPathCheck(const TPathCheckContext& ctx, const std::wstring& driveLetters, bool acceptDirs)
      : ctx_(ctx), fs_(*ctx.FileSystem), letters_(sys::UpperCase(driveLetters)), acceptDirs_(acceptDirs) {}

  bool IsInvalid(const std::wstring& path, const std::wstring& cutText) const;

 private:
  bool IsFile(const std::wstring& p) const { return fs_.Kind(p) == pkFile; }
  bool HasExecutable(const std::wstring& c) const { return IsFile(c + L".exe") || IsFile(c + L".com") || IsFile(c + L".bat"); }
  bool Found(const std::wstring& c) const {
    TPathKind k = fs_.Kind(c);
    return k == pkFile || (acceptDirs_ && k == pkFolder) || HasExecutable(c);
  }
  bool PassesDriveTest(const std::wstring& w) const {
    return !w.empty() && letters_.find(sys::UpperCase(w.substr(0, 1))) != std::wstring::npos && w.find(L":\\") == 1;
  }
  bool IsOnUnreadyDrive(const std::wstring& w) const {
    if (ctx_.IncludeRemoveMedia) return false;
    std::wstring head = sys::UpperCase(w.substr(0, 3));
    return (head == L"A:\\" && !ctx_.DriveAReady) || (head == L"B:\\" && !ctx_.DriveBReady);
  }
  bool ExpandVariable(std::wstring* w) const;
  bool IsInvalidCut(std::wstring w, const std::wstring& cutText) const;
  bool IsInvalidWhole(const std::wstring& w) const;
  bool IsInvalidInFolder(const std::wstring& w, const std::wstring& dir) const;
  bool IsInvalidByPrefix(const std::wstring& w) const;

  const TPathCheckContext& ctx_;
  const TPathFileSystem& fs_;
  std::wstring letters_;
  bool acceptDirs_;
};

// A leading %VAR%: false means "judge no further" (valid). A variable with no
// closing percent sign cannot be expanded and is left valid.
bool TPathCheck::ExpandVariable(std::wstring* w) const {
  std::wstring t = w->substr(1);
  size_t close = t.find(L'%');
  if (t.empty() || close == std::wstring::npos) return false;
  std::wstring expanded = ExpandEnvPath(fs_, L"%" + t.substr(0, close + 1));
  if (sys::StartsWith(expanded, L"%")) return false;
  *w = expanded + w->substr(close + 2);
  return true;
}

bool TPathCheck::IsInvalid(const std::wstring& path, const std::wstring& cutText) const {
  if (path.empty() || sys::Contains(path, L"?")) return false;
  std::wstring upper = sys::UpperCase(path);
  if (sys::Contains(upper, L"\\HP")) return false;
  static const TUpperList pathMarkers = UpperList(kWow64PathMarkers);
  static const TUpperList folderMarkers = UpperList(kWow64FolderMarkers);
  if (ctx_.IsWow64 && ContainsAny(upper, pathMarkers)) return false;
  std::wstring w = path;
  if (path[0] == L'"') {
    std::wstring t = path.substr(1);
    if (t.empty()) return false;
    w = t.substr(0, t.find(L'"'));
  }
  if (sys::StartsWith(w, L"%") && !ExpandVariable(&w)) return false;
  if (ctx_.IsWow64 && ContainsAny(sys::UpperCase(w), folderMarkers)) return false;
  return cutText.empty() ? IsInvalidWhole(w) : IsInvalidCut(w, cutText);
}

bool TPathCheck::IsInvalidCut(std::wstring w, const std::wstring& cutText) const {
  size_t p = sys::UpperCase(w).find(sys::UpperCase(cutText));
  if (p == std::wstring::npos) return false;
  w = w.substr(0, p) + cutText;
  if (!PassesDriveTest(w)) return false;
  if (IsOnUnreadyDrive(w)) return true;
  return !IsFile(w);
}

bool TPathCheck::IsInvalidWhole(const std::wstring& w) const {
  if (w.empty() || !PassesDriveTest(w)) return false;
  if (IsOnUnreadyDrive(w)) return true;
  if (w.size() > 3 && sys::Contains(w.substr(3), L":\\")) return false;  // a command line with a second path
  std::wstring dir = w.substr(0, w.rfind(L'\\') + 1);
  if (dir == w && fs_.Kind(w) == pkFolder) return false;
  if (fs_.Kind(dir) == pkFolder) return IsInvalidInFolder(w, dir);
  return IsInvalidByPrefix(w);
}

// The folder exists: find the file name among the arguments that may follow it.
bool TPathCheck::IsInvalidInFolder(const std::wstring& w, const std::wstring& dir) const {
  std::wstring c = dir;
  for (size_t i = dir.size(); i < w.size(); ++i) {
    if (IsDelimiter(w[i]) && Found(c)) return false;
    c += w[i];
  }
  if (Found(c)) return false;
  while (!c.empty() && c.back() == L';') {
    c.pop_back();
    if (c.empty()) return true;
    if (Found(c)) return false;
  }
  return true;
}

// The folder part is missing: grow a prefix and look for a file at each step.
bool TPathCheck::IsInvalidByPrefix(const std::wstring& w) const {
  std::wstring t;
  for (wchar_t ch : w) {
    if (IsDelimiter(ch) && HasExecutable(t)) return false;
    t += ch;
    if (IsFile(t)) return false;
  }
  return true;
}

}  // namespace

TPathKind TScanFileSystem::Kind(const std::wstring& path) const {
  auto it = known_.find(path);
  if (it != known_.end()) return it->second;
  if (known_.size() >= limit_) known_.clear();  // bounded: a huge scan starts afresh
  TPathKind kind = inner_->Kind(path);
  known_.emplace(path, kind);
  return kind;
}

const TPathFileSystem& RealFileSystem() {
  static const TRealFileSystem fs;
  return fs;
}

bool IsInvalidPath(const TPathCheckContext& ctx, const std::wstring& Path, const std::wstring& CutText,
                   const std::wstring& DriveLetters, bool AcceptDirs) {
  try {
    return TPathCheck(ctx, DriveLetters, AcceptDirs).IsInvalid(Path, CutText);
  } catch (...) {
    return false;  // a string the check cannot handle is never reported
  }
}

std::wstring ExpandEnvPath(const TPathFileSystem& fs, const std::wstring& Src) {
  std::wstring out;
  if (!fs.ExpandEnvironment(Src, &out)) return Src;
  out = Trim(out);
  return fs.Kind(out) == pkFolder ? out : Src;
}

}  // namespace registry
