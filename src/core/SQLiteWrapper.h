// A thin object layer over the SQLite library: open a database file, ask
// whether a table exists, run statements, read a query's whole result. Every
// failure is raised as ESQLiteException with SQLite's own error text.
#pragma once
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

struct sqlite3;

namespace core {

namespace guard {
class FolderPin;
}
struct PinnedDatabase;

class ESQLiteException : public std::runtime_error {
 public:
  explicit ESQLiteException(const std::wstring& message);
  const std::wstring& Message() const { return message_; }

 private:
  std::wstring message_;
};

// A database, or a file SQLite makes beside it, is a link (or not the pinned
// folder's own file): nothing of it was read or written.
class ESQLiteRefused : public ESQLiteException {
 public:
  ESQLiteRefused(const std::wstring& message, const std::wstring& file) : ESQLiteException(message), file_(file) {}
  const std::wstring& File() const { return file_; }

 private:
  std::wstring file_;
};

// The English text of a SQLite result code.
std::wstring SQLiteErrorStr(int code);

class TSQLiteTable;

class TSQLiteDatabase {
 public:
  // Opens (or creates) the file; the name goes to SQLite as UTF-8.
  explicit TSQLiteDatabase(const std::wstring& FileName);
  // Opens the existing database `name` of the pinned `folder`, which must
  // outlive this object. It and every file SQLite makes beside it (journal,
  // WAL, shared memory) are opened relative to the pin; a link in the place
  // of any of them raises ESQLiteRefused. Temporary data stays in memory.
  TSQLiteDatabase(const guard::FolderPin& folder, const std::wstring& name);
  ~TSQLiteDatabase();
  TSQLiteDatabase(const TSQLiteDatabase&) = delete;
  TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

  // Runs the first statement of the text; one that yields a row fails.
  void ExecSQL(const std::wstring& SQL);
  TSQLiteTable GetTable(const std::wstring& SQL);
  // Letter case of ASCII letters is ignored.
  bool TableExists(const std::wstring& TableName);
  // Whether that table has a column of that name, letter case ignored as
  // above; false when the table does not exist.
  bool ColumnExists(const std::wstring& TableName, const std::wstring& ColumnName);

  sqlite3* Handle() const { return db_; }
  // The first of a pinned database's files found to be a link; empty else.
  std::wstring RefusedFile() const;

 private:
  void Open(const std::wstring& FileName, int flags, const char* vfs);

  sqlite3* db_ = nullptr;
  std::unique_ptr<PinnedDatabase> pinned_;
};

// Type codes as SQLite numbers them.
enum SQLiteType : int { kSQLiteInteger = 1, kSQLiteFloat = 2, kSQLiteText = 3, kSQLiteBlob = 4 };

// One value: empty for NULL (and for an empty blob).
using SQLiteCell = std::variant<std::monostate, int64_t, double, std::wstring, std::vector<uint8_t>>;

// The whole result of one query, read when the object is made.
class TSQLiteTable {
 public:
  TSQLiteTable(TSQLiteDatabase& Database, const std::wstring& SQL);

  int32_t Count() const { return RowCount; }
  const SQLiteCell& Cell(int32_t row, int32_t col) const { return Results[static_cast<size_t>(row) * ColCount + col]; }

  std::vector<SQLiteCell> Results;  // row after row, ColCount cells per row
  int32_t RowCount = 0;
  int32_t ColCount = 0;
  std::vector<std::wstring> Cols;  // upper-cased
  std::vector<int> ColTypes;
  int32_t Row = 0;
};

}  // namespace core
