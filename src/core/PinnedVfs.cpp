#include "core/PinnedVfs.h"

#include <windows.h>
#include <sqlite3.h>

#include <cstring>

#include "core/guard/FileDelete.h"
#include "core/guard/PinnedOpen.h"
#include "sys/Text.h"

namespace core {
namespace {

const char kVfsName[] = "vantorel-pinned";
const wchar_t* const kSideSuffixes[] = {L"", L"-journal", L"-wal", L"-shm"};

using CreateFileWFn = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
using DeleteFileWFn = BOOL(WINAPI*)(LPCWSTR);

sqlite3_vfs* gWindows = nullptr;  // the VFS below ours
CreateFileWFn gCreateFileW = nullptr;
DeleteFileWFn gDeleteFileW = nullptr;

// The database a main file opened on this thread belongs to.
thread_local PinnedDatabase* tOpening = nullptr;
// The database whose file the Windows VFS is opening or deleting now; its
// calls to the system go through the pin while this is set.
thread_local PinnedDatabase* tCurrent = nullptr;

class Within {
 public:
  explicit Within(PinnedDatabase* db) : previous_(tCurrent) { tCurrent = db; }
  ~Within() { tCurrent = previous_; }
  Within(const Within&) = delete;
  Within& operator=(const Within&) = delete;

 private:
  PinnedDatabase* previous_;
};

// Our file: the database it belongs to, then the Windows VFS's own file.
struct alignas(8) PinnedFile {
  sqlite3_file base;
  PinnedDatabase* db;
};

sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<sqlite3_file*>(reinterpret_cast<PinnedFile*>(f) + 1); }
PinnedDatabase* DatabaseOf(sqlite3_file* f) { return reinterpret_cast<PinnedFile*>(f)->db; }

// The name of `path` in the database's folder when it is one of the
// database's own files; empty otherwise.
std::wstring SideName(const PinnedDatabase& db, const wchar_t* path) {
  const std::wstring& folder = db.folder->Path();
  size_t length = std::wcslen(path);
  if (length <= folder.size() || folder.compare(0, folder.size(), path, folder.size()) != 0) return std::wstring();
  std::wstring name(path + folder.size());
  for (const wchar_t* suffix : kSideSuffixes) {
    if (name == db.name + suffix) return name;
  }
  return std::wstring();
}

void Refuse(PinnedDatabase* db, const std::wstring& path) {
  if (db->refused.empty()) db->refused = path;
  ::SetLastError(ERROR_CANT_ACCESS_FILE);  // not an error SQLite retries
}

guard::PinnedCreate CreateOf(DWORD disposition) {
  if (disposition == CREATE_NEW) return guard::PinnedCreate::New;
  return disposition == OPEN_EXISTING ? guard::PinnedCreate::No : guard::PinnedCreate::IfMissing;
}

HANDLE WINAPI PinnedCreateFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                DWORD disposition, DWORD flags, HANDLE templateFile) {
  PinnedDatabase* db = tCurrent;
  if (db == nullptr) return gCreateFileW(path, access, share, security, disposition, flags, templateFile);
  std::wstring name = SideName(*db, path);
  if (name.empty() || (disposition != OPEN_EXISTING && disposition != OPEN_ALWAYS && disposition != CREATE_NEW)) {
    Refuse(db, path);
    return INVALID_HANDLE_VALUE;
  }
  guard::PinnedOpen opened = guard::OpenPinnedFile(*db->folder, name, access, share, CreateOf(disposition), flags);
  if (opened.Refused()) {
    Refuse(db, db->folder->Path() + name);
    return INVALID_HANDLE_VALUE;
  }
  if (opened.handle == INVALID_HANDLE_VALUE) ::SetLastError(opened.error);
  return opened.handle;
}

BOOL WINAPI PinnedDeleteFileW(LPCWSTR path) {
  PinnedDatabase* db = tCurrent;
  if (db == nullptr) return gDeleteFileW(path);
  std::wstring name = SideName(*db, path);
  if (name.empty() || name == db->name) {
    Refuse(db, path);
    return FALSE;
  }
  switch (guard::DeleteListedFile(*db->folder, name, FILE_ATTRIBUTE_NORMAL)) {
    case guard::FileDeleteResult::Deleted:
      return TRUE;
    case guard::FileDeleteResult::Missing:
      ::SetLastError(ERROR_FILE_NOT_FOUND);
      return FALSE;
    case guard::FileDeleteResult::Refused:
      Refuse(db, db->folder->Path() + name);
      return FALSE;
    default:
      ::SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
  }
}

// The file methods: each hands the call to the Windows VFS's own file; the
// two that open or delete the shared-memory file do it within the pin.
int Close(sqlite3_file* f) { return Real(f)->pMethods->xClose(Real(f)); }
int Read(sqlite3_file* f, void* buf, int n, sqlite3_int64 at) { return Real(f)->pMethods->xRead(Real(f), buf, n, at); }
int Write(sqlite3_file* f, const void* buf, int n, sqlite3_int64 at) {
  return Real(f)->pMethods->xWrite(Real(f), buf, n, at);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) { return Real(f)->pMethods->xTruncate(Real(f), size); }
int Sync(sqlite3_file* f, int flags) { return Real(f)->pMethods->xSync(Real(f), flags); }
int FileSize(sqlite3_file* f, sqlite3_int64* size) { return Real(f)->pMethods->xFileSize(Real(f), size); }
int Lock(sqlite3_file* f, int level) { return Real(f)->pMethods->xLock(Real(f), level); }
int Unlock(sqlite3_file* f, int level) { return Real(f)->pMethods->xUnlock(Real(f), level); }
int CheckReservedLock(sqlite3_file* f, int* out) { return Real(f)->pMethods->xCheckReservedLock(Real(f), out); }
int FileControl(sqlite3_file* f, int op, void* arg) { return Real(f)->pMethods->xFileControl(Real(f), op, arg); }
int SectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
int DeviceCharacteristics(sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); }
int ShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
  Within scope(DatabaseOf(f));
  return Real(f)->pMethods->xShmMap(Real(f), region, size, extend, out);
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) { return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags); }
void ShmBarrier(sqlite3_file* f) { Real(f)->pMethods->xShmBarrier(Real(f)); }
int ShmUnmap(sqlite3_file* f, int deleteFlag) {
  Within scope(DatabaseOf(f));
  return Real(f)->pMethods->xShmUnmap(Real(f), deleteFlag);
}
int Fetch(sqlite3_file* f, sqlite3_int64 at, int n, void** out) { return Real(f)->pMethods->xFetch(Real(f), at, n, out); }
int Unfetch(sqlite3_file* f, sqlite3_int64 at, void* p) { return Real(f)->pMethods->xUnfetch(Real(f), at, p); }

const sqlite3_io_methods kMethods = {3,        Close,    Read,    Write,      Truncate,   Sync,
                                     FileSize, Lock,     Unlock,  CheckReservedLock, FileControl, SectorSize,
                                     DeviceCharacteristics, ShmMap, ShmLock, ShmBarrier, ShmUnmap, Fetch,
                                     Unfetch};

// The database a journal or WAL belongs to: the one its main file was opened for.
PinnedDatabase* OwnerOf(const char* sideName) {
  sqlite3_file* main = sqlite3_database_file_object(sideName);
  return main != nullptr && main->pMethods == &kMethods ? DatabaseOf(main) : nullptr;
}

int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
  auto* file = reinterpret_cast<PinnedFile*>(f);
  file->base.pMethods = nullptr;
  file->db = nullptr;
  int type = flags & 0x0FFF00;
  PinnedDatabase* db = nullptr;
  if (type == SQLITE_OPEN_MAIN_DB) db = tOpening;
  if (type == SQLITE_OPEN_MAIN_JOURNAL || type == SQLITE_OPEN_WAL) db = OwnerOf(name);
  // A file without a name is a temporary one, made with a fresh random name
  // in the temporary folder; any other named file is not the database's.
  if (name != nullptr && db == nullptr) return SQLITE_CANTOPEN;
  Within scope(db);
  int rc = gWindows->xOpen(gWindows, name, Real(f), flags, outFlags);
  if (Real(f)->pMethods == nullptr) return rc;
  file->db = db;
  file->base.pMethods = &kMethods;
  return rc;
}

int Delete(sqlite3_vfs*, const char* name, int syncDir) {
  PinnedDatabase* db = OwnerOf(name);
  if (db == nullptr) return SQLITE_IOERR_DELETE;
  Within scope(db);
  return gWindows->xDelete(gWindows, name, syncDir);
}

// The journal and WAL names the pager asks about (and only those carry their
// database before them).
bool IsJournalOrWal(const char* name) {
  size_t length = std::strlen(name);
  auto endsIn = [&](const char* suffix) {
    size_t n = std::strlen(suffix);
    return length > n && std::strcmp(name + length - n, suffix) == 0;
  };
  return endsIn("-journal") || endsIn("-wal");
}

// Whether a journal or WAL of a pinned database is there is asked of the
// pin's listing, as its open will be: its path may lead elsewhere by now. As
// the Windows VFS has it, an empty file does not exist.
int Access(sqlite3_vfs*, const char* name, int flags, int* out) {
  PinnedDatabase* db = IsJournalOrWal(name) ? OwnerOf(name) : nullptr;
  if (db == nullptr) return gWindows->xAccess(gWindows, name, flags, out);
  *out = 0;
  std::wstring side = SideName(*db, sys::FromUtf8(name).c_str());
  if (side.empty()) return SQLITE_OK;
  guard::Lookup found = guard::FindPinned(*db->folder, side, [&](const guard::ListedEntry& entry) {
    bool there = !entry.IsFolder() && (flags != SQLITE_ACCESS_EXISTS || entry.Size() > 0);
    *out = there && (flags != SQLITE_ACCESS_READWRITE || (entry.Attributes() & FILE_ATTRIBUTE_READONLY) == 0);
  });
  return found == guard::Lookup::Failed ? SQLITE_IOERR_ACCESS : SQLITE_OK;
}

// Names stay exactly as given: the side files' names are built from it and
// must begin with the pinned folder's path.
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  size_t length = std::strlen(name);
  if (length + 1 > static_cast<size_t>(size)) return SQLITE_CANTOPEN;
  std::memcpy(out, name, length + 1);
  return SQLITE_OK;
}

void* DlOpen(sqlite3_vfs*, const char*) { return nullptr; }
void DlError(sqlite3_vfs*, int size, char* out) {
  if (size > 0) out[0] = '\0';
}
void (*DlSym(sqlite3_vfs*, void*, const char*))(void) { return nullptr; }
void DlClose(sqlite3_vfs*, void*) {}
int Randomness(sqlite3_vfs*, int n, char* out) { return gWindows->xRandomness(gWindows, n, out); }
int VfsSleep(sqlite3_vfs*, int micro) { return gWindows->xSleep(gWindows, micro); }
int CurrentTime(sqlite3_vfs*, double* now) { return gWindows->xCurrentTime(gWindows, now); }
int VfsLastError(sqlite3_vfs*, int size, char* out) { return gWindows->xGetLastError(gWindows, size, out); }
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* now) { return gWindows->xCurrentTimeInt64(gWindows, now); }

sqlite3_vfs gPinned = {2,       0,           0,           nullptr,     kVfsName,  nullptr, Open,
                       Delete,  Access,      FullPathname, DlOpen,     DlError,   DlSym,   DlClose,
                       Randomness, VfsSleep, CurrentTime, VfsLastError, CurrentTimeInt64};

// Takes over the Windows VFS's CreateFileW and DeleteFileW: with no pinned
// database current on the thread they are the system's, unchanged.
bool Register() {
  gWindows = sqlite3_vfs_find("win32");
  if (gWindows == nullptr || gWindows->iVersion < 3) return false;
  gCreateFileW = reinterpret_cast<CreateFileWFn>(gWindows->xGetSystemCall(gWindows, "CreateFileW"));
  gDeleteFileW = reinterpret_cast<DeleteFileWFn>(gWindows->xGetSystemCall(gWindows, "DeleteFileW"));
  if (gCreateFileW == nullptr || gDeleteFileW == nullptr) return false;
  if (gWindows->xSetSystemCall(gWindows, "CreateFileW", reinterpret_cast<sqlite3_syscall_ptr>(&PinnedCreateFileW)) !=
          SQLITE_OK ||
      gWindows->xSetSystemCall(gWindows, "DeleteFileW", reinterpret_cast<sqlite3_syscall_ptr>(&PinnedDeleteFileW)) !=
          SQLITE_OK) {
    return false;
  }
  gPinned.szOsFile = static_cast<int>(sizeof(PinnedFile)) + gWindows->szOsFile;
  gPinned.mxPathname = gWindows->mxPathname;
  return sqlite3_vfs_register(&gPinned, 0) == SQLITE_OK;
}

}  // namespace

const char* PinnedVfsName() {
  static const bool registered = Register();
  return registered ? kVfsName : nullptr;
}

PinnedOpening::PinnedOpening(PinnedDatabase* db) : previous_(tOpening) { tOpening = db; }
PinnedOpening::~PinnedOpening() { tOpening = previous_; }

}  // namespace core
