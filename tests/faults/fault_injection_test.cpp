// The embedded server's fault injection: the plan's syntax, which calls count, and what each kind of
// fault leaves behind (a failed statement, a lost link with its transaction rolled back, a reply lost
// after the commit, a process that ends on the spot).
#include "db/embedded/fault_injection.h"

#include <gtest/gtest.h>

#include "db/connection.h"
#include "db/embedded/embedded_server.h"
#include "db/embedded/link_simulator.h"
#include "sweep.h"
#include "test_support.h"

namespace erpsync {
namespace {

namespace faults = db::embedded::faults;

std::string connString(const std::string& server, const std::string& catalog) {
  return "Provider=SQLOLEDB.1;Password=PLOVERS318#;Persist Security Info=True;User ID=sa;Initial Catalog=" + catalog +
         ";Data Source=embedded:" + server;
}

class FaultInjection : public ::testing::Test {
 protected:
  FaultInjection() {
    faults::reset();
    a = server("branchsrv");
    b = server("centralsrv");
  }
  ~FaultInjection() override { faults::reset(); }

  std::unique_ptr<db::Connection> server(const std::string& name) {
    db::embedded::createServer(tmp.path() / name);
    db::openConnection(connString(name, "master"), tmp.path())->execute("CREATE DATABASE DB");
    auto c = db::openConnection(connString(name, "DB"), tmp.path());
    c->execute("CREATE TABLE t (id int NOT NULL PRIMARY KEY, v varchar(20) NULL)");
    return c;
  }
  void plan(const std::string& text) {
    std::string why;
    auto p = faults::parse(text, &why);
    ASSERT_TRUE(p) << why;
    faults::configure(*p);
  }
  static long long rowsOf(db::Connection& c) { return c.query("SELECT count(*) FROM t").at(0, 0).toInt(); }
  static db::DbError failureOf(const std::function<void()>& f) {
    try {
      f();
    } catch (const db::DbError& e) {
      return e;
    }
    ADD_FAILURE() << "expected a DbError";
    return db::DbError("");
  }

  test::TempDir tmp;
  std::unique_ptr<db::Connection> a, b;
};

TEST_F(FaultInjection, PlansAreReadStrictly) {
  auto p = faults::parse(
      " at=17 ; kind=DROP;error=2627;text=Boom, it=went;on=commit;match=INSERT;server=central;"
      "when=after;tally=/tmp/x ");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->at, 17);
  EXPECT_EQ(p->kind, faults::Kind::Drop);
  EXPECT_EQ(p->error, 2627);
  EXPECT_EQ(p->text, "Boom, it=went");
  EXPECT_EQ(p->on, faults::Calls::Commit);
  EXPECT_EQ(p->match, "INSERT");
  EXPECT_EQ(p->server, "central");
  EXPECT_TRUE(p->after);
  EXPECT_EQ(p->tally, "/tmp/x");
  std::string why;
  EXPECT_FALSE(faults::parse("text=a;b")) << "';' ends an item: 'b' alone is not a key=value pair";
  EXPECT_FALSE(faults::parse("at=3;kind=explode", &why));
  EXPECT_NE(why.find("kind"), std::string::npos);
  EXPECT_FALSE(faults::parse("at=-1"));
  EXPECT_FALSE(faults::parse("at=3x"));
  EXPECT_FALSE(faults::parse("stmt=3"));
  EXPECT_FALSE(faults::parse("at"));
  EXPECT_FALSE(faults::parse("error=0"));
  EXPECT_FALSE(faults::parse("when=during"));
  ASSERT_TRUE(faults::parse(""));
  EXPECT_EQ(faults::parse("")->at, 0);
}

TEST_F(FaultInjection, TheNthStatementFailsWithTheChosenErrorOnceAndTheRestRun) {
  plan("at=3;error=1205");
  a->execute("INSERT INTO t VALUES (1, 'a')");                               // 1
  EXPECT_EQ(rowsOf(*a), 1);                                                  // 2
  auto e = failureOf([&] { a->execute("INSERT INTO t VALUES (2, 'b')"); });  // 3
  EXPECT_EQ(e.nativeError(), 1205);
  EXPECT_EQ(e.sqlState(), "40001");
  EXPECT_NE(e.description().find("deadlock victim"), std::string::npos);
  a->execute("INSERT INTO t VALUES (3, 'c')");  // 4: runs
  EXPECT_EQ(rowsOf(*a), 2) << "the failed statement did not run";
  EXPECT_EQ(faults::fired(), 1);
  EXPECT_EQ(faults::counted(), 5);
}

TEST_F(FaultInjection, CountingSpansConnectionsAndCanBeLimitedToOneServerOrStatementText) {
  plan("at=2;server=centralsrv;error=50000;text=chosen failure");
  a->execute("INSERT INTO t VALUES (1, 'a')");
  b->execute("INSERT INTO t VALUES (1, 'a')");  // central 1
  a->execute("INSERT INTO t VALUES (2, 'a')");
  auto e = failureOf([&] { b->query("SELECT * FROM t"); });  // central 2
  EXPECT_EQ(e.description(), "chosen failure");
  EXPECT_EQ(e.nativeError(), 50000);

  plan("at=2;match=insert into t");
  a->execute("INSERT INTO t VALUES (3, 'a')");                             // match 1
  b->execute("UPDATE t SET v = 'insert'");                                 // no match
  a->beginTrans();                                                         // commits and begins never match a text
  EXPECT_THROW(b->execute("insert INTO t VALUES (7, 'x')"), db::DbError);  // match 2 on another connection
  a->commitTrans();
  EXPECT_EQ(faults::counted(), 2);
}

TEST_F(FaultInjection, AFailedCommitRollsBackAndLeavesNoTransactionOpen) {
  plan("at=1;on=commit;error=9002");
  a->beginTrans();
  a->execute("INSERT INTO t VALUES (1, 'a')");
  EXPECT_THROW(a->commitTrans(), db::DbError);
  EXPECT_EQ(rowsOf(*a), 0);
  EXPECT_EQ(rowsOf(*b), 0);
  a->beginTrans();  // no transaction was left open
  a->execute("INSERT INTO t VALUES (2, 'a')");
  a->commitTrans();
  EXPECT_EQ(rowsOf(*a), 1);
}

TEST_F(FaultInjection, ALostLinkRollsBackTheSessionAndEveryLaterCallFailsUntilReopened) {
  plan("at=3;kind=drop");
  a->beginTrans();                                                           // 1
  a->execute("INSERT INTO t VALUES (1, 'a')");                               // 2
  auto e = failureOf([&] { a->execute("INSERT INTO t VALUES (2, 'b')"); });  // 3
  EXPECT_EQ(e.sqlState(), "08S01");
  EXPECT_NE(e.description().find("Connection failure"), std::string::npos);
  EXPECT_TRUE(a->isOpen()) << "a client notices a lost link only when it next uses it";
  EXPECT_EQ(failureOf([&] { a->query("SELECT 1"); }).sqlState(), "08S01");
  EXPECT_EQ(failureOf([&] { a->commitTrans(); }).sqlState(), "08S01");
  EXPECT_EQ(failureOf([&] { a->rollbackTrans(); }).sqlState(), "08S01");
  EXPECT_THROW(db::Transaction t(*a), db::DbError);
}

TEST_F(FaultInjection, ALostLinkEndsTheOpenTransactionAtTheServer) {
  plan("at=3;kind=drop");
  a->beginTrans();
  a->execute("INSERT INTO t VALUES (1, 'a')");
  EXPECT_THROW(a->execute("SELECT 1"), db::DbError);
  // Another session sees nothing of it and can write the same key: no lock was left behind.
  EXPECT_EQ(rowsOf(*b), 0);
  auto again = db::openConnection(connString("branchsrv", "DB"), tmp.path());
  EXPECT_EQ(rowsOf(*again), 0);
  again->execute("INSERT INTO t VALUES (1, 'z')");
  a->close();
  EXPECT_FALSE(a->isOpen());
  a->open(connString("branchsrv", "DB"));
  EXPECT_EQ(rowsOf(*a), 1);
}

TEST_F(FaultInjection, AReplyLostAfterTheCommitLeavesTheWorkCommitted) {
  plan("at=1;on=commit;kind=drop;when=after");
  a->beginTrans();
  a->execute("INSERT INTO t VALUES (1, 'a')");
  EXPECT_EQ(failureOf([&] { a->commitTrans(); }).sqlState(), "08S01");
  auto again = db::openConnection(connString("branchsrv", "DB"), tmp.path());
  EXPECT_EQ(rowsOf(*again), 1) << "the commit reached the server; only its answer was lost";

  plan("at=1;when=after;error=1205");
  EXPECT_THROW(b->execute("INSERT INTO t VALUES (5, 'a')"), db::DbError);
  EXPECT_EQ(rowsOf(*b), 1) << "a statement outside a transaction committed before the error came back";
}

TEST_F(FaultInjection, OffByDefaultAndAfterReset) {
  EXPECT_FALSE(faults::active());
  plan("at=1");
  EXPECT_TRUE(faults::active());
  faults::reset();
  EXPECT_FALSE(faults::active());
  a->execute("INSERT INTO t VALUES (1, 'a')");
  EXPECT_EQ(faults::counted(), 0);
}

// Every round trip counts: an open and a rollback reach the server as a statement does, and on a real
// link each costs the same wait. A fault on an open fails the open; on a rollback it loses the link.
TEST_F(FaultInjection, OpensAndRollbacksAreRoundTripsToo) {
  plan("server=centralsrv");
  auto c = db::openConnection(connString("centralsrv", "DB"), tmp.path());  // 1
  c->beginTrans();                                                          // 2
  c->execute("INSERT INTO t VALUES (1, 'a')");                              // 3
  c->rollbackTrans();                                                       // 4
  a->query("SELECT 1");                                                     // another server: not counted
  EXPECT_EQ(faults::counted(), 4);
  EXPECT_EQ(rowsOf(*c), 0);

  plan("at=1;kind=drop;server=centralsrv");
  EXPECT_EQ(failureOf([&] { db::openConnection(connString("centralsrv", "DB"), tmp.path()); }).nativeError(), 17);
  plan("at=3;server=centralsrv");
  c->beginTrans();
  c->execute("INSERT INTO t VALUES (2, 'a')");
  EXPECT_EQ(failureOf([&] { c->rollbackTrans(); }).sqlState(), "08S01");
  EXPECT_EQ(rowsOf(*b), 0) << "the server rolled the session's work back";
}

TEST(LinkSimulator, OnlyServersAcrossTheLinkWait) {
  namespace link = db::embedded::link;
  link::configureLink(0, "Central");
  EXPECT_TRUE(link::acrossLink("/home/x/servers/central/HO01"));
  EXPECT_TRUE(link::acrossLink("/srv/branch/CENTRALDB"));
  EXPECT_FALSE(link::acrossLink("/home/x/servers/branch/BR01"));
  link::configureLink(0, "BR01");
  EXPECT_TRUE(link::acrossLink("/home/x/servers/branch/br01"));
  link::configureLink(0);
}

// The environment drives other processes: a crash ends the program with its own exit code and
// nothing after it runs; a tally names the calls a clean run makes.
TEST(FaultInjectionProcess, TheEnvironmentCrashesOrCountsAChildProcess) {
  test::TempDir home;
  db::embedded::createServer(home.path() / "srv");
  db::openConnection(connString("srv", "master"), home.path())->execute("CREATE DATABASE DB");
  db::openConnection(connString("srv", "DB"), home.path())->execute("CREATE TABLE t (id int NULL)");
  const std::string tally = (home.path() / "tally.txt").string();
  const std::string sql = " sql --home '" + home.path().string() +
                          "' --server embedded:srv --database DB -e \"INSERT INTO t VALUES (1)\" -e \"INSERT INTO t "
                          "VALUES (2)\" -e \"SELECT count(*) FROM t\"";
  auto counted = faultsweep::runCli("ERPSYNC_FAULT='tally=" + tally + "'", sql);
  EXPECT_EQ(counted.exitCode, 0) << counted.output;
  const std::string clean = test::readFile(tally);
  ASSERT_FALSE(clean.empty());
  const long long n = std::stoll(clean);
  EXPECT_GE(n, 3);
  EXPECT_EQ(clean.substr(clean.find(' ') + 1), "0\n");

  std::filesystem::remove(tally);
  auto crashed = faultsweep::runCli("ERPSYNC_FAULT='at=" + std::to_string(n) + ";kind=crash;tally=" + tally + "'", sql);
  EXPECT_EQ(crashed.exitCode, faults::kCrashExitCode) << crashed.output;
  EXPECT_FALSE(std::filesystem::exists(tally)) << "a crashed process writes nothing at exit";
  auto c = db::openConnection(connString("srv", "DB"), home.path());
  EXPECT_EQ(c->query("SELECT count(*) FROM t").at(0, 0).toInt(), 4) << "two runs of two inserts, no select ran";

  auto bad = faultsweep::runCli("ERPSYNC_FAULT='kind=melt'", sql);
  EXPECT_NE(bad.output.find("ERPSYNC_FAULT ignored"), std::string::npos) << bad.output;
}

}  // namespace
}  // namespace erpsync
