// The master download end to end: head office changes masters, the triggers log them centrally, and
// the branch applies them.
#include "sync/download_masters.h"

#include <gtest/gtest.h>

#include "db/embedded/fault_injection.h"
#include "db/recordset.h"
#include "pair_fixture.h"

namespace erpsync {
namespace {

class MasterDownload : public test::SyncPairFixture {
 protected:
  // The row of `table` with `key` = id, every column as text ("<missing>" when absent). A branch copy
  // holds a blank where head office has no text and 0 where it has no number, as the ERP expects; a
  // missing date stays missing.
  std::string row(db::Connection& c, const std::string& table, const std::string& key, int id) {
    auto rs = c.query("SELECT * FROM " + table + " WHERE " + key + " = " + std::to_string(id));
    if (rs.empty()) return "<missing>";
    std::string out;
    for (std::size_t f = 0; f < rs.fields.size(); ++f) {
      const int type = rs.fields[f].type;
      std::string v = rs.at(0, f).toString();
      if (rs.at(0, f).isNull()) v = db::isTextType(type) ? " " : db::isDateType(type) ? "NULL" : "0";
      out += rs.fields[f].name + "=" + v + ";";
    }
    return out;
  }
  void expectSame(const std::string& table, const std::string& key, int id) {
    EXPECT_EQ(row(branch(), table, key, id), row(central(), table, key, id)) << table << " " << id;
  }
  long long storedMark() { return std::stoll(ctx.readLoopSetting("MaxActivityID", "0")); }
  long long lastLogId() { return scalar(central(), "SELECT max(ID) FROM tblActivity"); }
};

TEST_F(MasterDownload, InsertsUpdatesAndDeletesReachTheBranchColumnByColumn) {
  central().execute(
      "INSERT INTO tblLedger (LID, LName, OpeningBalance, CreatedDate, ActiveStatus) "
      "VALUES (901, 'O''Brien & Sons', 1234.56, NULL, 1)");
  central().execute(
      "UPDATE tblItemMaster SET ItemName = 'Renamed ''item''', BlnExpiryItem = 1, Srate = 0.1 "
      "WHERE ItemID = 1");
  const int area = static_cast<int>(scalar(central(), "SELECT min(AreaID) FROM tblArea"));
  central().execute("DELETE FROM tblArea WHERE AreaID = " + std::to_string(area));

  auto out = sync::downloadMasters(ctx);
  EXPECT_TRUE(out.completed);
  EXPECT_EQ(out.applied, 3);
  expectSame("tblLedger", "LID", 901);
  expectSame("tblItemMaster", "ItemID", 1);
  EXPECT_EQ(row(branch(), "tblArea", "AreaID", area), "<missing>");
  EXPECT_EQ(ctx.MaxActivityID, lastLogId());
  EXPECT_EQ(storedMark(), lastLogId());
  EXPECT_EQ(form.lblStatus.caption(), "Update Masters Over");

  // Nothing new: the next pass changes nothing and keeps the mark.
  branch().execute("UPDATE tblLedger SET LName = 'branch edit' WHERE LID = 901");
  EXPECT_EQ(sync::downloadMasters(ctx).applied, 0);
  EXPECT_EQ(row(branch(), "tblLedger", "LID", 901).find("branch edit") != std::string::npos, true);
}

// A head-office price revision over several items in one statement, and items added and removed
// several at a time: every one of them reaches the branch.
TEST_F(MasterDownload, StatementsOverSeveralItemsBringEveryItemToTheBranch) {
  central().execute("UPDATE tblItemMaster SET MRP = MRP + 7 WHERE ItemID IN (3, 4, 5)");
  auto out = sync::downloadMasters(ctx);
  EXPECT_TRUE(out.completed);
  EXPECT_EQ(out.applied, 3);
  for (int id : {3, 4, 5}) expectSame("tblItemMaster", "ItemID", id);
  auto rates = branch().query("SELECT ItemID, MRP FROM tblItemMaster WHERE ItemID IN (3, 4, 5) ORDER BY ItemID");
  auto central_ = central().query("SELECT ItemID, MRP FROM tblItemMaster WHERE ItemID IN (3, 4, 5) ORDER BY ItemID");
  ASSERT_EQ(rates.size(), 3u);
  for (std::size_t r = 0; r < 3; ++r) EXPECT_EQ(rates.at(r, 1).toDouble(), central_.at(r, 1).toDouble()) << r;

  central().execute(
      "INSERT INTO tblItemMaster (ItemID, ItemCode, ItemName, CategoryID, UnitID, Srate, MRP) SELECT ItemID + 100, "
      "ItemCode, ItemName, CategoryID, UnitID, Srate, MRP FROM tblItemMaster WHERE ItemID IN (1, 2)");
  central().execute("DELETE FROM tblItemMaster WHERE ItemID IN (4, 5)");
  out = sync::downloadMasters(ctx);
  EXPECT_EQ(out.applied, 4);
  expectSame("tblItemMaster", "ItemID", 101);
  expectSame("tblItemMaster", "ItemID", 102);
  EXPECT_EQ(row(branch(), "tblItemMaster", "ItemID", 4), "<missing>");
  EXPECT_EQ(row(branch(), "tblItemMaster", "ItemID", 5), "<missing>");
  EXPECT_EQ(storedMark(), lastLogId());
}

// Head office is a round trip away: fifty changes over several tables cost the change log's read and one
// read of all their rows, not a read per table.
TEST_F(MasterDownload, FiftyChangesOverSeveralTablesCostTwoCallsToHeadOffice) {
  for (int i = 0; i < 20; ++i)
    central().execute("INSERT INTO tblLedger (LID, LName, OpeningBalance, ActiveStatus) VALUES (" +
                      std::to_string(900 + i) + ", 'Ledger " + std::to_string(i) + "', 0, 1)");
  central().execute("UPDATE tblItemMaster SET MRP = MRP + 1");
  const long long items = scalar(central(), "SELECT count(*) FROM tblItemMaster");
  const int area = static_cast<int>(scalar(central(), "SELECT min(AreaID) FROM tblArea"));
  central().execute("UPDATE tblArea SET AreaName = AreaName WHERE AreaID = " + std::to_string(area));
  const long long changes = 20 + items + 1;
  ASSERT_LE(changes, 50);
  db::embedded::faults::configure(*db::embedded::faults::parse("server=central"));
  auto out = sync::downloadMasters(ctx);
  const long long calls = db::embedded::faults::counted();
  db::embedded::faults::reset();
  EXPECT_TRUE(out.completed);
  EXPECT_EQ(out.applied, changes);
  EXPECT_EQ(calls, 2);
  expectSame("tblLedger", "LID", 919);
  expectSame("tblItemMaster", "ItemID", 1);
}

TEST_F(MasterDownload, UnicodeBitsAndEighteenDigitsArriveUnchanged) {
  for (auto* c : {&branch(), &central()})
    c->execute("ALTER TABLE tblLedger ADD LocalName nvarchar(60) NULL, Limit18 numeric(18,2) NULL, Blocked bit NULL");
  central().execute(
      "UPDATE tblLedger SET LocalName = N'Çay ''özel'' 茶 ðµ', Limit18 = 1234567890123456.78, Blocked = 1, "
      "CreatedDate = '2026-12-05 23:59:58.997' WHERE LID = 3");
  sync::downloadMasters(ctx);
  expectSame("tblLedger", "LID", 3);
  auto rs = branch().query("SELECT LocalName, Limit18, Blocked, CreatedDate FROM tblLedger WHERE LID = 3");
  EXPECT_EQ(rs.at(0, 0).toString(), "Çay 'özel' 茶 ðµ");
  EXPECT_EQ(rs.at(0, 1).toString(), "1234567890123456.78");
  EXPECT_EQ(rs.at(0, 2).toInt(), 1);
  EXPECT_EQ(rs.at(0, 3).toString(), "2026-12-05 23:59:58.997");
}

TEST_F(MasterDownload, FailedCopyKeepsTheBranchRowAndIsTriedAgain) {
  central().execute("UPDATE tblLedger SET LName = 'first' WHERE LID = 1");
  sync::downloadMasters(ctx);
  const long long before = ctx.MaxActivityID;
  const std::string kept = row(branch(), "tblLedger", "LID", 1);

  // A branch that lacks a column head office has: the copy fails after the delete.
  central().execute("ALTER TABLE tblLedger ADD Extra varchar(10) NULL");
  central().execute("UPDATE tblLedger SET LName = 'second', Extra = 'x' WHERE LID = 1");
  central().execute("UPDATE tblLedger SET LName = 'third' WHERE LID = 2");
  auto out = sync::downloadMasters(ctx);
  EXPECT_FALSE(out.completed);
  EXPECT_EQ(row(branch(), "tblLedger", "LID", 1), kept);
  EXPECT_EQ(ctx.MaxActivityID, before);
  EXPECT_EQ(storedMark(), before);
  ASSERT_FALSE(notices().empty());
  EXPECT_NE(notices().back().find("Invalid column name"), std::string::npos);

  // Once the branch has the column, the same changes go through.
  branch().execute("ALTER TABLE tblLedger ADD Extra varchar(10) NULL");
  out = sync::downloadMasters(ctx);
  EXPECT_TRUE(out.completed);
  expectSame("tblLedger", "LID", 1);
  expectSame("tblLedger", "LID", 2);
  EXPECT_EQ(ctx.MaxActivityID, lastLogId());
}

// Changes are applied many to a branch transaction; a failure in the middle of one must still leave
// exactly the changes before it applied, the failed one's row as it was, and the mark just before it.
TEST_F(MasterDownload, FailureInsideABatchKeepsTheChangesBeforeIt) {
  branch().execute("UPDATE tblLedger SET LName = 'taken' WHERE LID = 8");
  branch().execute("CREATE UNIQUE INDEX UX_Ledger_Name ON tblLedger (LName)");
  central().execute("UPDATE tblLedger SET LName = 'one' WHERE LID = 1");
  const long long markAfterFirst = lastLogId();
  central().execute("UPDATE tblLedger SET LName = 'taken' WHERE LID = 2");  // refused by the branch's index
  central().execute("UPDATE tblLedger SET LName = 'three' WHERE LID = 3");
  const std::string second = row(branch(), "tblLedger", "LID", 2);
  const std::string third = row(branch(), "tblLedger", "LID", 3);

  host.expectBox(Answer::OK, "Failed to update tblLedger");  // once, though its batch is applied twice
  auto out = sync::downloadMasters(ctx);
  EXPECT_EQ(host.pendingAnswers(), 0u);
  EXPECT_FALSE(out.completed);
  EXPECT_EQ(out.applied, 1);
  expectSame("tblLedger", "LID", 1);
  EXPECT_EQ(row(branch(), "tblLedger", "LID", 2), second);
  EXPECT_EQ(row(branch(), "tblLedger", "LID", 3), third);
  EXPECT_EQ(ctx.MaxActivityID, markAfterFirst);
  EXPECT_EQ(storedMark(), markAfterFirst);

  // The branch frees the name: the next pass resumes at the failed change.
  branch().execute("UPDATE tblLedger SET LName = 'freed' WHERE LID = 8");
  out = sync::downloadMasters(ctx);
  EXPECT_TRUE(out.completed);
  EXPECT_EQ(out.applied, 2);
  expectSame("tblLedger", "LID", 2);
  expectSame("tblLedger", "LID", 3);
  EXPECT_EQ(storedMark(), lastLogId());
}

TEST_F(MasterDownload, OtherTablesGodownsBadKeysAndUnknownActions) {
  const long long base = lastLogId() < 0 ? 0 : lastLogId();
  auto logRow = [&](long long id, const std::string& table, const std::string& key, const std::string& action) {
    central().execute("INSERT INTO tblActivity (ID, TableName, tblUniqueID, Action, ParentID) VALUES (" +
                      std::to_string(id) + ", '" + table + "', " + key + ", '" + action + "', 0)");
  };
  logRow(base + 1, "tblUnit", "1", "Update");    // not a master the branch takes
  logRow(base + 2, "TblLedger", "1", "Update");  // names match exactly
  logRow(base + 3, "tblLedger", "1", "Delete");  // not an action the log writes
  logRow(base + 4, "tblGodown", "1", "Update");  // godowns are left alone, and the mark with them
  host.expectBox(Answer::OK, "tblUnit Excluded From Synch").expectBox(Answer::OK, "TblLedger Excluded From Synch");
  const std::string ledger = row(branch(), "tblLedger", "LID", 1);
  auto out = sync::downloadMasters(ctx);
  EXPECT_TRUE(out.completed);
  EXPECT_EQ(row(branch(), "tblLedger", "LID", 1), ledger);
  EXPECT_EQ(ctx.MaxActivityID, base + 3);
  EXPECT_EQ(storedMark(), base + 3);
}

TEST_F(MasterDownload, UnreadableLogLeavesTheMarkAlone) {
  central().execute("UPDATE tblLedger SET LName = 'x' WHERE LID = 1");
  ctx.MaxActivityID = 0;
  ctx.WebConnection->close();
  auto out = sync::downloadMasters(ctx);
  EXPECT_FALSE(out.completed);
  EXPECT_EQ(out.applied, 0);
  EXPECT_EQ(ctx.MaxActivityID, 0);
  EXPECT_EQ(storedMark(), 0);
}

}  // namespace
}  // namespace erpsync
