// The path check over a file-system view held in memory.
#include <gtest/gtest.h>

#include "FakeFileSystem.h"
#include "registry/PathCheck.h"

using registry::ExpandEnvPath;
using registry::IsInvalidPath;
using registry::TPathCheckContext;
using registry_test::TFakeFileSystem;

namespace {

const wchar_t kAllDrives[] = L"abcdefghijklmnopqrstuvwxyz";

TFakeFileSystem MachineFiles() {
  TFakeFileSystem fs;
  fs.File(L"C:\\Windows\\notepad.exe")
      .File(L"C:\\Program Files\\My App\\my app.exe")
      .File(L"C:\\Tools\\run.exe")
      .File(L"C:\\Tools\\setup.bat")
      .File(L"C:\\App\\app.exe")
      .File(L"C:\\Lib\\x.dll")
      .Folder(L"C:\\Lib\\folder.dll")
      .Folder(L"C:\\Data\\Docs")
      .File(L"A:\\floppy.txt")
      .Env(L"SystemRoot", L"C:\\Windows")
      .Env(L"Padded", L"  C:\\Windows \t")
      .Env(L"NoFolder", L"C:\\Nowhere");
  return fs;
}

struct PathCase {
  const wchar_t* path;
  bool invalid;
  const char* why;
};

// Drive C: fixed and judged, not under WOW64, drives A: and B: not ready.
const PathCase kWholePathCases[] = {
    {L"", false, "empty"},
    {L"C:\\Windows\\notepad.exe", false, "existing file"},
    {L"C:\\Windows\\missing.exe", true, "missing file, folder exists"},
    {L"C:\\Nowhere\\missing.exe", true, "missing file, folder missing"},
    {L"\"C:\\App\\app.exe\" /s", false, "quoted existing path with a switch"},
    {L"\"C:\\App\\gone.exe\" /s", true, "quoted missing path with a switch"},
    {L"\"C:\\App\\gone.exe\" C:\\App\\app.exe", true, "only the quoted part is judged"},
    {L"\"", false, "a lone quote"},
    {L"C:\\Program Files\\My App\\my app.exe /x", false, "inner blank before the switch"},
    {L"C:\\Tools\\run /x", false, ".exe candidate at the blank"},
    {L"C:\\Tools\\setup", false, ".bat candidate at the end"},
    {L"C:\\App\\app.exe;;", false, "trailing semicolons removed one by one"},
    {L";", false, "no drive"},
    {L"C:\\Missing\\app.exe /in C:\\data", false, "second drive path after the third character"},
    {L"%SystemRoot%\\notepad.exe", false, "variable expands to a folder, file exists"},
    {L"%SystemRoot%\\missing.exe", true, "variable expands to a folder, file missing"},
    {L"%Padded%\\notepad.exe", false, "expansion trimmed of blanks"},
    {L"%NoFolder%\\missing.exe", false, "variable names no existing folder"},
    {L"%Undefined%\\missing.exe", false, "undefined variable"},
    {L"%SystemRoot\\missing.exe", false, "no closing percent sign"},
    {L"%", false, "a lone percent sign"},
    {L"notepad.exe", false, "bare file name"},
    {L"\\Device\\HarddiskVolume1\\x.exe", false, "device path"},
    {L"\\\\server\\share\\x.exe", false, "UNC path"},
    {L"system32\\x.dll", false, "relative path"},
    {L"C:x.exe", false, "drive-relative path"},
    {L"C:\\Missing\\?x.exe", false, "question mark"},
    {L"C:\\hp\\missing.exe", false, "\\hp marker"},
    {L"A:\\floppy.txt", true, "drive A: not ready"},
    {L"b:\\x.txt", true, "drive B: not ready, any case"},
    {L"C:\\Data\\Docs\\", false, "existing folder with a backslash"},
    {L"C:\\Data\\Docs", false, "existing folder accepted"},
    {L"C:\\Data\\Gone\\", true, "missing folder"},
    {L"C:\\App\\app.exe\\sub", false, "prefix finds the file"},
    {L"C:\\Data\\Docs /z\\y", true, "prefix branch accepts no folder"},
    {L"C:\\Program Files\\Missing\\x.exe", true, "Program Files judged when not under WOW64"},
};

TEST(PathCheck, WholePathTable) {
  TFakeFileSystem fs = MachineFiles();
  TPathCheckContext ctx;
  ctx.FileSystem = &fs;
  for (const auto& c : kWholePathCases)
    EXPECT_EQ(IsInvalidPath(ctx, c.path, L"", kAllDrives, true), c.invalid) << c.why;
}

// The same files under other settings: fewer judged drives, folders not
// accepted, a text to cut at, and the machine's state.
enum : int { kWow64 = 1, kDriveAReady = 2, kRemovableMedia = 4 };

struct ContextCase {
  const wchar_t* path;
  const wchar_t* cut;
  const wchar_t* drives;
  bool acceptDirs;
  int machine;
  bool invalid;
};

const ContextCase kContextCases[] = {
    // Folders only count when accepted.
    {L"C:\\Data\\Docs", L"", kAllDrives, false, 0, true},
    {L"C:\\Data\\Docs\\", L"", kAllDrives, false, 0, false},  // whole folder path
    {L"C:\\Windows\\notepad.exe", L"", kAllDrives, false, 0, false},
    // Only judged drives are reported.
    {L"D:\\missing.exe", L"", L"c", true, 0, false},
    {L"c:\\missing.exe", L"", L"C", true, 0, true},
    {L"C:\\missing.exe", L"", L"", true, 0, false},
    // Removable drives.
    {L"A:\\floppy.txt", L"", kAllDrives, true, kDriveAReady, false},
    {L"A:\\gone.txt", L"", kAllDrives, true, kDriveAReady, true},
    // With removable media included, A: and B: are not among the judged letters.
    {L"A:\\gone.txt", L"", L"cd", true, kRemovableMedia, false},
    // A: judged anyway: no readiness test, the file itself decides.
    {L"A:\\floppy.txt", L"", L"a", true, kRemovableMedia, false},
    {L"A:\\gone.txt", L"", L"a", true, kRemovableMedia, true},
    // WOW64 leaves redirected folders alone.
    {L"C:\\Program Files\\Missing\\x.exe", L"", kAllDrives, true, kWow64, false},
    {L"C:\\PROGRA~1\\x.exe", L"", kAllDrives, true, kWow64, false},
    {L"C:\\Windows\\System32\\x.dll", L"", kAllDrives, true, kWow64, false},
    {L"C:\\Windows\\SysWOW64\\x.dll", L"", kAllDrives, true, kWow64, false},
    {L"C:\\x\\Microsoft.MicrosoftEdge_1\\y.exe", L"", kAllDrives, true, kWow64, false},
    {L"%SystemRoot%\\system32\\gone.exe", L"", kAllDrives, true, kWow64, false},
    {L"C:\\Windows\\missing.exe", L"", kAllDrives, true, kWow64, true},
    // A cut text judges up to the extension.
    {L"C:\\Lib\\x.dll,1", L".dll", kAllDrives, true, 0, false},
    {L"C:\\Lib\\X.DLL", L".dll", kAllDrives, true, 0, false},
    {L"C:\\Lib\\gone.dll,1", L".dll", kAllDrives, true, 0, true},
    {L"C:\\Lib\\folder.dll", L".dll", kAllDrives, true, 0, true},  // never a folder
    {L"C:\\Lib\\gone.ocx", L".dll", kAllDrives, true, 0, false},
    {L"gone.dll", L".dll", kAllDrives, true, 0, false},
    {L"A:\\floppy.txt.dll", L".dll", kAllDrives, true, 0, true},
    {L"\"C:\\App\\gone.exe\" /x", L".exe", kAllDrives, true, 0, true},
};

TEST(PathCheck, ContextTable) {
  TFakeFileSystem fs = MachineFiles();
  for (const auto& c : kContextCases) {
    SCOPED_TRACE(std::wstring(c.path) + L" | " + c.cut + L" | " + c.drives);
    TPathCheckContext ctx;
    ctx.FileSystem = &fs;
    ctx.IsWow64 = (c.machine & kWow64) != 0;
    ctx.DriveAReady = (c.machine & kDriveAReady) != 0;
    ctx.IncludeRemoveMedia = (c.machine & kRemovableMedia) != 0;
    EXPECT_EQ(IsInvalidPath(ctx, c.path, c.cut, c.drives, c.acceptDirs), c.invalid);
  }
}

TEST(PathCheck, FileSystemFailureCountsAsValid) {
  TFakeFileSystem fs = MachineFiles();
  fs.Throwing();
  TPathCheckContext ctx;
  ctx.FileSystem = &fs;
  EXPECT_FALSE(IsInvalidPath(ctx, L"C:\\Windows\\missing.exe", L"", kAllDrives, true));
}

TEST(PathCheck, ExpandEnvPathGivesOnlyExistingFolders) {
  TFakeFileSystem fs = MachineFiles();
  EXPECT_EQ(ExpandEnvPath(fs, L"%SystemRoot%"), L"C:\\Windows");
  EXPECT_EQ(ExpandEnvPath(fs, L"%Padded%"), L"C:\\Windows");
  EXPECT_EQ(ExpandEnvPath(fs, L"%NoFolder%"), L"%NoFolder%");
  EXPECT_EQ(ExpandEnvPath(fs, L"%Undefined%"), L"%Undefined%");
}

class TCountingFileSystem : public TFakeFileSystem {
 public:
  mutable int calls = 0;
  registry::TPathKind Kind(const std::wstring& path) const override {
    ++calls;
    return TFakeFileSystem::Kind(path);
  }
};

TEST(PathCheck, ScanViewAsksOncePerPathWithinItsLimit) {
  auto inner = std::make_shared<TCountingFileSystem>();
  inner->File(L"C:\\App\\app.exe");
  registry::TScanFileSystem fs(inner, 2);
  EXPECT_EQ(fs.Kind(L"C:\\App\\app.exe"), registry::pkFile);
  EXPECT_EQ(fs.Kind(L"C:\\App\\app.exe"), registry::pkFile);
  EXPECT_EQ(fs.Kind(L"C:\\App"), registry::pkFolder);
  EXPECT_EQ(inner->calls, 2);
  EXPECT_EQ(fs.Kind(L"C:\\Gone"), registry::pkMissing);  // full: starts afresh
  EXPECT_EQ(fs.Kind(L"C:\\App"), registry::pkFolder);
  EXPECT_EQ(inner->calls, 4);
}

TEST(PathCheck, RealFileSystemSeesThePrefix) {
  const auto& fs = registry::RealFileSystem();
  wchar_t windows[MAX_PATH];
  ASSERT_GT(::GetWindowsDirectoryW(windows, MAX_PATH), 0u);
  EXPECT_EQ(fs.Kind(windows), registry::pkFolder);
  EXPECT_EQ(fs.Kind(std::wstring(windows) + L"\\no-such-file.vantorel"), registry::pkMissing);
  EXPECT_EQ(ExpandEnvPath(fs, L"%SystemRoot%"), windows);
  EXPECT_EQ(fs.DriveType(L'c'), static_cast<UINT>(DRIVE_FIXED));
}

}  // namespace
