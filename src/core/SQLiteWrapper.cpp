#include "core/SQLiteWrapper.h"

#include <sqlite3.h>

#include <cwctype>
#include <memory>

#include "core/PinnedVfs.h"
#include "sys/Text.h"

namespace core {
namespace {

const wchar_t* const kErrorTexts[] = {
    L"Successful result",
    L"SQL error or missing database",
    L"An internal logic error in SQLite",
    L"Access permission denied",
    L"Callback routine requested an abort",
    L"The database file is locked",
    L"A table in the database is locked",
    L"A malloc() failed",
    L"Attempt to write a readonly database",
    L"Operation terminated by sqlite3_interrupt()",
    L"Some kind of disk I/O error occurred",
    L"The database disk image is malformed",
    L"(Internal Only) Table or record not found",
    L"Insertion failed because database is full",
    L"Unable to open the database file",
    L"Database lock protocol error",
    L"Database is empty",
    L"The database schema changed",
    L"Too much data for one row of a table",
    L"Abort due to contraint violation",
    L"Data type mismatch",
    L"Library used incorrectly",
    L"Uses OS features not supported on host",
    L"Authorization denied",
    L"Auxiliary database format error",
    L"2nd parameter to sqlite3_bind out of range",
    L"File opened that is not a database file",
};

// A compiled statement, finalized however its scope is left, so that a
// failed query never keeps the database file locked.
class Statement {
 public:
  Statement() = default;
  ~Statement() {
    if (stmt_ != nullptr) sqlite3_finalize(stmt_);
  }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  sqlite3_stmt** Out() { return &stmt_; }
  sqlite3_stmt* Get() const { return stmt_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// The message of a failure: M alone when SQLite has no error, else M with
// the code, its text, the statement and SQLite's message.
[[noreturn]] void RaiseError(const TSQLiteDatabase& database, const std::wstring& message, const std::wstring& sql) {
  std::wstring refused = database.RefusedFile();
  if (!refused.empty()) throw ESQLiteRefused(L"Refused \"" + refused + L"\": a link to another file", refused);
  sqlite3* db = database.Handle();
  int code = db != nullptr ? sqlite3_errcode(db) : 0;
  if (code == 0) throw ESQLiteException(message);
  std::wstring native = sys::FromUtf8(sqlite3_errmsg(db));
  throw ESQLiteException(message + L".\rError [" + std::to_wstring(code) + L"]: " + SQLiteErrorStr(code) + L".\r\"" +
                         sql + L"\": " + native);
}

void Prepare(const TSQLiteDatabase& db, const std::wstring& sql, Statement* stmt) {
  std::string text = sys::ToUtf8(sql);
  if (sqlite3_prepare_v2(db.Handle(), text.c_str(), -1, stmt->Out(), nullptr) != SQLITE_OK) {
    RaiseError(db, L"Error executing SQL", sql);
  }
  if (stmt->Get() == nullptr) RaiseError(db, L"Could not prepare SQL statement", sql);
}

// SQLite's lower() folds ASCII letters only; the name is folded the same way.
std::wstring AsciiLower(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return text;
}

std::wstring AsciiUpper(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  return text;
}

std::wstring Quoted(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    out += c;
    if (c == L'\'') out += L'\'';
  }
  return out;
}

int DeclaredType(sqlite3_stmt* stmt, int col) {
  const char* declared = sqlite3_column_decltype(stmt, col);
  if (declared == nullptr) return sqlite3_column_type(stmt, col);
  std::string type = declared;
  if (type == "INTEGER" || type == "BOOLEAN") return kSQLiteInteger;
  if (type == "NUMERIC" || type == "FLOAT" || type == "DOUBLE" || type == "REAL") return kSQLiteFloat;
  if (type == "BLOB") return kSQLiteBlob;
  return kSQLiteText;
}

SQLiteCell ReadCell(sqlite3_stmt* stmt, int col, int type) {
  if (sqlite3_column_type(stmt, col) == SQLITE_NULL) return {};
  switch (type) {
    case kSQLiteInteger:
      return static_cast<int64_t>(sqlite3_column_int64(stmt, col));
    case kSQLiteFloat:
      return sqlite3_column_double(stmt, col);
    case kSQLiteBlob: {
      const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(stmt, col));
      int size = sqlite3_column_bytes(stmt, col);
      if (data == nullptr || size <= 0) return {};
      return std::vector<uint8_t>(data, data + size);
    }
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
      return sys::FromUtf8(text != nullptr ? text : "");
    }
  }
}

}  // namespace

ESQLiteException::ESQLiteException(const std::wstring& message)
    : std::runtime_error(sys::ToUtf8(message)), message_(message) {}

std::wstring SQLiteErrorStr(int code) {
  if (code >= 0 && code < static_cast<int>(sizeof(kErrorTexts) / sizeof(kErrorTexts[0]))) return kErrorTexts[code];
  if (code == SQLITE_ROW) return L"sqlite3_step() has another row ready";
  if (code == SQLITE_DONE) return L"sqlite3_step() has finished executing";
  return L"Unknown SQLite Error Code \"" + std::to_wstring(code) + L"\"";
}

TSQLiteDatabase::TSQLiteDatabase(const std::wstring& FileName) {
  Open(FileName, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
}

TSQLiteDatabase::TSQLiteDatabase(const guard::FolderPin& folder, const std::wstring& name)
    : pinned_(std::make_unique<PinnedDatabase>()) {
  pinned_->folder = &folder;
  pinned_->name = name;
  const char* vfs = PinnedVfsName();
  if (vfs == nullptr) throw ESQLiteException(L"Failed to open database \"" + folder.Path() + name + L"\" : unknown error");
  {
    PinnedOpening opening(pinned_.get());
    Open(folder.Path() + name, SQLITE_OPEN_READWRITE, vfs);
  }
  // Sorts and statement journals in memory: no file in the temporary folder.
  try {
    ExecSQL(L"PRAGMA temp_store = MEMORY");
  } catch (...) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
}

void TSQLiteDatabase::Open(const std::wstring& FileName, int flags, const char* vfs) {
  int rc = sqlite3_open_v2(sys::ToUtf8(FileName).c_str(), &db_, flags, vfs);
  if (rc == SQLITE_OK) return;
  std::wstring reason = db_ != nullptr ? sys::FromUtf8(sqlite3_errmsg(db_)) : L"unknown error";
  // A failed open still hands back a connection; it is closed before the raise.
  if (db_ != nullptr) sqlite3_close(db_);
  db_ = nullptr;
  std::wstring refused = RefusedFile();
  if (!refused.empty()) throw ESQLiteRefused(L"Refused \"" + refused + L"\": a link to another file", refused);
  throw ESQLiteException(L"Failed to open database \"" + FileName + L"\" : " + reason);
}

std::wstring TSQLiteDatabase::RefusedFile() const { return pinned_ ? pinned_->refused : std::wstring(); }

TSQLiteDatabase::~TSQLiteDatabase() {
  if (db_ != nullptr) sqlite3_close(db_);
}

void TSQLiteDatabase::ExecSQL(const std::wstring& SQL) {
  Statement stmt;
  Prepare(*this, SQL, &stmt);
  if (sqlite3_step(stmt.Get()) != SQLITE_DONE) {
    sqlite3_reset(stmt.Get());
    RaiseError(*this, L"Error executing SQL statement", SQL);
  }
}

TSQLiteTable TSQLiteDatabase::GetTable(const std::wstring& SQL) { return TSQLiteTable(*this, SQL); }

bool TSQLiteDatabase::TableExists(const std::wstring& TableName) {
  std::wstring sql = L"select [sql] from sqlite_master where [type] = 'table' and lower(name) = '" +
                     Quoted(AsciiLower(TableName)) + L"' ";
  return GetTable(sql).Count() > 0;
}

bool TSQLiteDatabase::ColumnExists(const std::wstring& TableName, const std::wstring& ColumnName) {
  std::wstring sql = L"select name from pragma_table_info('" + Quoted(TableName) + L"') where lower(name) = '" +
                     Quoted(AsciiLower(ColumnName)) + L"' ";
  return GetTable(sql).Count() > 0;
}

TSQLiteTable::TSQLiteTable(TSQLiteDatabase& Database, const std::wstring& SQL) {
  Statement stmt;
  Prepare(Database, SQL, &stmt);
  for (;;) {
    int rc = sqlite3_step(stmt.Get());
    if (rc == SQLITE_DONE) break;
    if (rc == SQLITE_BUSY) RaiseError(Database, L"Could not prepare SQL statement", SQL);
    if (rc != SQLITE_ROW) {
      sqlite3_reset(stmt.Get());
      RaiseError(Database, L"Could not retrieve data", SQL);
    }
    if (RowCount == 0) {
      ColCount = sqlite3_column_count(stmt.Get());
      for (int c = 0; c < ColCount; ++c) {
        const char* name = sqlite3_column_name(stmt.Get(), c);
        Cols.push_back(AsciiUpper(sys::FromUtf8(name != nullptr ? name : "")));
        ColTypes.push_back(DeclaredType(stmt.Get(), c));
      }
    }
    ++RowCount;
    for (int c = 0; c < ColCount; ++c) Results.push_back(ReadCell(stmt.Get(), c, ColTypes[c]));
  }
  Row = 0;
}

}  // namespace core
