// A skin file as a theme: `TskFileThemeMgr` holds one loaded skin and turns a
// control's file-theme index into a key; `TskFileTheme` finds, loads and
// reloads the file and makes the controls that use it read it again.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/file/SkinBitmap.h"

namespace skin {

class Tsk2SkinFileReader;
class TskFileTheme;

class TskFileThemeMgr {
 public:
  TskFileThemeMgr();
  ~TskFileThemeMgr();
  TskFileThemeMgr(const TskFileThemeMgr&) = delete;
  TskFileThemeMgr& operator=(const TskFileThemeMgr&) = delete;

  // False, with no skin held, when the file cannot be read; a file that does
  // not exist keeps the skin held before.
  bool LoadFromFile(const std::wstring& FileName, const std::wstring& Password);

  // By file-theme index N: colours 0-31, bitmaps 0-33, integers 0-8, flags
  // 0-8. Without a skin: 0, nullptr, 0 and false; with one, a key the skin
  // lacks (or an N outside its kind) gives -1, nullptr, -1 and false.
  int GetColor(int N) const;
  const SkinImage* GetBitmap(int N) const;
  int GetInteger(int N) const;
  bool GetBool(int N) const;

 private:
  std::unique_ptr<Tsk2SkinFileReader> reader_;
};

// A control that can show a file theme. It registers with the theme it uses;
// on a new skin the theme sets its FileTheme to nullptr and back, so the
// control reads the skin again through its own setter.
class TskFileThemeUser {
 public:
  virtual ~TskFileThemeUser() = default;
  virtual TskFileTheme* GetFileTheme() const = 0;
  virtual void SetFileTheme(TskFileTheme* theme) = 0;
  // The skinned frame's form window, whose frame is recomputed on a reload.
  virtual HWND FileThemeFrameWindow() const { return nullptr; }
  // The theme is being destroyed: the control must drop its reference.
  virtual void FileThemeRemoved() { SetFileTheme(nullptr); }
};

class TskFileTheme {
 public:
  TskFileTheme();
  ~TskFileTheme();
  TskFileTheme(const TskFileTheme&) = delete;
  TskFileTheme& operator=(const TskFileTheme&) = delete;

  const std::wstring& GetThemeFile() const { return ThemeFile_; }
  // Looks for the file as named, then by its name in the program's folder,
  // the Windows folder and the system folder; loads the first found. Nothing
  // changes when none exists.
  void SetThemeFile(const std::wstring& Value);
  const std::wstring& GetPassword() const { return Password_; }
  // A non-empty password reloads the current file.
  void SetPassword(const std::wstring& Value);
  bool GetReady() const { return Ready_; }

  int GetColor(int N) const { return Mgr_->GetColor(N); }
  const SkinImage* GetBitmap(int N) const { return Mgr_->GetBitmap(N); }
  int GetInteger(int N) const { return Mgr_->GetInteger(N); }
  bool GetBool(int N) const { return Mgr_->GetBool(N); }
  // With Count or Index 0 the whole bitmap N, else cell Index of Count; an
  // absent bitmap empties Dest.
  void AssignBitmap(int N, SkinImage& Dest, int Count, int Index) const;

  void AddUser(TskFileThemeUser* user);
  void RemoveUser(TskFileThemeUser* user);

 private:
  void RefreshUsers(bool firstLoad);

  std::unique_ptr<TskFileThemeMgr> Mgr_;
  std::wstring ThemeFile_;
  bool Ready_ = false;
  std::wstring Password_;
  std::vector<TskFileThemeUser*> users_;
};

// Where a theme file named `Value` is found, or empty.
std::wstring FindThemeFile(const std::wstring& Value);

}  // namespace skin
