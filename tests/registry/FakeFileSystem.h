// A file-system view held in memory for the path check.
#pragma once
#include <map>
#include <stdexcept>
#include <string>

#include "registry/PathCheck.h"
#include "sys/TextCompare.h"

namespace registry_test {

class TFakeFileSystem : public registry::TPathFileSystem {
 public:
  // Adds the file and every folder above it.
  TFakeFileSystem& File(const std::wstring& path) {
    entries_[Key(path)] = registry::pkFile;
    AddParents(path);
    return *this;
  }
  TFakeFileSystem& Folder(const std::wstring& path) {
    entries_[Key(path)] = registry::pkFolder;
    AddParents(path);
    return *this;
  }
  TFakeFileSystem& Env(const std::wstring& name, const std::wstring& value) {
    env_[sys::UpperCase(name)] = value;
    return *this;
  }
  TFakeFileSystem& Drive(wchar_t letter, UINT type) {
    drives_[letter] = type;
    return *this;
  }
  TFakeFileSystem& Throwing() {
    throwing_ = true;
    return *this;
  }

  registry::TPathKind Kind(const std::wstring& path) const override {
    if (throwing_) throw std::runtime_error("file system failure");
    bool slash = path.size() > 3 && path.back() == L'\\';
    auto it = entries_.find(Key(slash ? path.substr(0, path.size() - 1) : path));
    if (it == entries_.end()) return registry::pkMissing;
    return slash && it->second != registry::pkFolder ? registry::pkMissing : it->second;
  }
  // Replaces every defined %NAME%; undefined ones stay as they are.
  bool ExpandEnvironment(const std::wstring& src, std::wstring* out) const override {
    out->clear();
    size_t i = 0;
    while (i < src.size()) {
      size_t open = src.find(L'%', i), close = open == std::wstring::npos ? open : src.find(L'%', open + 1);
      if (close == std::wstring::npos) break;
      auto it = env_.find(sys::UpperCase(src.substr(open + 1, close - open - 1)));
      *out += src.substr(i, open - i) + (it == env_.end() ? src.substr(open, close - open + 1) : it->second);
      i = close + 1;
    }
    *out += src.substr(i);
    return true;
  }
  UINT DriveType(wchar_t letter) const override {
    auto it = drives_.find(letter);
    return it == drives_.end() ? DRIVE_NO_ROOT_DIR : it->second;
  }

 private:
  static std::wstring Key(const std::wstring& path) { return sys::UpperCase(path); }
  void AddParents(const std::wstring& path) {
    for (size_t p = path.rfind(L'\\'); p != std::wstring::npos && p >= 2; p = path.rfind(L'\\', p - 1)) {
      entries_[Key(p == 2 ? path.substr(0, 3) : path.substr(0, p))] = registry::pkFolder;
      if (p == 2) break;
    }
  }

  std::map<std::wstring, registry::TPathKind> entries_;
  std::map<std::wstring, std::wstring> env_;
  std::map<wchar_t, UINT> drives_;
  bool throwing_ = false;
};

}  // namespace registry_test
