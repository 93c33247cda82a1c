// The change-log triggers at work on real databases: what one statement on a watched table leaves in
// tblActivity.
#include <gtest/gtest.h>

#include <map>

#include "pair_fixture.h"
#include "process_runner.h"
#include "simulator.h"

namespace erpsync::test {
namespace {

class ChangeLog : public PairFixture {
 protected:
  ChangeLog() : PairFixture(true) {}

  db::Recordset activity(db::Connection& c, long long aboveId = 0) {
    return c.query(
        "SELECT ID, TableName, tblUniqueID, Action, Active, DateofAction, ParentID, VchTYpeID, ActionTime, "
        "tblUniqueRefID FROM tblActivity WHERE ID > " +
        std::to_string(aboveId) + " ORDER BY ID");
  }
  void insertSale(long long invId, long long vchType, const std::string& servInvId = "NULL") {
    branch().execute(
        "INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, Party, CCID, SyncStat, ServInvID) VALUES (" +
        std::to_string(invId) + ", 'S1', '05/Dec/2026', " + std::to_string(vchType) + ", 'O''Brien Traders', 2, 0, " +
        servInvId + ")");
  }
};

TEST_F(ChangeLog, BranchSaleInsertLogsOneRowWithItsTypeAndParentFromId1) {
  insertSale(41, 201);
  auto rs = activity(branch());
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "ID").toInt(), 1);
  EXPECT_EQ(rs.at(0, "TableName").toString(), "tblSales");
  EXPECT_EQ(rs.at(0, "tblUniqueID").toInt(), 41);
  EXPECT_EQ(rs.at(0, "Action").toString(), "Insert");
  EXPECT_EQ(rs.at(0, "Active").toInt(), 1);
  EXPECT_EQ(rs.at(0, "ParentID").toInt(), 1);
  EXPECT_EQ(rs.at(0, "VchTYpeID").toInt(), 201);
  EXPECT_TRUE(rs.at(0, "tblUniqueRefID").isNull());
  auto day = rs.at(0, "DateofAction").toDateTime();
  ASSERT_TRUE(day);
  EXPECT_EQ(*day, day->dateOnly());
  auto time = rs.at(0, "ActionTime").toDateTime();
  ASSERT_TRUE(time);
  EXPECT_EQ(time->dateOnly(), *day);
  EXPECT_EQ(time->second, 0);  // the default text form keeps minutes only

  insertSale(42, 204);  // a stock-journal type on a sale: the parent comes from the type
  rs = activity(branch(), 1);
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "ID").toInt(), 2);
  EXPECT_EQ(rs.at(0, "ParentID").toInt(), 5);
}

// A head-office statement over several masters logs every row it touched, in the order of their ids,
// so each of them reaches the branches; a statement that touched nothing logs nothing.
TEST_F(ChangeLog, EveryRowOfAMasterStatementIsLoggedAndNothingWhenNoRowChanged) {
  const long long before = scalar(central(), "SELECT ISNULL(MAX(ID),0) FROM tblActivity");
  EXPECT_EQ(central().execute("UPDATE tblItemMaster SET MRP = MRP + 7 WHERE ItemID IN (5, 3, 4)"), 3);
  auto rs = activity(central(), before);
  ASSERT_EQ(rs.size(), 3u);
  for (std::size_t r = 0; r < 3; ++r) {
    EXPECT_EQ(rs.at(r, "ID").toInt(), before + 1 + static_cast<long long>(r));
    EXPECT_EQ(rs.at(r, "tblUniqueID").toInt(), 3 + static_cast<long long>(r));
    EXPECT_EQ(rs.at(r, "TableName").toString(), "tblItemMaster");
    EXPECT_EQ(rs.at(r, "Action").toString(), "Update");
    EXPECT_EQ(rs.at(r, "Active").toInt(), 1);
    EXPECT_EQ(rs.at(r, "ParentID").toInt(), 0);
    EXPECT_EQ(rs.at(r, "VchTYpeID").toInt(), 0);
    EXPECT_TRUE(rs.at(r, "tblUniqueRefID").isNull());
    auto day = rs.at(r, "DateofAction").toDateTime();
    ASSERT_TRUE(day);
    EXPECT_EQ(*day, day->dateOnly());
  }

  // Several areas added by one statement, and taken away by one.
  const long long afterUpdate = before + 3;
  central().execute("INSERT INTO tblArea (AreaID, AreaName) VALUES (52, 'Quay Side'), (51, 'Old Town')");
  central().execute(
      "INSERT INTO tblArea (AreaID, AreaName) SELECT AreaID + 60, AreaName FROM tblArea WHERE AreaID <= 2");
  EXPECT_EQ(central().execute("DELETE FROM tblArea WHERE AreaID IN (51, 52, 61)"), 3);
  rs = activity(central(), afterUpdate);
  ASSERT_EQ(rs.size(), 7u);
  const long long ids[] = {51, 52, 61, 62, 51, 52, 61};
  for (std::size_t r = 0; r < rs.size(); ++r) {
    EXPECT_EQ(rs.at(r, "ID").toInt(), afterUpdate + 1 + static_cast<long long>(r));
    EXPECT_EQ(rs.at(r, "tblUniqueID").toInt(), ids[r]) << r;
    EXPECT_EQ(rs.at(r, "TableName").toString(), "tblArea");
    EXPECT_EQ(rs.at(r, "Action").toString(), r < 4 ? "Insert" : "Deleted") << r;
    if (r < 4)
      EXPECT_TRUE(rs.at(r, "tblUniqueRefID").isNull());
    else
      EXPECT_EQ(rs.at(r, "tblUniqueRefID").toInt(), 0);
  }

  EXPECT_EQ(central().execute("UPDATE tblItemMaster SET Srate = 1 WHERE ItemID = -5"), 0);
  EXPECT_EQ(central().execute("DELETE FROM tblArea WHERE AreaID = -5"), 0);
  EXPECT_EQ(scalar(central(), "SELECT MAX(ID) FROM tblActivity"), afterUpdate + 7);
}

TEST_F(ChangeLog, DeletesCarryTheCentralIdOfAnUploadedVoucher) {
  insertSale(7, 201, "812");
  branch().execute("DELETE FROM tblSales WHERE InvID = 7");
  auto rs = activity(branch(), 1);
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "Action").toString(), "Deleted");
  EXPECT_EQ(rs.at(0, "TableName").toString(), "tblSales");
  EXPECT_EQ(rs.at(0, "tblUniqueID").toInt(), 7);
  EXPECT_EQ(rs.at(0, "tblUniqueRefID").toInt(), 812);
  EXPECT_EQ(rs.at(0, "ParentID").toInt(), 1);

  const long long before = scalar(central(), "SELECT ISNULL(MAX(ID),0) FROM tblActivity");
  central().execute("DELETE FROM tblArea WHERE AreaID = 4");
  rs = activity(central(), before);
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "Action").toString(), "Deleted");
  EXPECT_EQ(rs.at(0, "tblUniqueRefID").toInt(), 0);
}

// Vouchers saved, marked or removed several at a time at the branch are each logged with their own
// voucher type, parent type and, when removed, their own central number.
TEST_F(ChangeLog, EveryVoucherOfAStatementIsLoggedWithItsOwnTypeAndCentralId) {
  insertSale(11, 201, "901");
  insertSale(12, 204, "902");
  const long long before = scalar(branch(), "SELECT MAX(ID) FROM tblActivity");
  EXPECT_EQ(branch().execute("UPDATE tblSales SET SyncStat = 1 WHERE InvID IN (11, 12)"), 2);
  EXPECT_EQ(branch().execute("DELETE FROM tblSales WHERE InvID IN (12, 11)"), 2);
  auto rs = activity(branch(), before);
  ASSERT_EQ(rs.size(), 4u);
  const char* actions[] = {"Update", "Update", "Deleted", "Deleted"};
  for (std::size_t r = 0; r < 4; ++r) {
    const bool first = r % 2 == 0;  // each statement's rows in the order of the voucher ids
    EXPECT_EQ(rs.at(r, "ID").toInt(), before + 1 + static_cast<long long>(r));
    EXPECT_EQ(rs.at(r, "Action").toString(), actions[r]);
    EXPECT_EQ(rs.at(r, "TableName").toString(), "tblSales");
    EXPECT_EQ(rs.at(r, "tblUniqueID").toInt(), first ? 11 : 12);
    EXPECT_EQ(rs.at(r, "VchTYpeID").toInt(), first ? 201 : 204);
    EXPECT_EQ(rs.at(r, "ParentID").toInt(), first ? 1 : 5);
    if (r < 2)
      EXPECT_TRUE(rs.at(r, "tblUniqueRefID").isNull());
    else
      EXPECT_EQ(rs.at(r, "tblUniqueRefID").toInt(), first ? 901 : 902);
  }

  // Several notes saved by one statement; a voucher type missing from the types is logged all the same.
  branch().execute(
      "INSERT INTO tblNotes (VchID, VchDate, VchTypeID, Amount, CCID) VALUES (32, '05/Dec/2026', 999, 20, 2), "
      "(31, '05/Dec/2026', 202, 10, 2)");
  rs = activity(branch(), before + 4);
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(0, "tblUniqueID").toInt(), 31);
  EXPECT_EQ(rs.at(0, "VchTYpeID").toInt(), 202);
  EXPECT_EQ(rs.at(0, "ParentID").toInt(), 7);
  EXPECT_EQ(rs.at(1, "tblUniqueID").toInt(), 32);
  EXPECT_EQ(rs.at(1, "VchTYpeID").toInt(), 999);
  EXPECT_TRUE(rs.at(1, "ParentID").isNull());
  EXPECT_EQ(branch().execute("DELETE FROM tblNotes WHERE VchID = -1"), 0);
  EXPECT_EQ(scalar(branch(), "SELECT MAX(ID) FROM tblActivity"), before + 6);
}

// The first board-rate batch is logged although the log holds no board-rate row yet; afterwards a
// batch is logged once, whatever number of statements saves its rates.
TEST_F(ChangeLog, BoardRateBatchesAreLoggedOnceEachFromTheFirst) {
  auto rateRows = [&] {
    return central().query(
        "SELECT tblUniqueID, Action FROM tblActivity WHERE TableName='tblBoardRateMaster' ORDER BY ID");
  };
  auto addRate = [&](int vchId, int item) {
    central().execute(
        "INSERT INTO tblBoardRateMaster (Vchdate, ItemID, SRate, MRP, VchID, VchNo) VALUES ('05/Dec/2026', " +
        std::to_string(item) + ", 100, 120, " + std::to_string(vchId) + ", " + std::to_string(vchId) + ")");
  };
  ASSERT_EQ(rateRows().size(), 0u);
  addRate(5, 1);
  auto rs = rateRows();
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, 0).toInt(), 5);
  EXPECT_EQ(rs.at(0, 1).toString(), "InsertUpdate");

  addRate(5, 2);
  central().execute("UPDATE tblBoardRateMaster SET SRate = 101 WHERE VchID = 5");
  EXPECT_EQ(rateRows().size(), 1u);

  addRate(6, 1);
  rs = rateRows();
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(1, 0).toInt(), 6);
}

TEST_F(ChangeLog, SimulatedDayLeavesOneRowPerChange) {
  testbed::SimulationOptions o;
  o.sales = 4;
  o.orders = 2;
  o.stockJournals = 2;
  o.jobCards = 2;
  o.notes = 3;
  o.edits = 3;
  o.deletes = 2;
  o.masterChanges = 4;
  o.boardRates = 2;
  o.date = db::DateTime{2026, 12, 5};
  // Item rates are revised over a whole category at once: each item of it is a change of its own.
  std::map<long long, long long> itemsOfCategory;
  auto categories = central().query("SELECT CategoryID, COUNT(*) FROM tblItemMaster GROUP BY CategoryID");
  for (std::size_t i = 0; i < categories.size(); ++i)
    itemsOfCategory[categories.at(i, 0).toInt()] = categories.at(i, 1).toInt();
  auto r = testbed::simulateErpActivity(&branch(), &central(), o);
  long long masterRows = 0;
  for (const auto& change : r.changes) {
    if (change.table == "tblItemMaster" && change.action == "Update")
      masterRows += itemsOfCategory[change.id];
    else if (change.table == "tblItemMaster" || change.table == "tblLedger" || change.table == "tblArea")
      ++masterRows;
  }
  ASSERT_GT(masterRows, 4);
  EXPECT_EQ(r.sales + r.orders + r.stockJournals + r.jobCards + r.notes, 13);

  auto count = [](db::Connection& c, const std::string& where) {
    return scalar(c, "SELECT COUNT(*) FROM tblActivity WHERE " + where);
  };
  EXPECT_EQ(count(branch(), "Action='Insert'"), 13);
  EXPECT_EQ(count(branch(), "Action='Update'"), 3);
  EXPECT_EQ(count(branch(), "Action='Deleted'"), 2);
  for (const char* t : {"tblSales", "tblOrder", "tblStockJournal", "tblJobcard", "tblNotes"})
    EXPECT_GT(count(branch(), std::string("Action='Insert' AND TableName='") + t + "'"), 0) << t;
  EXPECT_EQ(count(central(), "TableName<>'tblBoardRateMaster'"), masterRows);
  EXPECT_EQ(count(central(), "TableName='tblBoardRateMaster'"), 2);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblSalesItem WHERE InvID NOT IN (SELECT InvID FROM tblSales)"), 0);
}

// Saves at several workstations at the same moment all succeed and are all logged, each under its own
// change-log id.
TEST_F(ChangeLog, ConcurrentSavesAreAllLoggedWithDistinctIds) {
  const std::string home = "--home '" + dir.path().string() + "'";
  std::vector<std::string> args;
  for (int i = 1; i <= 3; ++i)
    args.push_back(
        "testbed simulate " + home +
        " --sales 12 --orders 0 --stock-journals 0 --job-cards 0 --notes 3 --edits 0 --deletes 0 --masters 0 "
        "--board-rates 0 --date 2026-12-05 --seed " +
        std::to_string(i));
  auto results = runCliInParallel(dir.path(), args);
  for (const auto& r : results) EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblSales"), 36);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblNotes"), 9);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblActivity WHERE Action='Insert' AND TableName='tblSales'"), 36);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblActivity"), 45);
  EXPECT_EQ(scalar(branch(), "SELECT MAX(ID) FROM tblActivity"), 45);
}

}  // namespace
}  // namespace erpsync::test
