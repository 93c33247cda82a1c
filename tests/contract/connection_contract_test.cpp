// The connection contract (db/connection.h), one test body run against every backend: the embedded
// server, ODBC through the SQLite ODBC driver, ODBC through FreeTDS over SQL Server's wire protocol
// to the embedded server behind its endpoint, and a live SQL Server when ERPSYNC_TEST_MSSQL holds
// an ODBC connection string for one. Where the dialects part (triggers, a statement that runs for
// seconds) each backend supplies its own SQL text; the assertions are shared.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "../odbc/odbc_test_env.h"
#include "db/connection.h"
#include "db/embedded/embedded_server.h"
#ifndef _WIN32
#include "db/tds/tds_endpoint.h"
#endif
#include "shared/sql_login.h"
#include "test_support.h"

namespace erpsync::test {
namespace {

using db::Connection;
using db::DbError;
using Seconds = std::chrono::duration<double>;

constexpr const char* kClosed = "Operation is not allowed when the object is closed.";

enum class Backend { Embedded, OdbcSqlite, OdbcWire, SqlServer };

// One backend under test: how to reach it, and the SQL text where the dialects differ. A "why not"
// that is not empty names a case the backend cannot express; that case is skipped for it.
class Target {
 public:
  virtual ~Target() = default;
  virtual std::string connectionString() const = 0;
  virtual std::filesystem::path baseDir() const { return std::filesystem::current_path(); }

  std::unique_ptr<Connection> make() const { return db::makeConnection(connectionString(), baseDir()); }
  std::unique_ptr<Connection> connect() const {
    auto c = make();
    c->open(connectionString());
    return c;
  }

  // A table name for this test. SQL Server's tables outlive the test run: they get unique names
  // and are dropped afterwards.
  virtual std::string table(const std::string& base) { return base; }
  virtual void cleanUp() {}

  // Statements that create triggers writing to `log` on every insert and update of `table`.
  virtual std::vector<std::string> triggers(const std::string& table, const std::string& log) const = 0;

  // A statement that runs far longer than any time-out set here, and one that runs a few seconds
  // and ends; `c` may get a helper table first.
  virtual std::string slowStatement(Connection& c) { return digitsCrossJoin(c, 10); }
  virtual std::string longStatement(Connection& c) { return digitsCrossJoin(c, 8); }

  virtual std::string whyNoBatches() const { return {}; }
  // Why the statement's own count cannot be told from its triggers' counts.
  virtual std::string whyTriggerCountsShowThrough() const { return {}; }
  virtual std::string whyNoCountlessStatements() const { return {}; }

  // Statements run outside a transaction (setup) and inside one (doom) after which its commit
  // fails.
  struct FailingCommit {
    std::vector<std::string> setup;
    std::string doom;
  };
  virtual std::string whyNoFailingCommit() const { return {}; }
  virtual FailingCommit failingCommit() { return {}; }

 protected:
  // A count over `tables` copies of a ten-row table joined with each other: 10^tables rows.
  std::string digitsCrossJoin(Connection& c, int tables) {
    const std::string digits = table("digits");
    if (!digitsMade_) {
      c.execute("create table " + digits + " (d int)");
      for (int d = 0; d < 10; ++d) c.execute("insert into " + digits + " (d) values (" + std::to_string(d) + ")");
      digitsMade_ = true;
    }
    std::string sql = "select count(*) as n from " + digits + " d1";
    for (int i = 2; i <= tables; ++i) sql += " cross join " + digits + " d" + std::to_string(i);
    return sql;
  }

 private:
  bool digitsMade_ = false;
};

// Statement-level T-SQL triggers, as the change-log triggers are written (no SET NOCOUNT ON, so
// on SQL Server their statements report counts of their own).
std::vector<std::string> tsqlTriggers(const std::string& table, const std::string& log) {
  std::vector<std::string> out;
  for (const std::string action : {"insert", "update"})
    out.push_back("create trigger trg_" + table + "_" + action + " on " + table + " for " + action +
                  " as\r\n declare @n int\r\n select @n = count(*) from inserted\r\n insert into " + log +
                  " (n) values (@n)\r\n insert into " + log + " (n) values (@n)\r\n");
  return out;
}

class EmbeddedTarget : public Target {
 public:
  EmbeddedTarget() {
    db::embedded::createServer(dir_.path() / "srv");
    db::openConnection(connectionFor("master"), dir_.path())->execute("CREATE DATABASE DB");
  }
  std::string connectionString() const override { return connectionFor("DB"); }
  std::filesystem::path baseDir() const override { return dir_.path(); }
  std::vector<std::string> triggers(const std::string& table, const std::string& log) const override {
    return tsqlTriggers(table, log);
  }
  std::string whyNoFailingCommit() const override {
    return "the embedded server checks every constraint per statement: nothing makes its commit fail";
  }

 private:
  static std::string connectionFor(const std::string& catalog) {
    return "Provider=SQLOLEDB.1;Persist Security Info=True;User ID=sa;Initial Catalog=" + catalog +
           ";Data Source=embedded:srv";
  }
  TempDir dir_;
};

#ifndef _WIN32
// The production backend (ODBC, FreeTDS) over the wire to an embedded server behind its endpoint.
class OdbcWireTarget : public Target {
 public:
  OdbcWireTarget() {
    db::embedded::createServer(dir_.path() / "srv");
    db::openConnection("Provider=SQLOLEDB.1;Initial Catalog=master;Data Source=embedded:srv", dir_.path())
        ->execute("CREATE DATABASE DB");
    db::tds::EndpointConfig cfg;
    cfg.serverDir = dir_.path() / "srv";
    cfg.user = kSaUser;
    cfg.password = kSaPassword;
    endpoint_ = std::make_unique<db::tds::Endpoint>(cfg);
    endpoint_->start();
  }
  std::string connectionString() const override {
    return std::string("Provider=SQLOLEDB.1;Persist Security Info=True;User ID=sa;Password=") + kSaPassword +
           ";Initial Catalog=DB;Data Source=127.0.0.1," + std::to_string(endpoint_->port());
  }
  std::vector<std::string> triggers(const std::string& table, const std::string& log) const override {
    return tsqlTriggers(table, log);
  }
  std::string whyTriggerCountsShowThrough() const override {
    return "FreeTDS keeps the last count a trigger's statement reported (DONEINPROC) as the statement's own and "
           "drops the statement's count (DONE) after it; test_tds pins what it reports";
  }
  std::string whyNoFailingCommit() const override {
    return "the embedded server behind the endpoint checks every constraint per statement: nothing makes its "
           "commit fail";
  }

 private:
  TempDir dir_;
  std::unique_ptr<db::tds::Endpoint> endpoint_;
};
#endif

class OdbcSqliteTarget : public Target {
 public:
  std::string connectionString() const override {
    return "DRIVER=" + sqliteOdbcDriver() + ";Database=" + (dir_.path() / "contract.db").string();
  }
  std::vector<std::string> triggers(const std::string& table, const std::string& log) const override {
    // Row-level (the only kind SQLite has): the counts must leave them out all the same.
    std::vector<std::string> out;
    for (const std::string action : {"insert", "update"})
      out.push_back("create trigger trg_" + table + "_" + action + " after " + action + " on " + table +
                    " begin insert into " + log + " (n) values (new.id); insert into " + log +
                    " (n) values (new.id); end");
    return out;
  }
  std::string whyNoBatches() const override {
    return "the SQLite ODBC driver runs one statement per call (\"only one SQL statement allowed\")";
  }
  std::string whyNoCountlessStatements() const override {
    return "the SQLite ODBC driver reports 0 rows, not \"no count\", for statements that change no data";
  }
  FailingCommit failingCommit() override {
    // A deferred foreign key is checked at COMMIT.
    return {{"PRAGMA foreign_keys = ON", "create table parent (id integer primary key)",
             "create table child (id integer, parent integer references parent (id) deferrable initially "
             "deferred)"},
            "insert into child (id, parent) values (1, 99)"};
  }

 private:
  TempDir dir_;
};

class SqlServerTarget : public Target {
 public:
  explicit SqlServerTarget(std::string connectionString) : connectionString_(std::move(connectionString)) {}
  std::string connectionString() const override { return connectionString_; }
  std::string table(const std::string& base) override {
    const std::string name = "erpsync_contract_" + base + "_" + suffix_;
    if (std::find(made_.begin(), made_.end(), name) == made_.end()) made_.push_back(name);
    return name;
  }
  void cleanUp() override {
    if (made_.empty()) return;
    auto c = connect();
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) try {
        c->execute("if object_id('" + *it + "') is not null drop table " + *it);
      } catch (const DbError&) {
      }
  }
  std::vector<std::string> triggers(const std::string& table, const std::string& log) const override {
    return tsqlTriggers(table, log);
  }
  std::string whyTriggerCountsShowThrough() const override {
    // The driver the string names, else the one an OLE DB string is mapped to (FreeTDS by default).
    std::string driver = connectionString_;
    if (driver.find("DRIVER=") == std::string::npos && driver.find("driver=") == std::string::npos) {
      const char* d = std::getenv("ERPSYNC_ODBC_DRIVER");
      driver = d && *d ? d : "FreeTDS";
    }
    for (auto& c : driver) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (driver.find("freetds") == std::string::npos && driver.find("tdsodbc") == std::string::npos) return {};
    return "FreeTDS keeps the last count a trigger's statement reported as the statement's own";
  }
  std::string slowStatement(Connection&) override { return "waitfor delay '00:00:30'"; }
  std::string longStatement(Connection&) override { return "waitfor delay '00:00:03'"; }
  std::string whyNoFailingCommit() const override {
    return "SQL Server checks every constraint per statement: nothing makes its commit fail";
  }

 private:
  std::string connectionString_;
  std::string suffix_ = std::to_string(std::random_device{}() % 1000000000);
  std::vector<std::string> made_;
};

class ConnectionContract : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    switch (GetParam()) {
      case Backend::Embedded:
        target_ = std::make_unique<EmbeddedTarget>();
        break;
      case Backend::OdbcSqlite:
        target_ = std::make_unique<OdbcSqliteTarget>();
        break;
      case Backend::OdbcWire:
#ifdef _WIN32
        GTEST_SKIP() << "the wire protocol endpoint runs on POSIX systems only";
#else
        target_ = std::make_unique<OdbcWireTarget>();
#endif
        break;
      case Backend::SqlServer: {
        const char* cs = std::getenv("ERPSYNC_TEST_MSSQL");
        if (!cs || !*cs) GTEST_SKIP() << "ERPSYNC_TEST_MSSQL is not set: no SQL Server to test against";
        target_ = std::make_unique<SqlServerTarget>(cs);
        break;
      }
    }
    conn_ = target_->connect();
    t_ = target_->table("t");
    conn_->execute("create table " + t_ + " (id int, name varchar(20))");
  }
  void TearDown() override {
    conn_.reset();
    if (target_) target_->cleanUp();
  }

  long long count(Connection& c, const std::string& table) {
    return c.query("select count(*) as n from " + table).at(0, "n").toInt();
  }
  void insert(Connection& c, int id) {
    c.execute("insert into " + t_ + " (id) values (" + std::to_string(id) + ")");
  }

  // Runs `what` and checks it throws the DbError the contract words.
  static void expectError(const std::function<void()>& what, const std::string& text, const std::string& state = {},
                          long native = -1) {
    try {
      what();
      ADD_FAILURE() << "no DbError; expected \"" << text << "\"";
    } catch (const DbError& e) {
      EXPECT_EQ(e.description(), text);
      if (!state.empty()) {
        EXPECT_EQ(e.sqlState(), state) << text;
      }
      if (native >= 0) {
        EXPECT_EQ(e.nativeError(), native) << text;
      }
    }
  }

  void expectClosed(Connection& c) {
    EXPECT_FALSE(c.isOpen());
    expectError([&] { c.execute("insert into " + t_ + " (id) values (1)"); }, kClosed);
    expectError([&] { c.query("select count(*) as n from " + t_); }, kClosed);
    expectError([&] { c.beginTrans(); }, kClosed);
    expectError([&] { c.commitTrans(); }, kClosed);
    expectError([&] { c.rollbackTrans(); }, kClosed);
  }

  static void expectTimesOut(Connection& c, const std::string& sql) {
    const auto start = std::chrono::steady_clock::now();
    try {
      c.query(sql);
      ADD_FAILURE() << "ran to its end despite a time-out of 1 second";
    } catch (const DbError& e) {
      EXPECT_NE(e.description().find("Query timeout expired"), std::string::npos) << e.description();
      EXPECT_EQ(e.sqlState(), "HYT00") << e.description();
    }
    EXPECT_LT(Seconds(std::chrono::steady_clock::now() - start).count(), 10.0) << "the time-out was not enforced";
  }

  std::unique_ptr<Target> target_;
  std::unique_ptr<Connection> conn_;
  std::string t_;
};

INSTANTIATE_TEST_SUITE_P(Backends, ConnectionContract,
                         ::testing::Values(Backend::Embedded, Backend::OdbcSqlite, Backend::OdbcWire,
                                           Backend::SqlServer),
                         [](const auto& info) {
                           switch (info.param) {
                             case Backend::Embedded:
                               return "Embedded";
                             case Backend::OdbcSqlite:
                               return "OdbcSqlite";
                             case Backend::OdbcWire:
                               return "OdbcWire";
                             case Backend::SqlServer:
                               break;
                           }
                           return "SqlServer";
                         });

// ---------------------------------------------------------------- a closed connection

TEST_P(ConnectionContract, AClosedConnectionRefusesWorkAndClosingTwiceIsHarmless) {
  auto never = target_->make();
  expectClosed(*never);
  EXPECT_NO_THROW(never->close());

  conn_->close();
  expectClosed(*conn_);
  EXPECT_NO_THROW(conn_->close());
  conn_->open(target_->connectionString());
  EXPECT_EQ(count(*conn_, t_), 0) << "usable again after a reopen";
}

TEST_P(ConnectionContract, ATimeOutSetWhileClosedAppliesAfterOpenAndSurvivesReopening) {
  const std::string slow = target_->slowStatement(*conn_);
  auto c = target_->make();
  ASSERT_NO_THROW(c->setCommandTimeout(1));
  c->open(target_->connectionString());
  expectTimesOut(*c, slow);
  c->close();
  c->open(target_->connectionString());
  expectTimesOut(*c, slow);
}

// ---------------------------------------------------------------- transactions

TEST_P(ConnectionContract, ANestedBeginIsRefusedAndLeavesTheOpenTransactionAsItWas) {
  conn_->beginTrans();
  insert(*conn_, 1);
  expectError([&] { conn_->beginTrans(); }, "Cannot start more transactions on this session.", "25000");
  insert(*conn_, 2);
  conn_->rollbackTrans();
  EXPECT_EQ(count(*conn_, t_), 0) << "both inserts belong to the one transaction";

  conn_->beginTrans();
  insert(*conn_, 3);
  EXPECT_THROW(conn_->beginTrans(), DbError);
  conn_->commitTrans();
  auto other = target_->connect();
  EXPECT_EQ(count(*other, t_), 1) << "one commit ends the transaction: a refused begin is not counted";
  expectError([&] { conn_->commitTrans(); }, "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION.",
              "25000", 3902);
}

TEST_P(ConnectionContract, CommitOrRollbackWithoutATransactionIsAnError) {
  const std::string commitText = "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION.";
  const std::string rollbackText = "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.";
  expectError([&] { conn_->commitTrans(); }, commitText, "25000", 3902);
  expectError([&] { conn_->rollbackTrans(); }, rollbackText, "25000", 3903);

  conn_->beginTrans();
  insert(*conn_, 1);
  conn_->commitTrans();
  expectError([&] { conn_->commitTrans(); }, commitText, "25000", 3902);
  expectError([&] { conn_->rollbackTrans(); }, rollbackText, "25000", 3903);

  conn_->beginTrans();
  insert(*conn_, 2);
  conn_->rollbackTrans();
  expectError([&] { conn_->rollbackTrans(); }, rollbackText, "25000", 3903);
  EXPECT_EQ(count(*conn_, t_), 1);
}

TEST_P(ConnectionContract, AFailedCommitLeavesNoTransactionAndNoneOfItsWork) {
  if (const std::string why = target_->whyNoFailingCommit(); !why.empty()) GTEST_SKIP() << why;
  const Target::FailingCommit failing = target_->failingCommit();
  for (const auto& sql : failing.setup) conn_->execute(sql);

  conn_->beginTrans();
  insert(*conn_, 1);
  conn_->execute(failing.doom);
  EXPECT_THROW(conn_->commitTrans(), DbError);
  expectError([&] { conn_->rollbackTrans(); },
              "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.", "25000", 3903);
  EXPECT_EQ(count(*conn_, t_), 0) << "the failed commit's work is rolled back";
  insert(*conn_, 2);  // autocommit again: visible elsewhere at once
  EXPECT_EQ(count(*target_->connect(), t_), 1);
  conn_->beginTrans();
  conn_->rollbackTrans();
}

TEST_P(ConnectionContract, CloseRollsBackTheOpenTransaction) {
  conn_->beginTrans();
  insert(*conn_, 1);
  conn_->close();
  EXPECT_FALSE(conn_->isOpen());
  conn_->open(target_->connectionString());
  EXPECT_EQ(count(*conn_, t_), 0);
  EXPECT_EQ(count(*target_->connect(), t_), 0);
  conn_->beginTrans();  // nothing left open from before the close
  insert(*conn_, 2);
  conn_->commitTrans();
  EXPECT_EQ(count(*target_->connect(), t_), 1);
}

// ---------------------------------------------------------------- rows affected

TEST_P(ConnectionContract, RowsAffectedAreTheStatementsOwnNotItsTriggers) {
  if (const std::string why = target_->whyTriggerCountsShowThrough(); !why.empty()) GTEST_SKIP() << why;
  const std::string log = target_->table("log");
  conn_->execute("create table " + log + " (n int)");
  for (const auto& sql : target_->triggers(t_, log)) conn_->execute(sql);

  EXPECT_EQ(
      conn_->execute("insert into " + t_ + " (id, name) select 1, 'a' union all select 2, 'b' union all select 3, 'c'"),
      3);
  const long long logged = count(*conn_, log);
  EXPECT_GE(logged, 2) << "the insert trigger did not fire";
  EXPECT_EQ(conn_->execute("insert into " + t_ + " (id, name) values (4, 'd')"), 1);
  EXPECT_EQ(conn_->execute("update " + t_ + " set name = 'x'"), 4);
  EXPECT_GT(count(*conn_, log), logged) << "the update trigger did not fire";
  EXPECT_EQ(conn_->execute("update " + t_ + " set name = 'y' where id = 99"), 0) << "no row matched";
  EXPECT_EQ(conn_->execute("delete from " + t_ + " where id > 2"), 2);
}

TEST_P(ConnectionContract, ABatchCountsItsLastStatementThatReportsOne) {
  if (const std::string why = target_->whyNoBatches(); !why.empty()) GTEST_SKIP() << why;
  if (const std::string why = target_->whyTriggerCountsShowThrough(); !why.empty()) GTEST_SKIP() << why;
  const std::string log = target_->table("log");
  conn_->execute("create table " + log + " (n int)");
  for (const auto& sql : target_->triggers(t_, log)) conn_->execute(sql);

  EXPECT_EQ(
      conn_->execute("insert into " + t_ + " (id) values (1); insert into " + t_ + " (id) select 2 union all select 3"),
      2);
  EXPECT_EQ(conn_->execute("update " + t_ + " set name = 'x'; update " + t_ + " set name = 'y' where id = 1"), 1);
  EXPECT_EQ(conn_->execute("update " + t_ + " set name = 'z'; create table " + target_->table("u") + " (id int)"), 3)
      << "a statement without a count does not hide the one before it";
  EXPECT_EQ(conn_->execute("update " + t_ + " set name = 'x' where id = 99; create table " + target_->table("v") +
                           " (id int)"),
            0);
}

TEST_P(ConnectionContract, StatementsThatReportNoCountReturnMinusOne) {
  if (const std::string why = target_->whyNoCountlessStatements(); !why.empty()) GTEST_SKIP() << why;
  const std::string u = target_->table("u");
  EXPECT_EQ(conn_->execute("create table " + u + " (id int)"), -1);
  EXPECT_EQ(conn_->execute("drop table " + u), -1);
  if (target_->whyNoBatches().empty()) {
    EXPECT_EQ(conn_->execute("create table " + u + " (id int); drop table " + u), -1);
  }
}

// ---------------------------------------------------------------- time-out

TEST_P(ConnectionContract, AStatementOverItsTimeOutFailsAndTheConnectionCarriesOn) {
  const std::string slow = target_->slowStatement(*conn_);
  conn_->setCommandTimeout(1);
  expectTimesOut(*conn_, slow);
  EXPECT_EQ(count(*conn_, t_), 0) << "the connection is usable after a time-out";
  insert(*conn_, 1);
  EXPECT_EQ(count(*conn_, t_), 1);
}

TEST_P(ConnectionContract, ZeroOrANegativeTimeOutMeansNoLimit) {
  const std::string longer = target_->longStatement(*conn_);
  conn_->setCommandTimeout(1);
  conn_->setCommandTimeout(0);
  EXPECT_NO_THROW(conn_->query(longer));
  conn_->setCommandTimeout(1);
  conn_->setCommandTimeout(-5);
  EXPECT_NO_THROW(conn_->query(longer));
}

// ---------------------------------------------------------------- query

TEST_P(ConnectionContract, QueryReadsTheWholeResult) {
  const std::string digits = target_->table("digits");
  conn_->execute("create table " + digits + " (d int)");
  for (int d = 0; d < 10; ++d) conn_->execute("insert into " + digits + " (d) values (" + std::to_string(d) + ")");
  db::Recordset rs = conn_->query("select a.d * 100 + b.d * 10 + c.d as n from " + digits + " a cross join " + digits +
                                  " b cross join " + digits + " c order by n");
  ASSERT_EQ(rs.fields.size(), 1u);
  ASSERT_EQ(rs.size(), 1000u);
  for (std::size_t i = 0; i < rs.size(); ++i) ASSERT_EQ(rs.at(i, "n").toInt(), static_cast<long long>(i));
}

TEST_P(ConnectionContract, QueryReturnsTheFirstResultSetOfABatchPastItsRowCounts) {
  if (const std::string why = target_->whyNoBatches(); !why.empty()) GTEST_SKIP() << why;
  insert(*conn_, 1);
  insert(*conn_, 2);
  db::Recordset rs = conn_->query("insert into " + t_ + " (id) values (3); update " + t_ +
                                  " set name = 'x'; select id from " + t_ + " order by id; select 42 as other");
  ASSERT_EQ(rs.fields.size(), 1u);
  EXPECT_EQ(rs.fields[0].name, "id");
  ASSERT_EQ(rs.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(rs.at(i, "id").toInt(), static_cast<long long>(i + 1));
}

}  // namespace
}  // namespace erpsync::test
