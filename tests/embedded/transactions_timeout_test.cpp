// The embedded server's side of the connection rules that need its insides to check: the command
// time-out really stops a long statement, a write the time-out interrupts takes the caller's
// transaction with it (and nothing after it commits on its own), closing rolls back, and T-SQL's
// own BEGIN/COMMIT TRAN still nest inside batches.
#include <chrono>

#include "embedded_test_util.h"

namespace erpsync::test {
namespace {

using Clock = std::chrono::steady_clock;

// Runs for many seconds: a four-way cross join of 200 rows (1.6e9 combinations).
const char* kLongCount = "select count(*) from tblNum a, tblNum b, tblNum c, tblNum d where a.n + b.n + c.n + d.n > 0";

class EmbeddedTransactionsTimeout : public EmbeddedFixture {
 protected:
  std::unique_ptr<db::Connection> c;
  void SetUp() override {
    c = server("srv");
    c->execute("CREATE TABLE tblNum (n int NOT NULL)");
    std::string values;
    for (int i = 1; i <= 200; ++i) values += (i > 1 ? ", (" : "(") + std::to_string(i) + ")";
    c->execute("insert into tblNum (n) values " + values);
    c->execute("CREATE TABLE tblItem (ItemID int IDENTITY(1,1) NOT NULL, Name varchar(20))");
    c->execute("CREATE TABLE tblLog (N int)");
  }
  long long count(db::Connection& on, const std::string& where = "1=1") {
    return on.query("select count(*) from tblItem where " + where).at(0, 0).toInt();
  }
  // The error a statement raises, and how long it ran.
  static db::DbError failure(const std::function<void()>& f, double* seconds = nullptr) {
    auto t0 = Clock::now();
    try {
      f();
    } catch (const db::DbError& e) {
      if (seconds) *seconds = std::chrono::duration<double>(Clock::now() - t0).count();
      return e;
    }
    ADD_FAILURE() << "no error";
    return db::DbError("");
  }
  static bool contains(const db::DbError& e, const std::string& text) {
    return e.description().find(text) != std::string::npos;
  }
};

TEST_F(EmbeddedTransactionsTimeout, ALongStatementStopsAfterTheTimeoutSetEvenBeforeOpen) {
  auto fresh = db::makeConnection(embeddedConnString("srv", "DB"), base());
  fresh->setCommandTimeout(1);  // allowed while closed, kept for the open
  fresh->close();               // closing a closed connection does nothing
  fresh->open(embeddedConnString("srv", "DB"));
  double seconds = 0;
  db::DbError e = failure([&] { fresh->query(kLongCount); }, &seconds);
  EXPECT_TRUE(contains(e, "Query timeout expired")) << e.description();
  EXPECT_EQ(e.sqlState(), "HYT00");
  EXPECT_GE(seconds, 0.9);
  EXPECT_LT(seconds, 5.0);

  // Kept across close and open; the connection is usable right after a time-out.
  fresh->close();
  fresh->open(embeddedConnString("srv", "DB"));
  e = failure([&] { fresh->execute("insert into tblLog (N) " + std::string(kLongCount)); }, &seconds);
  EXPECT_TRUE(contains(e, "Query timeout expired")) << e.description();
  EXPECT_LT(seconds, 5.0);
  EXPECT_EQ(fresh->query("select count(*) from tblLog").at(0, 0).toInt(), 0);
  EXPECT_EQ(fresh->execute("insert into tblLog (N) values (1)"), 1);
}

TEST_F(EmbeddedTransactionsTimeout, ANegativeTimeoutMeansNoLimit) {
  c->setCommandTimeout(1);
  c->setCommandTimeout(-5);
  // Well over a second of work: past the one-second limit that no longer applies.
  auto t0 = Clock::now();
  EXPECT_EQ(c->query("select count(*) from tblNum a, tblNum b, tblNum c, tblNum d where a.n + b.n + c.n + d.n > 0 "
                     "and a.n <= 3")
                .at(0, 0)
                .toInt(),
            3LL * 200 * 200 * 200);
  EXPECT_GT(std::chrono::duration<double>(Clock::now() - t0).count(), 1.1);
}

TEST_F(EmbeddedTransactionsTimeout, ATimedOutWriteTakesTheTransactionWithIt) {
  c->beginTrans();
  c->execute("insert into tblItem (Name) values ('before')");
  c->setCommandTimeout(1);
  db::DbError e = failure([&] { c->execute("insert into tblLog (N) " + std::string(kLongCount)); });
  EXPECT_TRUE(contains(e, "Query timeout expired")) << e.description();
  // SQLite rolled the whole transaction back: nothing may now run as if it were still open.
  e = failure([&] { c->execute("insert into tblItem (Name) values ('after')"); });
  EXPECT_TRUE(contains(e, "cannot be committed")) << e.description();
  e = failure([&] { c->commitTrans(); });
  EXPECT_TRUE(contains(e, "cannot be committed")) << e.description();
  // The commit that failed left no transaction open, and none of its work.
  EXPECT_EQ(failure([&] { c->rollbackTrans(); }).nativeError(), 3903);
  EXPECT_EQ(count(*c), 0);
  auto other = connect("srv");
  EXPECT_EQ(count(*other), 0);

  // A batch's own ROLLBACK also clears a doomed transaction.
  c->beginTrans();
  failure([&] { c->execute("insert into tblLog (N) " + std::string(kLongCount)); });
  c->execute("rollback tran");
  c->beginTrans();
  c->execute("insert into tblItem (Name) values ('next')");
  c->commitTrans();
  EXPECT_EQ(count(*other), 1);
}

TEST_F(EmbeddedTransactionsTimeout, ATimedOutReadLeavesTheTransactionOpen) {
  c->beginTrans();
  c->execute("insert into tblItem (Name) values ('a')");
  c->setCommandTimeout(1);
  EXPECT_TRUE(contains(failure([&] { c->query(kLongCount); }), "Query timeout expired"));
  c->execute("insert into tblItem (Name) values ('b')");
  c->commitTrans();
  EXPECT_EQ(count(*connect("srv")), 2);
}

TEST_F(EmbeddedTransactionsTimeout, ApiTransactionsDoNotNestButBatchTransactionsDo) {
  c->beginTrans();
  c->execute("insert into tblItem (Name) values ('a')");
  db::DbError e = failure([&] { c->beginTrans(); });
  EXPECT_EQ(e.description(), "Cannot start more transactions on this session.");
  EXPECT_EQ(e.sqlState(), "25000");
  c->execute("insert into tblItem (Name) values ('b')");
  c->rollbackTrans();  // the first transaction was still open: both rows go
  EXPECT_EQ(count(*c), 0);
  e = failure([&] { c->commitTrans(); });
  EXPECT_EQ(e.nativeError(), 3902);
  EXPECT_EQ(e.sqlState(), "25000");

  // In a batch, BEGIN TRAN nests as @@TRANCOUNT does and only the outermost COMMIT commits.
  c->execute("begin tran begin tran insert into tblItem (Name) values ('c') commit tran");
  EXPECT_EQ(c->query("select @@TRANCOUNT").at(0, 0).toInt(), 1);
  auto other = connect("srv");
  EXPECT_EQ(count(*other), 0);  // not committed yet
  c->execute("commit tran");
  EXPECT_EQ(c->query("select @@TRANCOUNT").at(0, 0).toInt(), 0);
  EXPECT_EQ(count(*other), 1);
}

TEST_F(EmbeddedTransactionsTimeout, ClosingWithATransactionOpenRollsItBackAndFreesTheCatalog) {
  c->beginTrans();
  c->execute("insert into tblItem (Name) values ('a')");
  c->close();
  c->close();
  EXPECT_FALSE(c->isOpen());
  EXPECT_EQ(failure([&] { c->beginTrans(); }).description(), "Operation is not allowed when the object is closed.");
  auto other = connect("srv");
  other->setCommandTimeout(2);
  EXPECT_EQ(other->execute("insert into tblItem (Name) values ('b')"), 1);  // no lock left behind
  EXPECT_EQ(count(*other), 1);
  EXPECT_EQ(count(*other, "Name = 'a'"), 0);
}

TEST_F(EmbeddedTransactionsTimeout, RowsAffectedCountTheStatementsOwnRowsAndTheLastCountOfABatch) {
  c->execute(
      "create trigger Trig_ItemInsert on tblItem for insert as insert into tblLog (N) select count(*) from "
      "inserted insert into tblLog (N) values (0)");
  EXPECT_EQ(c->execute("insert into tblItem (Name) values ('a'), ('b'), ('c')"), 3);  // not the trigger's 2
  EXPECT_EQ(c->query("select count(*) from tblLog").at(0, 0).toInt(), 2);
  EXPECT_EQ(c->execute("update tblItem set Name = 'z' where ItemID <= 2 delete from tblItem where ItemID = 3"), 1);
  EXPECT_EQ(c->execute("update tblItem set Name = 'y' declare @x int set @x = 1"), 2);
  EXPECT_EQ(c->execute("declare @x int set @x = 1"), -1);
  EXPECT_EQ(c->execute("select * from tblItem"), -1);
}

}  // namespace
}  // namespace erpsync::test
