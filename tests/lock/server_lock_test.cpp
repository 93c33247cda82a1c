// The push lock against a real central database, with the central server's clock moved instead of
// waiting.
#include "sync/server_lock.h"

#include <gtest/gtest.h>

#include "app/frm_synch.h"
#include "db/embedded/embedded_server.h"
#include "pair_fixture.h"
#include "process_runner.h"
#include "sync/free_server.h"

namespace erpsync::test {
namespace {

class ServerLock : public PairFixture {
 protected:
  ServerLock() : PairFixture(true) {}
  void TearDown() override { db::embedded::freezeClock(std::nullopt); }

  // Stops the server's wall clock at a whole second, so ages are judged to the second whatever the wall
  // clock does meanwhile (a shifted server clock still moves with its offset).
  db::DateTime serverSecond() {
    auto wall = plus(db::embedded::serverNow(), -db::embedded::clockOffsetSeconds());
    wall.millisecond = 0;
    db::embedded::freezeClock(wall);
    return db::embedded::serverNow();
  }
  static std::string at(const db::DateTime& t) {
    auto iso = t.iso();
    iso[10] = 'T';
    return iso.substr(0, 19);
  }
  // A lock row as programs at the branches write it, with the given time.
  void lockRow(const std::string& holder, const db::DateTime& timeof, int blockDataEntry = 1) {
    central().execute(
        " INSERT INTO [dbo].[tblDayActivity]([Activity],[BlockDataEntry],[SQLSERVERNAME],SystemName,"
        "ActivitiesDetail,Timeof) Values ('BLOCKFASTPUSH'," +
        std::to_string(blockDataEntry) + "," + db::sqlQuote(holder) + ",'','Blocking for data pushing from client','" +
        at(timeof) + "')");
  }
  long long lockRows(const std::string& where = "1=1") {
    return scalar(central(), "SELECT COUNT(*) FROM tblDayActivity WHERE Activity='BLOCKFASTPUSH' AND " + where);
  }
  bool check(std::string& holder) { return sync::checkServerFree(ctx, holder); }
  // Work under the lock that counts, inside its transaction, the lock rows held in the name given.
  static sync::LockedWork heldAs(const std::string& name) {
    return {", @n int",
            "SELECT @n = count(*) FROM tblDayActivity WHERE Activity='BLOCKFASTPUSH' AND BlockDataEntry=1 AND "
            "SQLSERVERNAME=" +
                db::sqlQuote(name) + "\r\n",
            ", @n AS N"};
  }
  static db::DateTime plus(const db::DateTime& t, long long s) {
    return db::DateTime::fromTotalSeconds(t.totalSeconds() + s);
  }
};

TEST_F(ServerLock, CheckJudgesAgeOnTheServerClock) {
  std::string holder = "untouched";
  EXPECT_TRUE(check(holder));
  EXPECT_EQ(form.lblserverStat.caption(), "FREE");
  EXPECT_EQ(holder, "untouched");

  auto now = serverSecond();
  lockRow("Branch Two", plus(now, -49));
  EXPECT_FALSE(check(holder));
  EXPECT_EQ(form.lblserverStat.caption(), "LOCK");
  EXPECT_EQ(holder, "Branch Two");
  EXPECT_EQ(lockRows(), 1);

  central().execute("DELETE FROM tblDayActivity WHERE Activity='BLOCKFASTPUSH'");
  now = serverSecond();
  lockRow("Branch Two", plus(now, -50));
  holder = "untouched";
  EXPECT_TRUE(check(holder));
  EXPECT_EQ(form.lblserverStat.caption(), "FREE");
  EXPECT_EQ(holder, "untouched");
  EXPECT_EQ(lockRows(), 0);
}

// Ages are whole date-time differences: a row written 20 seconds before midnight is live just after
// it, and a row written a day ago at almost the same time of day is abandoned.
TEST_F(ServerLock, AgeCountsDatesAcrossMidnightAndDays) {
  db::embedded::setClockOffsetSeconds(0);
  auto real = db::embedded::serverNow();
  auto target = plus(real.dateOnly(), 86400 + 10);  // 00:00:10 tomorrow
  db::embedded::setClockOffsetSeconds(target.totalSeconds() - real.totalSeconds());
  lockRow("Branch Two", plus(target, -20));  // 23:59:50
  std::string holder;
  EXPECT_FALSE(check(holder));
  EXPECT_EQ(holder, "Branch Two");

  central().execute("DELETE FROM tblDayActivity WHERE Activity='BLOCKFASTPUSH'");
  db::embedded::setClockOffsetSeconds(0);
  auto now = serverSecond();
  lockRow("Branch Two", plus(now, -86400 + 10));
  holder.clear();
  EXPECT_TRUE(check(holder));
  EXPECT_EQ(lockRows(), 0);
  EXPECT_TRUE(holder.empty());
}

TEST_F(ServerLock, RowsThatReadAsFreeAndSeveralRows) {
  auto now = serverSecond();
  lockRow("Branch Two", now, 0);
  std::string holder;
  EXPECT_TRUE(check(holder));
  EXPECT_EQ(form.lblserverStat.caption(), "FREE");
  EXPECT_EQ(holder, "Branch Two");
  EXPECT_EQ(lockRows(), 1);
  // We may take it: a row that does not block makes way.
  EXPECT_TRUE(sync::takeServerLock(ctx));
  EXPECT_EQ(lockRows(), 1);
  EXPECT_EQ(lockRows("SQLSERVERNAME='Branch One'"), 1);
  central().execute("DELETE FROM tblDayActivity WHERE Activity='BLOCKFASTPUSH'");

  // An abandoned row in front of a live one: the live one decides, the abandoned one goes.
  now = serverSecond();
  lockRow("Branch Three", plus(now, -300));
  lockRow("Branch Two", now);
  EXPECT_FALSE(check(holder));
  EXPECT_EQ(holder, "Branch Two");
  EXPECT_EQ(lockRows(), 1);
  EXPECT_EQ(form.lblserverStat.caption(), "LOCK");
}

TEST_F(ServerLock, RowWithoutHolderNameOfAnOlderTable) {
  central().execute("DROP TABLE tblDayActivity");
  central().execute(
      "CREATE TABLE tblDayActivity ([ID] [numeric](18, 0) IDENTITY(1,1) NOT NULL, [Activity] [varchar](50) NOT NULL, "
      "[TimeOf] [datetime] NULL, [SystemName] [varchar](50) NULL, [DateOF] [datetime] NULL, [ActivitiesDetail] "
      "[varchar](500) NULL, [BlnStarted] [numeric](18, 0) NULL, [BlnEnded] [numeric](18, 0) NULL, [CCID] [numeric](18, "
      "0) "
      "NULL, BlockDataEntry [numeric](18, 0), SQLSERVERNAME [varchar](50) NULL)");
  auto now = serverSecond();
  central().execute("INSERT INTO tblDayActivity (Activity, BlockDataEntry, Timeof) VALUES ('BLOCKFASTPUSH', 1, '" +
                    at(now) + "')");
  std::string holder = "x";
  EXPECT_FALSE(check(holder));
  EXPECT_EQ(holder, "");
  // Nobody may take a live lock, named or not.
  EXPECT_FALSE(sync::takeServerLock(ctx));
  EXPECT_EQ(lockRows(), 1);
}

// Taking is one conditional step: it succeeds only while no other branch holds a live lock, and it
// reports whether this branch holds the lock afterwards.
TEST_F(ServerLock, TakeRefreshAndReleaseMindTheHolder) {
  EXPECT_TRUE(sync::takeServerLock(ctx));
  EXPECT_EQ(form.lblserverStat.caption(), "LOCK");
  auto rs = central().query("SELECT * FROM tblDayActivity WHERE Activity='BLOCKFASTPUSH'");
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "BlockDataEntry").toInt(), 1);
  EXPECT_EQ(rs.at(0, "SQLSERVERNAME").toString(), "Branch One");
  EXPECT_EQ(rs.at(0, "SystemName").toString(), "");
  EXPECT_EQ(rs.at(0, "ActivitiesDetail").toString(), "Blocking for data pushing from client");
  EXPECT_TRUE(rs.at(0, "DateOF").isNull());
  EXPECT_TRUE(rs.at(0, "CCID").isNull());
  EXPECT_TRUE(rs.at(0, "BlnStarted").isNull());
  ASSERT_TRUE(rs.at(0, "Timeof").toDateTime());

  // Taking again refreshes our own row.
  EXPECT_TRUE(sync::takeServerLock(ctx));
  EXPECT_EQ(lockRows(), 1);

  // Another branch cannot take it, nor release it, nor refresh it.
  workingDay.costCentreName = "Branch Two";
  EXPECT_FALSE(sync::takeServerLock(ctx));
  EXPECT_EQ(form.lblserverStat.caption(), "LOCK");
  EXPECT_FALSE(sync::refreshServerLock(ctx));
  sync::releaseServerLock(ctx);
  EXPECT_EQ(lockRows("SQLSERVERNAME='Branch One'"), 1);
  EXPECT_EQ(lockRows(), 1);

  // The holder's heartbeat keeps the row live on the server's clock.
  workingDay.costCentreName = "Branch One";
  db::embedded::setClockOffsetSeconds(40);
  EXPECT_TRUE(sync::refreshServerLock(ctx));
  db::embedded::setClockOffsetSeconds(80);
  std::string holder;
  EXPECT_FALSE(check(holder));
  EXPECT_EQ(holder, "Branch One");

  // A refresh after the row was cleared takes the lock again.
  central().execute("DELETE FROM tblDayActivity WHERE Activity='BLOCKFASTPUSH'");
  EXPECT_TRUE(sync::refreshServerLock(ctx));
  EXPECT_EQ(lockRows("SQLSERVERNAME='Branch One'"), 1);

  sync::releaseServerLock(ctx);
  EXPECT_EQ(lockRows(), 0);
  EXPECT_EQ(form.lblserverStat.caption(), "FREE");
}

TEST_F(ServerLock, AbandonedLockOfAnotherBranchIsTakenOver) {
  auto now = serverSecond();
  lockRow("Branch Two", plus(now, -55));
  EXPECT_TRUE(sync::takeServerLock(ctx));
  EXPECT_EQ(lockRows(), 1);
  EXPECT_EQ(lockRows("SQLSERVERNAME='Branch One'"), 1);
}

TEST_F(ServerLock, NamesWithQuotesAreStoredAsTyped) {
  workingDay.costCentreName = "D'Souza's Branch";
  EXPECT_TRUE(sync::takeServerLock(ctx));
  workingDay.costCentreName = "Branch Two";
  std::string holder;
  EXPECT_FALSE(check(holder));
  EXPECT_EQ(holder, "D'Souza's Branch");
  workingDay.costCentreName = "D'Souza's Branch";
  EXPECT_TRUE(sync::refreshServerLock(ctx));
  sync::releaseServerLock(ctx);
  EXPECT_EQ(lockRows(), 0);
  EXPECT_TRUE(notices().empty());
}

TEST_F(ServerLock, FreeServerRemovesEveryLockAndFailuresAreNotices) {
  auto now = serverSecond();
  lockRow("Branch Two", now);
  lockRow("Branch Three", now);
  sync::freeServer(ctx);
  EXPECT_EQ(lockRows(), 0);
  EXPECT_EQ(form.lblserverStat.caption(), "FREE");

  ctx.WebConnection.reset();
  std::string holder;
  EXPECT_FALSE(sync::takeServerLock(ctx));
  EXPECT_FALSE(check(holder));
  EXPECT_EQ(notices().size(), 2u);
}

// Work under the lock takes it and gives it back inside one central transaction: a branch that holds a
// live lock keeps the work out, an abandoned one does not, and a failure leaves neither work nor lock.
TEST_F(ServerLock, WorkUnderTheLockNeverLeavesItBehind) {
  auto now = serverSecond();
  lockRow("Branch Two", plus(now, -20));
  auto busy = sync::runUnderPushLock(ctx, heldAs("Branch One"));
  EXPECT_FALSE(busy.held);
  EXPECT_EQ(busy.holder, "Branch Two");
  EXPECT_TRUE(busy.row.at(0, "N").isNull());  // the work did not run
  EXPECT_EQ(form.lblserverStat.caption(), "LOCK");
  EXPECT_EQ(lockRows("SQLSERVERNAME='Branch Two'"), 1);

  // Branch Two's row ages out: the next work takes the lock over and leaves no row behind.
  db::embedded::freezeClock(plus(db::embedded::serverNow(), 40));
  auto taken = sync::runUnderPushLock(ctx, heldAs("Branch One"));
  EXPECT_TRUE(taken.held);
  EXPECT_EQ(taken.row.at(0, "N").toInt(), 1);
  EXPECT_EQ(lockRows(), 0);
  EXPECT_EQ(form.lblserverStat.caption(), "FREE");

  // Work that fails half way: its first statement and the lock row go with it, and the connection
  // works as before afterwards (its statements are not left inside a transaction).
  EXPECT_THROW(sync::runUnderPushLock(ctx, {"",
                                            "insert into tblArea (AreaID, AreaName) values (901, 'Gone')\r\n"
                                            "insert into tblNoSuchTable (x) values (1)\r\n",
                                            ""}),
               db::DbError);
  EXPECT_EQ(lockRows(), 0);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblArea WHERE AreaID = 901"), 0);
  central().execute("insert into tblArea (AreaID, AreaName) values (902, 'Stays')");
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblArea WHERE AreaID = 902"), 1);
}

// The window: the Settings page shows the lock state, and the two maintenance buttons run their work.
TEST_F(ServerLock, WindowShowsTheLockOnItsSettingsPage) {
  FrmSynch frm(ctx);
  lockRow("Branch Two", serverSecond());
  form.lblserverStat.setCaption("FREE");
  form.SSTab1.setTab(2);
  EXPECT_EQ(form.lblserverStat.caption(), "LOCK");
  form.cmdFreeServer.click();
  EXPECT_EQ(form.lblserverStat.caption(), "FREE");
  EXPECT_EQ(lockRows(), 0);
  host.expectBox(Answer::OK, "Database Updated.");
  form.cmdUpdateDataBase.click();
}

// Branches in separate processes take and release the lock on one central server over and over; no
// two ever hold it at the same time.
TEST_F(ServerLock, ContendingBranchesNeverHoldItTogether) {
  const std::string home = "--home '" + dir.path().string() + "'";
  std::vector<std::string> args;
  for (int i = 1; i <= 4; ++i)
    args.push_back("lock-contend " + home + " --name 'Branch " + std::to_string(i) + "' --rounds 15 --hold-ms 3");
  auto results = runCliInParallel(dir.path(), args);
  for (const auto& r : results) {
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("overlaps 0, missed 0"), std::string::npos) << r.output;
  }
  EXPECT_EQ(lockRows(), 0);
}

// A status sink that keeps what it was told about the lock.
class LockStates : public StatusSink {
 public:
  void status(const std::string&) override {}
  void stage(const std::string&) override {}
  void pushLock(const std::string& state) override { states.push_back(state); }
  std::string currentStatus() const override { return {}; }
  std::vector<std::string> states;
};

// The headless runner names its branch through the working day, whatever a window would show: the lock
// row carries that name, the lock is told to the status sink, and the window's label is left alone.
TEST_F(ServerLock, TheWorkingDayNamesTheHolderAndTheStatusSinkHearsTheLock) {
  ctx.workingDaySource = [] {
    WorkingDay d;
    d.costCentreId = 2;
    d.costCentreName = "Headless North";
    return d;
  };
  LockStates sink;
  ctx.statusSink = &sink;
  form.lblserverStat.setCaption("as the window left it");

  ASSERT_TRUE(sync::takeServerLock(ctx));
  EXPECT_EQ(lockRows("SQLSERVERNAME='Headless North'"), 1);
  EXPECT_EQ(lockRows("SQLSERVERNAME='Branch One'"), 0);
  EXPECT_TRUE(sync::refreshServerLock(ctx));
  sync::releaseServerLock(ctx);
  EXPECT_EQ(lockRows(), 0);
  // Work under the lock holds it in that name within its one call, and it is free again after.
  const auto reply = sync::runUnderPushLock(ctx, heldAs("Headless North"));
  EXPECT_TRUE(reply.held);
  EXPECT_EQ(reply.row.at(0, "N").toInt(), 1);
  EXPECT_EQ(lockRows(), 0);
  sync::freeServer(ctx);
  EXPECT_EQ(sink.states, (std::vector<std::string>{"LOCK", "FREE", "FREE", "FREE"}));
  EXPECT_EQ(form.lblserverStat.caption(), "as the window left it");
}

}  // namespace
}  // namespace erpsync::test
