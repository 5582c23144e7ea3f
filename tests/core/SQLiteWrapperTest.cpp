// The database wrapper against real database files in the test prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "Scratch.h"
#include "core/SQLiteWrapper.h"
#include "core/guard/FolderPin.h"
#include "core/guard/PinnedOpen.h"
#include "support/TestSupport.h"

using namespace core;
using core_test::ScratchFolder;
using core_test::WriteFileBytes;
using core_test::ReadFileBytes;
using core_test::Exists;

namespace {

std::wstring RaisedMessage(const std::function<void()>& action) {
  try {
    action();
  } catch (const ESQLiteException& e) {
    return e.Message();
  }
  return L"(nothing raised)";
}

bool Has(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

class SQLiteWrapper : public testing::Test {
 protected:
  void SetUp() override {
    TSQLiteDatabase db(file_);
    db.ExecSQL(L"CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, frecency REAL, icon BLOB)");
    db.ExecSQL(L"CREATE TABLE \"it's\" (id INTEGER)");
    db.ExecSQL(L"INSERT INTO moz_places VALUES (1, 'http://a/', 1.5, x'0102')");
    db.ExecSQL(L"INSERT INTO moz_places VALUES (2, NULL, NULL, x'')");
  }
  ScratchFolder scratch_;
  std::wstring file_ = scratch_ / L"places \u00e9t\u00e9.sqlite";  // a name beyond ASCII
};

TEST_F(SQLiteWrapper, TableExistsIgnoresCaseAndCopesWithApostrophes) {
  TSQLiteDatabase db(file_);
  struct Case {
    const wchar_t* name;
    bool exists;
  } cases[] = {
      {L"moz_places", true}, {L"MOZ_PLACES", true}, {L"Moz_Places", true}, {L"it's", true},
      {L"IT'S", true},       {L"moz", false},       {L"x' or '1'='1", false}, {L"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(db.TableExists(c.name), c.exists) << c.name;
}

TEST_F(SQLiteWrapper, ColumnExistsIgnoresCaseAndNeedsTheTable) {
  TSQLiteDatabase db(file_);
  struct Case {
    const wchar_t* table;
    const wchar_t* column;
    bool exists;
  } cases[] = {
      {L"moz_places", L"url", true},  {L"MOZ_PLACES", L"FRECENCY", true}, {L"it's", L"id", true},
      {L"moz_places", L"urls", false}, {L"moz_places", L"", false},       {L"nowhere", L"id", false},
      {L"moz_places", L"x' or '1'='1", false},
  };
  for (const Case& c : cases) EXPECT_EQ(db.ColumnExists(c.table, c.column), c.exists) << c.table << "." << c.column;
}

TEST_F(SQLiteWrapper, ExecSQLOutcomes) {
  TSQLiteDatabase db(file_);
  EXPECT_NO_THROW(db.ExecSQL(L"DELETE FROM moz_places WHERE id = 99"));
  std::wstring row = RaisedMessage([&] { db.ExecSQL(L"SELECT id FROM moz_places"); });
  EXPECT_TRUE(Has(row, L"Error executing SQL statement")) << row;
  std::wstring empty = RaisedMessage([&] { db.ExecSQL(L"-- nothing"); });
  EXPECT_EQ(empty, L"Could not prepare SQL statement");
  std::wstring bad = RaisedMessage([&] { db.ExecSQL(L"DELETE FROM nowhere"); });
  EXPECT_EQ(bad, L"Error executing SQL.\rError [1]: SQL error or missing database.\r\"DELETE FROM nowhere\": "
                 L"no such table: nowhere");
}

TEST_F(SQLiteWrapper, GetTableReadsEveryCellByDeclaredType) {
  TSQLiteDatabase db(file_);
  TSQLiteTable table = db.GetTable(L"SELECT id, url, frecency, icon, 7 * 6 AS answer FROM moz_places ORDER BY id");
  ASSERT_EQ(table.Count(), 2);
  ASSERT_EQ(table.ColCount, 5);
  EXPECT_EQ(table.Cols, (std::vector<std::wstring>{L"ID", L"URL", L"FRECENCY", L"ICON", L"ANSWER"}));
  EXPECT_EQ(table.ColTypes, (std::vector<int>{1, 3, 2, 4, 1}));
  EXPECT_EQ(std::get<int64_t>(table.Cell(0, 0)), 1);
  EXPECT_EQ(std::get<std::wstring>(table.Cell(0, 1)), L"http://a/");
  EXPECT_EQ(std::get<double>(table.Cell(0, 2)), 1.5);
  EXPECT_EQ(std::get<std::vector<uint8_t>>(table.Cell(0, 3)), (std::vector<uint8_t>{1, 2}));
  EXPECT_EQ(std::get<int64_t>(table.Cell(0, 4)), 42);
  for (int c = 1; c < 4; ++c) EXPECT_TRUE(std::holds_alternative<std::monostate>(table.Cell(1, c))) << c;
  EXPECT_EQ(table.Row, 0);
}

TEST_F(SQLiteWrapper, NonDatabaseFileFailsAtTheFirstQuery) {
  std::wstring junk = scratch_ / L"junk.sqlite";
  ASSERT_TRUE(WriteFileBytes(junk, std::string(4096, 'j')));
  {
    TSQLiteDatabase db(junk);
    std::wstring message = RaisedMessage([&] { db.TableExists(L"logins"); });
    EXPECT_TRUE(Has(message, L"[26]")) << message;
    EXPECT_TRUE(Has(message, L"File opened that is not a database file")) << message;
  }
  EXPECT_TRUE(::DeleteFileW(junk.c_str()));
}

TEST_F(SQLiteWrapper, OpenFailureNamesTheFile) {
  std::wstring missing = scratch_ / L"no folder\\x.sqlite";
  std::wstring message = RaisedMessage([&] { TSQLiteDatabase db(missing); });
  EXPECT_EQ(message.rfind(L"Failed to open database \"" + missing + L"\" : ", 0), 0u) << message;
}

TEST_F(SQLiteWrapper, LockedDatabaseGivesCode5AndStaysDeletable) {
  {
    TSQLiteDatabase holder(file_);
    holder.ExecSQL(L"BEGIN IMMEDIATE");
    holder.ExecSQL(L"DELETE FROM moz_places WHERE id = 2");
    TSQLiteDatabase db(file_);
    ASSERT_TRUE(db.TableExists(L"moz_places"));
    std::wstring message = RaisedMessage([&] { db.ExecSQL(L"DELETE FROM moz_places"); });
    EXPECT_TRUE(Has(message, L"Error executing SQL statement")) << message;
    EXPECT_TRUE(Has(message, L"Error [5]: The database file is locked.")) << message;
    holder.ExecSQL(L"ROLLBACK");
  }
  EXPECT_TRUE(::DeleteFileW(file_.c_str())) << ::GetLastError();
}

// A database opened through the pin of its folder, with its side files: what
// is a link (a second name included) or another file than the one listed is
// refused, and nothing outside the folder is read, made or changed. The
// folder in\ holds the database, out\ an outside one of the same name.
TEST(SQLitePinned, EveryFileOfTheDatabaseIsItsFoldersOwn) {
  enum class Place {
    Before,     // a symbolic link made before the database is opened
    HardLink,   // a second name of the outside file, made before
    AtOpen,     // the name swapped for a copy of the outside file after its listing, just before its open
    AfterOpen,  // the folder swapped for a link once the database is open
  };
  struct Row {
    const char* what;
    bool wal;
    const wchar_t* linked;  // in\ + db + this is made a link to its out\ namesake; null: none
    bool dangling;          // ... to a name there that does not exist yet
    Place when;
    const wchar_t* refused;  // the suffix of the file refused; null: cleaned
  };
  const Row rows[] = {
      {"a plain database, its journal made and removed beside it", false, nullptr, false, Place::Before, nullptr},
      {"a database in WAL mode, its WAL and shared memory beside it", true, nullptr, false, Place::Before, nullptr},
      {"the database a link", false, L"", false, Place::Before, L""},
      {"the journal's name a link to an outside journal", false, L"-journal", false, Place::Before, L"-journal"},
      {"the journal's name a link to nothing yet", false, L"-journal", true, Place::Before, L"-journal"},
      {"the WAL's name a link", true, L"-wal", false, Place::Before, L"-wal"},
      {"the database a hard link to the outside one", false, L"", false, Place::HardLink, L""},
      {"the journal's name a hard link to an outside journal", false, L"-journal", false, Place::HardLink,
       L"-journal"},
      {"the database swapped for another file after its listing", false, L"", false, Place::AtOpen, L""},
      {"the shared memory's name a link to nothing yet", true, L"-shm", true, Place::Before, L"-shm"},
      {"the folder swapped for a link once the database is open", false, L"\\", false, Place::AfterOpen, L"-journal"},
      {"the same in WAL mode: the WAL made in the pinned folder is named as the outside one", true, L"\\", false,
       Place::AfterOpen, L"-wal"},
  };
  int n = 0;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ScratchFolder scratch;
    const std::wstring in = scratch / (L"in" + std::to_wstring(n++)), out = scratch / L"out";
    const std::wstring db = L"places.sqlite";
    for (const std::wstring& folder : {in, out}) {
      ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
      TSQLiteDatabase make(folder + L"\\" + db);
      if (r.wal) make.GetTable(L"PRAGMA journal_mode=WAL");
      make.ExecSQL(L"CREATE TABLE t (x TEXT)");
      make.ExecSQL(L"INSERT INTO t VALUES ('row')");
    }
    ASSERT_TRUE(WriteFileBytes(out + L"\\" + db + L"-journal", "not a journal"));
    ASSERT_TRUE(WriteFileBytes(out + L"\\" + db + L"-wal", std::string(32, 'w')));
    const std::string outside = ReadFileBytes(out + L"\\" + db);
    bool swapFolder = r.linked != nullptr && std::wstring(r.linked) == L"\\";
    if (r.when == Place::HardLink) {
      std::wstring link = in + L"\\" + db + r.linked;
      ::DeleteFileW(link.c_str());
      ASSERT_TRUE(::CreateHardLinkW(link.c_str(), (out + L"\\" + db + r.linked).c_str(), nullptr));
    }
    bool swapped = false;
    if (r.when == Place::AtOpen) {
      guard::SetBeforeContentOpen([&](const std::wstring& path) {
        if (swapped || path != in + L"\\" + db + r.linked) return;
        swapped = ::MoveFileW(path.c_str(), (scratch / L"moved-away").c_str()) &&
                  ::CopyFileW((out + L"\\" + db + r.linked).c_str(), path.c_str(), TRUE);
      });
    }
    if (r.linked != nullptr && !swapFolder && r.when == Place::Before) {
      std::wstring target = out + L"\\" + (r.dangling ? L"made-" : L"") + db + r.linked;
      std::wstring link = in + L"\\" + db + r.linked;
      if (std::wstring(r.linked).empty()) ::DeleteFileW(link.c_str());
      if (r.dangling) {
        ASSERT_TRUE(WriteFileBytes(target, "gone before the clean"));
      }
      if (!testing_support::MakeSymlink(target, link)) {
        GTEST_SKIP() << "links can only be made under Wine";
      }
      if (r.dangling) {
        ASSERT_TRUE(::DeleteFileW(target.c_str()));
      }
    }
    guard::FolderPin pin(in, guard::FollowLink::Yes);
    std::wstring refused = L"(none)";
    try {
      TSQLiteDatabase db_(pin, db);
      if (r.when == Place::AfterOpen && !testing_support::SwapForLink(in, scratch / L"moved", out)) {
        GTEST_SKIP() << "links can only be made under Wine";
      }
      db_.ExecSQL(L"DELETE FROM t");
    } catch (const ESQLiteRefused& e) {
      refused = e.File();
    } catch (const ESQLiteException& e) {
      refused = L"failed: " + e.Message();
    }
    guard::SetBeforeContentOpen(nullptr);
    EXPECT_EQ(swapped, r.when == Place::AtOpen);
    if (swapped) {
      EXPECT_TRUE(ReadFileBytes(in + L"\\" + db) == outside) << "the file swapped in was written";
    }
    EXPECT_EQ(refused, r.refused == nullptr ? L"(none)" : pin.Path() + db + r.refused);
    EXPECT_TRUE(ReadFileBytes(out + L"\\" + db) == outside) << "the outside database was written";
    EXPECT_EQ(ReadFileBytes(out + L"\\" + db + L"-journal"), "not a journal");
    EXPECT_EQ(ReadFileBytes(out + L"\\" + db + L"-wal"), std::string(32, 'w'));
    for (const wchar_t* side : {L"-journal", L"-wal", L"-shm"}) {
      EXPECT_FALSE(Exists(out + L"\\made-" + db + side)) << "made through a link";
    }
    if (r.refused != nullptr) continue;
    for (const wchar_t* side : {L"-journal", L"-wal"}) EXPECT_FALSE(Exists(in + L"\\" + db + side)) << "left behind";
    TSQLiteDatabase check(in + L"\\" + db);
    EXPECT_EQ(check.GetTable(L"SELECT x FROM t").Count(), 0);
  }
}

TEST(SQLiteErrorText, CodesAndUnknownCodes) {
  struct Case {
    int code;
    const wchar_t* text;
  } cases[] = {
      {0, L"Successful result"},
      {5, L"The database file is locked"},
      {19, L"Abort due to contraint violation"},
      {26, L"File opened that is not a database file"},
      {100, L"sqlite3_step() has another row ready"},
      {101, L"sqlite3_step() has finished executing"},
      {27, L"Unknown SQLite Error Code \"27\""},
      {-1, L"Unknown SQLite Error Code \"-1\""},
  };
  for (const Case& c : cases) EXPECT_EQ(SQLiteErrorStr(c.code), c.text) << c.code;
}

}  // namespace
