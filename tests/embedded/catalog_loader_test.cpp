// Reading a catalog's own description (columns, constraints, triggers): a description SQLite
// cannot read fails loudly instead of passing for an empty one (an unreadable trigger list would
// silently stop change capture), and damaged rows do not crash the loader.
#include <sqlite3.h>

#include "embedded_test_util.h"

namespace erpsync::test {
namespace {

class EmbeddedCatalogLoader : public EmbeddedFixture {
 protected:
  // Runs SQL straight on a catalog file, as another program (or a damaged disk) might change it.
  void raw(const std::string& catalog, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((base() / "srv" / (catalog + ".sqlite")).string().c_str(), &db), SQLITE_OK);
    char* err = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    std::string m = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << m;
  }
  // Replaces a description table by a view that fails while its rows are read (not when prepared).
  void makeUnreadable(const std::string& catalog, const std::string& table) {
    raw(catalog, "ALTER TABLE " + table + " RENAME TO saved_" + table + "; CREATE VIEW " + table +
                     " AS SELECT * FROM saved_" + table + " WHERE abs(-9223372036854775807 - 1) > 0");
  }
  void restore(const std::string& catalog, const std::string& table) {
    raw(catalog, "DROP VIEW " + table + "; ALTER TABLE saved_" + table + " RENAME TO " + table);
  }
  static std::string openError(const std::function<void()>& f) {
    try {
      f();
    } catch (const db::DbError& e) {
      return e.description();
    }
    return {};
  }
};

TEST_F(EmbeddedCatalogLoader, AnUnreadableTriggerListFailsInsteadOfDroppingTheTriggers) {
  auto c = server("srv");
  c->execute("CREATE TABLE tblItem (ItemID int NOT NULL, Name varchar(20))");
  c->execute("CREATE TABLE tblLog (ItemID int)");
  c->execute("create trigger Trig_ItemInsert on tblItem for insert as insert into tblLog select ItemID from inserted");

  makeUnreadable("DB", "__tsql_objects");
  // The open connection notices the schema change before its next statement.
  std::string e = errorOf(*c, "insert into tblItem values (1, 'a')");
  EXPECT_NE(e.find("__tsql_objects"), std::string::npos) << e;
  EXPECT_NE(e.find("integer overflow"), std::string::npos) << e;
  e = openError([&] { connect("srv"); });
  EXPECT_NE(e.find("integer overflow"), std::string::npos) << e;

  restore("DB", "__tsql_objects");
  auto again = connect("srv");
  again->execute("insert into tblItem values (2, 'b')");
  EXPECT_EQ(again->query("select count(*) from tblLog where ItemID = 2").at(0, 0).toInt(), 1);
  EXPECT_EQ(again->query("select count(*) from tblItem").at(0, 0).toInt(), 1);
}

TEST_F(EmbeddedCatalogLoader, AnUnreadableLinkedCatalogFailsTheStatementOnly) {
  auto w = server("srv", "W");
  w->execute("CREATE TABLE tblSales (InvID int)");
  w->execute("insert into tblSales values (1)");
  auto c = server("srv");
  EXPECT_EQ(c->query("select count(*) from W.dbo.tblSales").at(0, 0).toInt(), 1);

  makeUnreadable("W", "__tsql_columns");
  std::string e = errorOf(*c, "select count(*) from W.dbo.tblSales");
  EXPECT_NE(e.find("__tsql_columns"), std::string::npos) << e;
  EXPECT_EQ(c->query("select 1").at(0, 0).toInt(), 1);
  restore("W", "__tsql_columns");
  EXPECT_EQ(c->query("select count(*) from W.dbo.tblSales").at(0, 0).toInt(), 1);
}

TEST_F(EmbeddedCatalogLoader, DamagedDescriptionRowsAreSkippedWithoutCrashing) {
  auto c = server("srv");
  c->execute("CREATE TABLE tblItem (ItemID int NOT NULL PRIMARY KEY, Name varchar(20))");
  c.reset();
  raw("DB",
      "INSERT INTO __tsql_objects (name, kind, tbl, cols, definition, ord) VALUES ('IX_lost', 'IX', NULL, NULL, "
      "NULL, 90), ('Trig_lost', 'TR', NULL, NULL, NULL, 91), ('Trig_empty', 'TR', 'tblItem', 'I', NULL, 92)");
  c = connect("srv");
  EXPECT_EQ(c->execute("insert into tblItem values (1, 'a')"), 1);
  EXPECT_NE(errorOf(*c, "insert into tblItem values (1, 'b')").find("PRIMARY KEY"), std::string::npos);
  EXPECT_EQ(c->query("select count(*) from tblItem").at(0, 0).toInt(), 1);
}

TEST_F(EmbeddedCatalogLoader, AFileThatIsNotADatabaseFailsToOpen) {
  server("srv", "Broken");
  std::error_code ec;
  for (const char* suffix : {"-wal", "-shm"})
    std::filesystem::remove(base() / "srv" / (std::string("Broken.sqlite") + suffix), ec);
  writeFile(base() / "srv" / "Broken.sqlite", std::string(4096, 'x'));
  std::string e = openError([&] { connect("srv", "Broken"); });
  EXPECT_FALSE(e.empty());
}

}  // namespace
}  // namespace erpsync::test
