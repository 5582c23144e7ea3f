// The rules of the guarded-delete module, one table each: path forms and
// file names, when a folder is a known one by its identity, where a key lies
// below its real root, and what a data file may remove in the system's own
// places.
#include <gtest/gtest.h>

#include "core/Files.h"
#include "core/guard/FileDelete.h"
#include "core/guard/FileNames.h"
#include "core/guard/LockedPlaces.h"
#include "core/guard/RegistryGuard.h"
#include "core/guard/SystemPlaces.h"

using namespace core::guard;

namespace {

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

}  // namespace

TEST(GuardRules, PathFormsAndFileNames) {
  struct Row {
    const wchar_t* path;
    bool accepted;     // a folder walk or a named file may start from it
    bool safeShell;    // core::IsSafeDeletePath
    bool trimmedPart;  // a part ends in a dot or a space
  };
  const Row rows[] = {
      {L"C:\\x", true, true, false},
      {L"c:/x", true, true, false},
      {L"C:\\", true, false, false},
      {L"\\\\server\\share\\x", true, true, false},
      {L"\\\\server\\share", true, false, false},
      {L"", false, false, false},
      {L"x", false, false, false},
      {L"\\x", false, false, false},
      {L"C:x", false, false, false},
      {L"\\\\?\\C:\\x", false, false, false},
      {L"\\\\.\\C:\\x", false, false, true},
      {L"\\\\server", false, false, false},
      {L"\\\\server\\", false, false, false},
      {L"\\\\\\share", false, false, false},
      // Stream names: the Windows folder, or a file's other data, by another name.
      {L"C:\\Windows::$INDEX_ALLOCATION", false, false, false},
      {L"C:\\x:s:$DATA", false, false, false},
      {L"C:\\x\\file.txt:hidden", false, false, false},
      {L"\\\\server\\share\\x::$DATA", false, false, false},
      // Names the system trims: "keep.dat." would reach "keep.dat".
      {L"C:\\x\\keep.dat.", true, true, true},
      {L"C:\\x\\keep.dat ", true, true, true},
      {L"C:\\x.\\keep.dat", true, true, true},
      {L"C:\\x\\..\\y", true, false, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Narrow(r.path));
    EXPECT_EQ(HasAcceptedForm(r.path), r.accepted);
    EXPECT_EQ(core::IsSafeDeletePath(r.path), r.safeShell);
    EXPECT_EQ(HasTrimmedPart(r.path), r.trimmedPart);
  }
  EXPECT_EQ(LiteralPath(L"C:\\x\\keep.dat."), L"\\\\?\\C:\\x\\keep.dat.");
  EXPECT_EQ(LiteralPath(L"\\\\s\\h\\keep "), L"\\\\?\\UNC\\s\\h\\keep ");
  EXPECT_EQ(LiteralPath(L"C:\\x\\keep.dat"), L"C:\\x\\keep.dat");
  // A folder on the way whose name would be trimmed, and ".." that only a plain path resolves.
  EXPECT_EQ(LiteralPath(L"C:\\dl \\x.txt"), L"\\\\?\\C:\\dl \\x.txt");
  EXPECT_EQ(LiteralPath(L"C:\\x.\\*"), L"\\\\?\\C:\\x.\\*");
  EXPECT_EQ(LiteralPath(L"C:\\x\\..\\y."), L"C:\\x\\..\\y.");
  EXPECT_EQ(TrimmedName(L"keep.dat. ."), L"keep.dat");
  EXPECT_EQ(TrimmedName(L". ."), L"");
}

TEST(GuardRules, ListedFileNames) {
  for (const wchar_t* name : {L"a.tmp", L"keep.dat.", L"x y", L"~$doc.docx", L"#SharedObjects"}) {
    EXPECT_TRUE(IsPlainFileName(name)) << Narrow(name);
  }
  for (const wchar_t* name : {L"", L".", L"..", L"bad:name", L"a\\b", L"a/b", L"*.tmp", L"a?", L"a|b", L"a<b"}) {
    EXPECT_FALSE(IsPlainFileName(name)) << Narrow(name);
  }
}

// A locked place or a shared folder is known by volume and index. A volume
// the system could not name, on either side, is any; a folder below a
// letter that stands for a folder of another drive is known by index alone.
TEST(GuardRules, FolderIdentities) {
  struct Row {
    FolderIdentity known, id;
    bool anyVolume;
    bool same;
  };
  const Row rows[] = {
      {{7, 42}, {7, 42}, false, true},
      {{7, 42}, {8, 42}, false, false},
      {{7, 42}, {7, 43}, false, false},
      {{0, 42}, {8, 42}, false, true},
      {{7, 42}, {0, 42}, false, true},
      {{0, 42}, {0, 43}, false, false},
      {{7, 42}, {8, 42}, true, true},
      {{7, 42}, {7, 43}, true, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(SameFolder(r.known, r.id, r.anyVolume), r.same)
        << r.known.volume << ":" << r.known.index << " " << r.id.volume << ":" << r.id.index << " " << r.anyVolume;
  }
}

// Roots and first-level keys under every name they have.
TEST(GuardRules, KeyPlaces) {
  struct Row {
    HKEY root;
    const wchar_t* key;
    KeyPlace place;
  };
  const Row rows[] = {
      {HKEY_CURRENT_USER, L"", KeyPlace::Root},
      {HKEY_CURRENT_USER, L"Software", KeyPlace::FirstLevel},
      {HKEY_CURRENT_USER, L"software\\Vendor", KeyPlace::Deeper},
      {HKEY_LOCAL_MACHINE, L"SOFTWARE", KeyPlace::FirstLevel},
      {HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node", KeyPlace::FirstLevel},
      {HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Vendor", KeyPlace::Deeper},
      {HKEY_USERS, L".DEFAULT", KeyPlace::Root},
      {HKEY_USERS, L".DEFAULT\\Software", KeyPlace::FirstLevel},
      {HKEY_USERS, L"S-1-5-21-1_Classes", KeyPlace::Root},
      {HKEY_USERS, L"S-1-5-21-1_Classes\\.txt", KeyPlace::Class},
      {HKEY_USERS, L"S-1-5-21-1_Classes\\Wow6432Node\\.txt", KeyPlace::Class},
      {HKEY_CURRENT_USER, L"Software\\Classes", KeyPlace::Root},
      {HKEY_CURRENT_USER, L"Software\\Classes\\.txt", KeyPlace::Class},
      {HKEY_CURRENT_USER, L"Software\\Classes\\.txt\\OpenWith", KeyPlace::Deeper},
      {HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Classes", KeyPlace::Root},
      {HKEY_LOCAL_MACHINE, L"Software\\Classes\\Wow6432Node\\CLSID", KeyPlace::Class},
      {HKEY_CLASSES_ROOT, L"", KeyPlace::Root},
      {HKEY_CLASSES_ROOT, L"Wow6432Node", KeyPlace::Root},
      {HKEY_CLASSES_ROOT, L"CLSID", KeyPlace::FirstLevel},
      {HKEY_CLASSES_ROOT, L"Wow6432Node\\CLSID", KeyPlace::FirstLevel},
      {HKEY_CLASSES_ROOT, L"CLSID\\{1}", KeyPlace::Deeper},
      {HKEY_CURRENT_CONFIG, L"Software", KeyPlace::FirstLevel},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Narrow(r.key));
    EXPECT_EQ(PlaceOfKey(r.root, r.key), r.place);
    EXPECT_EQ(IsDeletableKeyPath(r.root, r.key), r.place == KeyPlace::Deeper);
  }
  for (const wchar_t* name : {L"HKEY_CURRENT_USER", L"hkey_local_machine", L"HKEY_CLASSES_ROOT", L"HKEY_USERS",
                              L"HKEY_CURRENT_CONFIG"}) {
    EXPECT_NE(RootKeyFromName(name), nullptr) << Narrow(name);
  }
  for (const wchar_t* name : {L"HKCU", L"HKEY_NOWHERE", L"", L"HKEY_CURRENT_USER\\"}) {
    EXPECT_EQ(RootKeyFromName(name), nullptr) << Narrow(name);
  }
  EXPECT_EQ(NormalKeyPath(L"\\Software\\X\\"), L"Software\\X");
  EXPECT_EQ(NormalKeyPath(L"Software\\\\X"), L"");
  EXPECT_FALSE(IsDeletableKeyPath(HKEY_CURRENT_USER, L"Software\\\\X"));
}

// The only links a key path may pass: the system's own, known by where they
// are (the key that holds them and their name) and where they lead.
TEST(GuardRules, SystemLinks) {
  const std::wstring m = L"\\REGISTRY\\MACHINE\\", u = L"\\REGISTRY\\USER\\S-1-5-21-7";
  struct Row {
    std::wstring parent, part, target;
    bool system;
  };
  const Row rows[] = {
      {m + L"SYSTEM", L"CurrentControlSet", m + L"SYSTEM\\ControlSet001", true},
      {L"\\Registry\\Machine\\System", L"currentcontrolset", m + L"SYSTEM\\CONTROLSET002", true},
      {m + L"SYSTEM", L"CurrentControlSet", m + L"SYSTEM\\ControlSet1", false},
      {m + L"SYSTEM", L"CurrentControlSet", m + L"SOFTWARE\\Microsoft", false},
      {m + L"SOFTWARE\\X", L"CurrentControlSet", m + L"SYSTEM\\ControlSet001", false},
      {m + L"SOFTWARE\\Wow6432Node", L"Classes", m + L"SOFTWARE\\Classes", true},
      {m + L"SOFTWARE\\Wow6432Node", L"Classes", m + L"SOFTWARE\\Classes\\Wow6432Node", true},
      {m + L"SOFTWARE", L"Classes", m + L"SOFTWARE\\Classes", true},
      {m + L"SOFTWARE\\Wow6432Node", L"Classes", m + L"SOFTWARE\\Classes\\CLSID", false},
      {m + L"SOFTWARE\\Vendor", L"Classes", m + L"SOFTWARE\\Classes", false},
      {m + L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows", L"App Paths", m + L"SOFTWARE\\Microsoft\\Windows\\App Paths",
       true},
      {m + L"SOFTWARE\\Classes\\Wow6432Node", L"TypeLib", m + L"SOFTWARE\\Classes\\TypeLib", true},
      {m + L"SOFTWARE\\Wow6432Node\\Microsoft", L"OLE", m + L"SOFTWARE\\Microsoft\\RPC", false},
      {m + L"SOFTWARE\\Wow6432Node\\Microsoft", L"OLE", m + L"SOFTWARE\\Wow6432Node\\Microsoft\\OLE", false},
      {m + L"SOFTWARE\\Wow6432NodeX", L"OLE", m + L"SOFTWARE\\OLE", false},
      {u + L"\\Software", L"Classes", u + L"_Classes", true},
      {u + L"\\Software", L"Classes", L"\\REGISTRY\\USER\\S-1-5-21-8_Classes", false},  // another user's
      {u + L"\\Software", L"Classes", m + L"SOFTWARE\\Classes", false},
      {u + L"\\Software\\X", L"Classes", u + L"\\Software\\X_Classes", false},
      {u + L"\\Software", L"SecLnk", u + L"\\Software\\Target", false},
      {L"", L"Classes", L"", false},
  };
  for (const Row& r : rows) {
    const std::wstring link = r.parent + L"\\" + r.part;
    EXPECT_EQ(IsSystemLink(link, r.target), r.system) << Narrow(link + L" -> " + r.target);
  }
}

// What a data-file entry may remove inside the Windows, system, program and
// profile folders: junk-kind files and known junk folders only.
TEST(GuardRules, JunkFilesAndFolders) {
  for (const wchar_t* mask : {L"*.log", L"setupapi*.log", L"setupact.log", L"*.TMP", L"~*.tmp", L"*.dmp",
                              L"MEMORY.DMP", L"FILE*.CHK", L"*.old", L"*.bak", L"*.etl", L"*.mdmp"}) {
    EXPECT_TRUE(IsJunkFileMask(mask)) << Narrow(mask);
  }
  for (const wchar_t* mask : {L"*.*", L"*", L"*.dll", L"*.exe", L"*.sys", L"*.ini", L"win.ini", L"*.lo?", L"*.log*",
                              L"ntuser.dat", L"*.inf", L"hosts", L"*.drv", L"*.ocx", L"*.reg"}) {
    EXPECT_FALSE(IsJunkFileMask(mask)) << Narrow(mask);
  }
  for (const wchar_t* folder : {L"C:\\Windows\\Temp", L"C:\\Windows\\Prefetch\\", L"C:\\Windows\\Logs",
                                L"C:\\Windows\\Minidump", L"C:\\x\\temp"}) {
    EXPECT_TRUE(IsJunkFolderName(folder)) << Narrow(folder);
  }
  for (const wchar_t* folder : {L"C:\\Windows\\inf", L"C:\\Windows\\System32", L"C:\\Windows\\Fonts",
                                L"C:\\Windows\\System32\\drivers", L"C:\\Windows", L"C:\\", L""}) {
    EXPECT_FALSE(IsJunkFolderName(folder)) << Narrow(folder);
  }
}

// Which data-file registry lines would delete the system's own settings.
TEST(GuardRules, SystemKeys) {
  struct Row {
    HKEY root;
    const wchar_t* key;
    bool refused;
  };
  const Row rows[] = {
      {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services", true},
      {HKEY_LOCAL_MACHINE, L"system\\CurrentControlSet\\Services\\x\\Parameters", true},
      {HKEY_LOCAL_MACHINE, L"SAM\\SAM", true},
      {HKEY_CLASSES_ROOT, L".txt\\ShellNew", true},
      {HKEY_CURRENT_CONFIG, L"Software\\Fonts", true},
      {HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID\\{1}", true},
      {HKEY_CURRENT_USER, L"Software\\Classes\\.txt\\OpenWith", true},
      {HKEY_USERS, L"S-1-5-21-1_Classes\\.txt\\OpenWith", true},
      {HKEY_USERS, L".DEFAULT\\Software\\Classes\\x\\y", true},
      {HKEY_CURRENT_USER, L"Software\\Policies\\Vendor\\x", true},
      {HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", true},
      {HKEY_LOCAL_MACHINE, L"Software\\Microsoft", false},  // not the Windows tree; a first level is refused elsewhere
      {HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows", true},
      {HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion", true},
      {HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", true},
      {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", true},
      {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", true},
      {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", true},
      {HKEY_USERS, L".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", true},
      {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", true},
      {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", true},
      // Named history lists deeper down stay allowed.
      {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs", false},
      {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", false},
      {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List", false},
      {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Applets\\Wordpad\\Recent File List", false},
      {HKEY_CURRENT_USER, L"Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList", false},
      {HKEY_CURRENT_USER, L"Software\\7-Zip\\FM", false},
      {HKEY_LOCAL_MACHINE, L"Software\\Vendor\\History", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Narrow(r.key));
    EXPECT_EQ(!DataFileKeyRefusal(r.root, r.key).empty(), r.refused);
  }
}
