// The prepared-statement cache: a statement is never finalized while someone is stepping it, even
// when the cache is far smaller than the number of distinct statements a connection runs, and
// identity inserts, trigger firings and nested queries stay right under that churn.
#include "db/embedded/statement_cache.h"

#include <sqlite3.h>

#include "embedded_test_util.h"

namespace erpsync::test {
namespace {

using db::embedded::StatementCache;
using db::embedded::StatementLease;

// An in-memory SQLite database with a few rows to step through.
struct MemoryDb {
  sqlite3* db = nullptr;
  MemoryDb() {
    sqlite3_open(":memory:", &db);
    sqlite3_exec(db, "CREATE TABLE t(n); INSERT INTO t VALUES (1), (2), (3)", nullptr, nullptr, nullptr);
  }
  ~MemoryDb() { sqlite3_close_v2(db); }
};

TEST(StatementCache, AStatementBeingSteppedOutlivesItsEviction) {
  MemoryDb m;
  StatementCache cache(2);
  int rc = 0;
  StatementLease outer = cache.acquire(m.db, "SELECT n FROM t ORDER BY n", rc);
  ASSERT_EQ(rc, SQLITE_OK);
  ASSERT_EQ(sqlite3_step(outer.get()), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(outer.get(), 0), 1);
  // Enough other statements to push the outer one out of the cache while it is mid-way.
  for (int i = 0; i < 10; ++i) {
    StatementLease s = cache.acquire(m.db, "SELECT " + std::to_string(i), rc);
    ASSERT_EQ(sqlite3_step(s.get()), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(s.get(), 0), i);
  }
  EXPECT_EQ(cache.size(), 2u);
  ASSERT_EQ(sqlite3_step(outer.get()), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(outer.get(), 0), 2);
  ASSERT_EQ(sqlite3_step(outer.get()), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(outer.get(), 0), 3);
  EXPECT_EQ(sqlite3_step(outer.get()), SQLITE_DONE);
}

TEST(StatementCache, ANestedUserOfTheSameTextGetsItsOwnStatement) {
  MemoryDb m;
  StatementCache cache(4);
  int rc = 0;
  const std::string sql = "SELECT n FROM t WHERE n >= ? ORDER BY n";
  sqlite3_stmt* first = nullptr;
  {
    StatementLease outer = cache.acquire(m.db, sql, rc);
    first = outer.get();
    sqlite3_bind_int(outer.get(), 1, 2);
    ASSERT_EQ(sqlite3_step(outer.get()), SQLITE_ROW);
    {
      StatementLease inner = cache.acquire(m.db, sql, rc);
      EXPECT_NE(inner.get(), outer.get());
      sqlite3_bind_int(inner.get(), 1, 1);
      ASSERT_EQ(sqlite3_step(inner.get()), SQLITE_ROW);
      EXPECT_EQ(sqlite3_column_int(inner.get(), 0), 1);
    }
    // The outer run is undisturbed by the inner one.
    ASSERT_EQ(sqlite3_step(outer.get()), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(outer.get(), 0), 3);
  }
  // Released, the cached statement is lent again, reset and with its bindings cleared.
  StatementLease again = cache.acquire(m.db, sql, rc);
  EXPECT_EQ(again.get(), first);
  EXPECT_EQ(sqlite3_step(again.get()), SQLITE_DONE);  // n >= NULL matches nothing
}

TEST(StatementCache, KeepsTheMostRecentlyUsedAndReportsPrepareErrors) {
  MemoryDb m;
  StatementCache cache(2);
  int rc = 0;
  sqlite3_stmt* a = cache.acquire(m.db, "SELECT 1", rc).get();
  cache.acquire(m.db, "SELECT 2", rc);
  EXPECT_EQ(cache.acquire(m.db, "SELECT 1", rc).get(), a);  // "SELECT 1" is now the most recent
  cache.acquire(m.db, "SELECT 3", rc);                      // evicts "SELECT 2"
  EXPECT_EQ(cache.acquire(m.db, "SELECT 1", rc).get(), a);
  StatementLease bad = cache.acquire(m.db, "SELEKT nothing", rc);
  EXPECT_NE(rc, SQLITE_OK);
  EXPECT_EQ(bad.get(), nullptr);
  EXPECT_EQ(cache.size(), 2u);
}

// The runtime with a tiny cache: every statement the connection prepares, its own internal ones
// included, pushes another out, so statements held further up the stack are evicted while in use.
class EmbeddedStatementChurn : public EmbeddedFixture {
 protected:
  std::size_t saved = db::embedded::defaultStatementCacheCapacity();
  void TearDown() override { db::embedded::setDefaultStatementCacheCapacity(saved); }

  std::unique_ptr<db::Connection> makeServer(const std::string& name) {
    auto c = server(name);
    c->execute("CREATE TABLE tblItem (ItemID int IDENTITY(1,1) NOT NULL PRIMARY KEY, Name varchar(40), Qty int)");
    c->execute("CREATE TABLE tblLog (LogID int IDENTITY(100,1) NOT NULL, ItemID int, Action varchar(10), N int)");
    c->execute(
        "create trigger Trig_ItemInsert on tblItem for insert as declare @id int select @id = ItemID from inserted "
        "if exists (select 1 from tblItem where ItemID = @id) insert into tblLog (ItemID, Action, N) select @id, "
        "'Insert', count(*) from inserted");
    c->execute(
        "create trigger Trig_ItemUpdate on tblItem for update as insert into tblLog (ItemID, Action, N) select "
        "max(ItemID), 'Update', count(*) from inserted");
    return c;
  }

  // Runs `rounds` rounds of distinct queries, identity inserts, trigger-firing updates and nested
  // queries, checking each result as it goes.
  void churn(db::Connection& c, int rounds) {
    for (int i = 1; i <= rounds; ++i) {
      const std::string n = std::to_string(i);
      // A statement text of its own each round (the alias differs, so the translation differs).
      auto rs = c.query("select count(*) as Seen" + n + " from tblItem where ItemID < " + n);
      ASSERT_EQ(rs.fields.at(0).name, "Seen" + n);
      ASSERT_EQ(rs.at(0, 0).toInt(), i - 1);
      ASSERT_EQ(c.execute("insert into tblItem (Name, Qty) values ('Item " + n + "', " + n + ")"), 1);
      // @@IDENTITY is the last identity of any scope: the log row the insert trigger wrote.
      ASSERT_EQ(c.query("select @@IDENTITY").at(0, 0).toInt(), 100 + 2 * (i - 1));
      ASSERT_EQ(c.query("select ItemID from tblItem where Name = 'Item " + n + "'").at(0, 0).toInt(), i);
      ASSERT_EQ(c.execute("update tblItem set Qty = Qty + 1 where ItemID = " + n), 1);
      // Nested: a condition over a subquery, then a batch that reads what the triggers wrote.
      rs = c.query(
          "if exists (select 1 from tblItem where ItemID in (select ItemID from tblLog where Action = "
          "'Update')) select count(*) as Logged" +
          n + " from tblLog else select -1");
      ASSERT_EQ(rs.at(0, 0).toInt(), 2 * i);
    }
    auto rs = c.query("select count(*), min(ItemID), max(ItemID), sum(Qty) from tblItem");
    EXPECT_EQ(rs.at(0, 0).toInt(), rounds);
    EXPECT_EQ(rs.at(0, 1).toInt(), 1);
    EXPECT_EQ(rs.at(0, 2).toInt(), rounds);
    EXPECT_EQ(rs.at(0, 3).toInt(), rounds * (rounds + 1) / 2 + rounds);
    rs = c.query("select count(*), min(LogID), max(LogID) from tblLog where N = 1");
    EXPECT_EQ(rs.at(0, 0).toInt(), 2 * rounds);
    EXPECT_EQ(rs.at(0, 1).toInt(), 100);
    EXPECT_EQ(rs.at(0, 2).toInt(), 100 + 2 * rounds - 1);
  }
};

TEST_F(EmbeddedStatementChurn, TinyCacheKeepsEveryStatementInUseAlive) {
  for (std::size_t capacity : {1u, 2u, 5u}) {
    SCOPED_TRACE("capacity " + std::to_string(capacity));
    db::embedded::setDefaultStatementCacheCapacity(capacity);
    auto c = makeServer("srv" + std::to_string(capacity));
    churn(*c, 60);
  }
}

// The reported failure: about as many distinct statements as the cache holds on one connection,
// then an identity insert whose own internal statements overflow the cache while it runs.
TEST_F(EmbeddedStatementChurn, CacheOverflowDuringAnIdentityInsert) {
  makeServer("srv");
  const long long capacity = static_cast<long long>(db::embedded::defaultStatementCacheCapacity());
  int inserted = 0;
  for (long long fill = capacity - 4; fill <= capacity + 1; ++fill) {
    auto c = connect("srv");
    for (long long i = 0; i < fill; ++i)
      ASSERT_EQ(c->query("select " + std::to_string(i) + " as V" + std::to_string(i)).at(0, 0).toInt(), i);
    ASSERT_EQ(c->execute("insert into tblItem (Name, Qty) values ('Filled', 1)"), 1);
    ++inserted;
    EXPECT_EQ(c->query("select max(ItemID) from tblItem").at(0, 0).toInt(), inserted);
    EXPECT_EQ(c->query("select count(*) from tblLog").at(0, 0).toInt(), inserted);
  }
}

}  // namespace
}  // namespace erpsync::test
