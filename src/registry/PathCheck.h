// Whether a string read from the registry names a missing file or folder.
// The test errs towards "valid": only a string on a judged drive for which no
// existing file (or folder) can be found is reported.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <unordered_map>

namespace registry {

enum TPathKind { pkMissing, pkFile, pkFolder };

// The file-system view the check runs on; the real one is the default, tests
// give their own.
class TPathFileSystem {
 public:
  virtual ~TPathFileSystem() = default;
  virtual TPathKind Kind(const std::wstring& path) const = 0;
  // Expands environment variables; false when that fails.
  virtual bool ExpandEnvironment(const std::wstring& src, std::wstring* out) const = 0;
  // GetDriveType of "<letter>:\".
  virtual UINT DriveType(wchar_t letter) const = 0;
};

const TPathFileSystem& RealFileSystem();

// Remembers the view's answers for the length of one scan. Registry strings
// share their folders, so most existence tests repeat; a scan judges a
// snapshot of the disk either way. Used by one thread only.
class TScanFileSystem : public TPathFileSystem {
 public:
  explicit TScanFileSystem(std::shared_ptr<const TPathFileSystem> inner, size_t limit = 65536)
      : inner_(std::move(inner)), limit_(limit) {}
  TPathKind Kind(const std::wstring& path) const override;
  bool ExpandEnvironment(const std::wstring& src, std::wstring* out) const override {
    return inner_->ExpandEnvironment(src, out);
  }
  UINT DriveType(wchar_t letter) const override { return inner_->DriveType(letter); }

 private:
  std::shared_ptr<const TPathFileSystem> inner_;
  size_t limit_;
  mutable std::unordered_map<std::wstring, TPathKind> known_;
};

struct TPathCheckContext {
  const TPathFileSystem* FileSystem = &RealFileSystem();
  bool IsWow64 = false;
  bool IncludeRemoveMedia = false;
  bool DriveAReady = false;
  bool DriveBReady = false;
};

// True: report it, the path is missing. `DriveLetters` are the letters judged
// at all; a non-empty `CutText` (".dll", ".exe") cuts the string after it.
bool IsInvalidPath(const TPathCheckContext& ctx, const std::wstring& Path, const std::wstring& CutText,
                   const std::wstring& DriveLetters, bool AcceptDirs);

// Src with its environment variables expanded and blanks trimmed, but only
// when that gives an existing folder; Src unchanged otherwise.
std::wstring ExpandEnvPath(const TPathFileSystem& fs, const std::wstring& Src);

}  // namespace registry
