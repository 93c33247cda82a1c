// The full master migration, the settings synchronisation and the board rates, on two embedded servers.
#include <gtest/gtest.h>

#include "db/embedded/fault_injection.h"
#include "db/recordset.h"
#include "pair_fixture.h"
#include "app/reconcile_view.h"
#include "stock/import_board_rate_updator.h"
#include "stock/update_batch_active_status.h"
#include "app/sync_view.h"

namespace erpsync {
namespace {

class Migration : public test::SyncPairFixture {
 protected:
  Migration() {
    ConfigureLinkedServer(ctx, ctx.SyncServerName);
    for (auto* c : {&branch(), &central()})
      c->execute("ALTER TABLE tblLedger ADD LocalName nvarchar(60) NULL, Limit18 numeric(18,2) NULL, Blocked bit NULL");
    central().execute(
        "UPDATE tblLedger SET LocalName = N'Çay ''özel'' 茶', Limit18 = 1234567890123456.78, Blocked = 1, "
        "CreatedDate = NULL, LName = 'O''Brien' WHERE LID = 3");
    central().execute(
        "INSERT INTO tblLedger (LID, LName, LAliasName, Address, Phone, TaxRegNo, OpeningBalance, CreatedDate, "
        "ActiveStatus, LocalName, Blocked) VALUES (950, 'New at head office', '', '', '', '', -0.01, "
        "'2026-12-05 23:59:58.997', 1, N'ĳ', 0)");
    branch().execute("INSERT INTO tblArea (AreaID, AreaName) VALUES (99, 'Only at the branch')");
  }

  // Every row of table on c, ordered by key, as text. With blankNulls, a missing text reads as the
  // blank and a missing number as 0, as the row-by-row copy writes them (dates stay missing).
  std::string table(db::Connection& c, const std::string& t, const std::string& key, bool blankNulls) {
    auto rs = c.query("SELECT * FROM " + t + " ORDER BY " + key);
    std::string out;
    for (std::size_t r = 0; r < rs.size(); ++r) {
      for (std::size_t f = 0; f < rs.fields.size(); ++f) {
        const int type = rs.fields[f].type;
        std::string v = rs.at(r, f).isNull() ? "NULL" : rs.at(r, f).toString();
        if (blankNulls && rs.at(r, f).isNull() && !db::isDateType(type)) v = db::isTextType(type) ? " " : "0";
        out += rs.fields[f].name + "=" + v + ";";
      }
      out += "\n";
    }
    return out;
  }
  void select(std::initializer_list<const char*> captions) {
    onMasterList(ctx);
    auto& list = form.lstMasterSettings;
    for (int i = 0; i < list.listCount(); ++i) {
      bool want = false;
      for (const char* c : captions) want |= list.items()[i].text.rfind(std::string(c) + " ", 0) == 0;
      list.setSelected(i, want);
    }
  }
  static constexpr std::pair<const char*, const char*> kTables[] = {
      {"tblLedger", "LID"}, {"tblArea", "AreaID"}, {"tblItemMaster", "ItemID"}, {"tblCategories", "CategoryID"}};
};

TEST_F(Migration, MasterListHoldsEveryMasterSelectedAndToggles) {
  form.lstMasterSettings.setVisible(false);
  onMasterList(ctx);
  const auto& list = form.lstMasterSettings;
  ASSERT_EQ(list.listCount(), 19);
  EXPECT_TRUE(list.visible());
  EXPECT_EQ(list.selectedCount(), 19);
  EXPECT_EQ(list.items()[0].text, "Ledger" + std::string(120, ' ') + "_tblLedger");
  onMasterList(ctx);
  EXPECT_FALSE(list.visible());
  EXPECT_EQ(list.listCount(), 19);
}

TEST_F(Migration, RowByRowLeavesBranchTablesEqualToCentral) {
  select({"Ledger", "Area", "ItemMaster", "Category"});
  auto out = onMasterSynchronisation(ctx);
  EXPECT_FALSE(out.stopped);
  EXPECT_TRUE(out.failed.empty());
  EXPECT_EQ(out.migrated, (std::vector<std::string>{"tblLedger", "tblArea", "tblCategories", "tblItemMaster"}));
  for (const auto& [t, key] : kTables) EXPECT_EQ(table(branch(), t, key, true), table(central(), t, key, true)) << t;
  auto rs = branch().query("SELECT LocalName, Limit18, Blocked, CreatedDate, LName FROM tblLedger WHERE LID = 3");
  EXPECT_EQ(rs.at(0, 0).toString(), "Çay 'özel' 茶");
  EXPECT_EQ(rs.at(0, 1).toString(), "1234567890123456.78");
  EXPECT_EQ(rs.at(0, 2).toInt(), 1);
  EXPECT_TRUE(rs.at(0, 3).isNull());
  EXPECT_EQ(rs.at(0, 4).toString(), "O'Brien");
  EXPECT_EQ(form.lblStatusMain.caption(), "Upoading Over");
  EXPECT_EQ(form.lblStatus.caption(), ".....");
  EXPECT_FALSE(form.frmInitialize.visible());
  EXPECT_TRUE(form.cmdFullSync.enabled());
}

TEST_F(Migration, BulkGivesTheSameTablesAndKeepsNulls) {
  form.chkBulkInsert.setValue(1);
  select({"Ledger", "Area", "ItemMaster", "Category", "Price List"});
  auto out = onMasterSynchronisation(ctx);
  EXPECT_TRUE(out.failed.empty());
  EXPECT_EQ(out.migrated.size(), 5u);
  for (const auto& [t, key] : kTables) EXPECT_EQ(table(branch(), t, key, false), table(central(), t, key, false)) << t;
  EXPECT_EQ(table(branch(), "tblpricelist", "UNIQUEID", false), table(central(), "tblpricelist", "UNIQUEID", false));
  EXPECT_TRUE(notices().empty());
}

TEST_F(Migration, FailureMidTableLeavesThatTableAsItWas) {
  // A central row the branch cannot take (its name is too long for the branch column).
  branch().execute("ALTER TABLE tblArea ALTER COLUMN AreaName varchar(20) NULL");
  central().execute("INSERT INTO tblArea (AreaID, AreaName) VALUES (98, 'A name far too long for the branch')");
  const std::string before = table(branch(), "tblArea", "AreaID", false);
  for (bool bulk : {false, true}) {
    host.setStrict(false);  // the copy tells its own failure
    form.chkBulkInsert.setValue(bulk ? 1 : 0);
    select({"Area", "Ledger"});
    auto out = onMasterSynchronisation(ctx);
    EXPECT_EQ(out.failed, std::vector<std::string>{"tblArea"}) << bulk;
    EXPECT_EQ(out.migrated, std::vector<std::string>{"tblLedger"}) << bulk;  // the next table still runs
    EXPECT_EQ(table(branch(), "tblArea", "AreaID", false), before) << bulk;
    EXPECT_FALSE(notices().empty());
  }
}

TEST_F(Migration, BulkFailureWithoutFallbackKeepsTheOldRows) {
  host.setStrict(false);
  // The branch has a column head office lacks: "select *" cannot fill it, and employees have no
  // row-by-row fallback.
  branch().execute("ALTER TABLE tblEmployee ADD BranchOnly varchar(10) NULL");
  const long long before = scalar(branch(), "SELECT COUNT(*) FROM tblEmployee");
  ASSERT_GT(before, 0);
  form.chkBulkInsert.setValue(1);
  select({"Employee"});
  auto out = onMasterSynchronisation(ctx);
  EXPECT_EQ(out.failed, std::vector<std::string>{"tblEmployee"});
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblEmployee"), before);
}

// The refusal of a SET on a table is passed over by its number (8104 to 8107), in whatever language the
// server words it; any other error still ends the migration.
TEST_F(Migration, ASetRefusalIsPassedOverByItsNumberWhateverTheWording) {
  namespace faults = db::embedded::faults;
  std::string why;
  for (const char* error : {"8107", "1205"}) {
    auto plan = faults::parse(std::string("at=1;match=alter table tblUserGroupMaster;error=") + error +
                                  ";text=Der SET-Vorgang kann nicht ausgefuehrt werden",
                              &why);
    ASSERT_TRUE(plan) << why;
    faults::configure(*plan);
    host.setStrict(false);
    select({"UserGroup"});
    const auto out = onMasterSynchronisation(ctx);
    faults::reset();
    if (std::string(error) == "8107") {
      EXPECT_FALSE(out.stopped);
      EXPECT_EQ(out.migrated, std::vector<std::string>{"tblUserGroupMaster"});
    } else {
      EXPECT_TRUE(out.stopped);
      EXPECT_TRUE(out.migrated.empty());
    }
  }
}

TEST_F(Migration, SelectionIsASubstringTestAndAttendanceMigratesNothing) {
  select({"CurrencyConversion"});
  auto out = onMasterSynchronisation(ctx);
  EXPECT_EQ(out.migrated, (std::vector<std::string>{"tblCurrency", "tblCurrencyDetail"}));
  select({"Attendance"});
  EXPECT_TRUE(onMasterSynchronisation(ctx).migrated.empty());
  select({});
  EXPECT_TRUE(onMasterSynchronisation(ctx).migrated.empty());
  EXPECT_EQ(form.lblStatusMain.caption(), "Upoading Over");
}

TEST_F(Migration, GodownsKeepTheirIdsByEitherCopy) {
  // Head office's godowns with ids a fresh numbering would not give; Update Database has moved the
  // branch's GodownID to the last column.
  central().execute("DELETE FROM tblGodown WHERE GodownID = 1");
  central().execute("INSERT INTO tblGodown (GodownName, GodownCode) VALUES ('Back''s room', 'BR')");
  const std::string godowns = "SELECT GodownID, GodownName, GodownCode FROM tblGodown ORDER BY GodownID";
  auto text = [](const db::Recordset& rs) {
    std::string out;
    for (std::size_t r = 0; r < rs.size(); ++r)
      for (std::size_t f = 0; f < rs.fields.size(); ++f)
        out += rs.at(r, f).toString() + (f + 1 < rs.fields.size() ? "|" : "\n");
    return out;
  };
  ASSERT_EQ(text(central().query(godowns)), "2|Back Store|BS\n3|Back's room|BR\n");
  for (bool bulk : {false, true}) {
    branch().execute("UPDATE tblGodown SET GodownID = GodownID + 10");
    form.chkBulkInsert.setValue(bulk ? 1 : 0);
    select({"Godown"});
    const auto out = onMasterSynchronisation(ctx);
    EXPECT_EQ(out.migrated, std::vector<std::string>{"tblGodown"}) << bulk;
    EXPECT_EQ(text(branch().query(godowns)), text(central().query(godowns))) << bulk;
    EXPECT_TRUE(notices().empty()) << (notices().empty() ? "" : notices().front());
  }
}

TEST_F(Migration, SettingsSynchReplacesSettingsAndVoucherTypes) {
  central().execute("UPDATE tblAppSettings SET ValueName = 'it''s new' WHERE KeyName = 'BLNBATCHCODE'");
  branch().execute("INSERT INTO tblAppSettings (KeyName, ValueName) VALUES ('BRANCHONLY', '1')");
  // The box comes back as the operator left it, though "Keep AutoSynch Always On" is off.
  ctx.AutoSyncOn = false;
  form.ChkAutoSynch.setValue(1);
  form.timertrigger.setEnabled(true);
  EXPECT_TRUE(onSettingsSynchronisation(ctx));
  EXPECT_EQ(table(branch(), "tblAppSettings", "KeyName", true), table(central(), "tblAppSettings", "KeyName", true));
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblVchType"),
            scalar(central(),
                   "SELECT COUNT(*) FROM tblVchType WHERE ParentID IN (1, 3, 7, 8, 9, 10, 18, 5, 42, 43, "
                   "14, 44, 45)"));
  EXPECT_EQ(form.lblStatus.caption(), "Done");
  EXPECT_EQ(form.ChkAutoSynch.value(), 1);
  EXPECT_TRUE(form.timertrigger.enabled());
}

TEST_F(Migration, SettingsSynchFailureKeepsTheBranchSettings) {
  host.setStrict(false);
  const long long width = scalar(branch(), "SELECT MAX(LEN(ValueName)) FROM tblAppSettings");
  branch().execute("ALTER TABLE tblAppSettings ALTER COLUMN ValueName varchar(" + std::to_string(width) + ") NULL");
  const std::string before = table(branch(), "tblAppSettings", "KeyName", false);
  central().execute("UPDATE tblAppSettings SET ValueName = 'longer than three' WHERE KeyName = 'BLNBATCHCODE'");
  central().execute("UPDATE tblAppSettings SET ValueName = ValueName + 'x' WHERE LEN(ValueName) = " +
                    std::to_string(width));
  form.ChkAutoSynch.setValue(1);
  form.timertrigger.setEnabled(true);
  EXPECT_FALSE(onSettingsSynchronisation(ctx));
  EXPECT_EQ(table(branch(), "tblAppSettings", "KeyName", false), before);
  // A failure too gives AutoSynch back as it was (it used to stay off).
  EXPECT_EQ(form.ChkAutoSynch.value(), 1);
  EXPECT_TRUE(form.timertrigger.enabled());
  ASSERT_FALSE(notices().empty());
  EXPECT_NE(notices().back().find("cmdSettingsSynch_click"), std::string::npos);
}

class BoardRates : public Migration {};

TEST_F(BoardRates, LatestRatesLandInBoardRatesStockAndItemMaster) {
  // Item 1: an older date and the latest date with two rows; item 2 has no board rate at all.
  central().execute("DELETE FROM tblBoardRateMaster");
  central().execute(
      "INSERT INTO tblBoardRateMaster (Vchdate, ItemID, SRate, MRP, VchID, VchNo) VALUES ('2026-03-01', 1, 5, 6, 1, "
      "1)");
  central().execute(
      "INSERT INTO tblBoardRateMaster (Vchdate, ItemID, SRate, MRP, VchID, VchNo) VALUES ('2026-03-10', 1, 7.25, 8.5, "
      "NULL, NULL)");
  central().execute(
      "INSERT INTO tblBoardRateMaster (Vchdate, ItemID, SRate, MRP, VchID, VchNo) VALUES ('2026-03-10', 1, 7.75, 9, "
      "2, 2)");
  const std::string item2 = table(branch(), "tblItemMaster", "ItemID", false);
  branch().execute(
      "INSERT INTO tblStock (StockID, BatchID, ItemID, BatchCode, BatchUnique, Qty, Srate, CCID) VALUES "
      "(1, 1, 1, 'A', 'A', 1, 1, 2)");
  branch().execute(
      "INSERT INTO tblStock (StockID, BatchID, ItemID, BatchCode, BatchUnique, Qty, Srate, CCID) VALUES "
      "(2, 2, 2, 'B', 'B', 1, 3, 2)");
  EXPECT_TRUE(stock::importBoardRates(ctx, "", ""));
  auto br = branch().query("SELECT Vchdate, ItemID, SRate, MRP, VchID, VchNo FROM tblBoardRateMaster ORDER BY SRate");
  ASSERT_EQ(br.size(), 2u);
  EXPECT_EQ(br.at(0, "Vchdate").toString(), "2026-03-10 00:00:00.000");
  EXPECT_EQ(br.at(0, "VchID").toInt(), 0);  // a missing voucher id is written as 0
  auto st = branch().query("SELECT Srate, bSrate, bMRP FROM tblStock WHERE ItemID = 1");
  EXPECT_DOUBLE_EQ(st.at(0, 0).toDouble(), 7.75);  // the later row of the latest date wins
  EXPECT_DOUBLE_EQ(st.at(0, 1).toDouble(), 7.75);
  EXPECT_DOUBLE_EQ(st.at(0, 2).toDouble(), 9);
  auto im = branch().query("SELECT Srate, MRP FROM tblItemMaster WHERE ItemID = 1");
  EXPECT_DOUBLE_EQ(im.at(0, 0).toDouble(), 7.75);
  EXPECT_DOUBLE_EQ(branch().query("SELECT Srate FROM tblStock WHERE ItemID = 2").at(0, 0).toDouble(), 3);
  EXPECT_EQ(form.lblStatus.caption(), " BOARD UPDATOR 1 DATE : ");
}

TEST_F(BoardRates, CountsAgreeAfterTheReload) {
  EXPECT_TRUE(stock::importBoardRates(ctx, "", ""));
  reconcile::showMasterCounts(ctx);
  const auto& g = form.msgDataCount;
  bool seen = false;
  for (int r = 1; r < g.rows(); ++r)
    if (g.text(r, 0) == "BoardRateMaster") {
      seen = true;
      EXPECT_EQ(g.text(r, 1), g.text(r, 2));
      EXPECT_EQ(g.cellColor(r, 0), 0u);
    }
  EXPECT_TRUE(seen);
}

TEST_F(BoardRates, FailedReloadLeavesTheBranchAsItWas) {
  EXPECT_TRUE(stock::importBoardRates(ctx, "", ""));
  const std::string before = table(branch(), "tblBoardRateMaster", "ItemID, SRate", false);
  branch().execute(
      "INSERT INTO tblStock (StockID, BatchID, ItemID, BatchCode, BatchUnique, Qty, Srate, CCID) VALUES "
      "(1, 1, 1, 'A', 'A', 1, 1, 2)");
  // The item master update fails after the delete and the first rate row have run.
  central().execute("UPDATE tblBoardRateMaster SET SRate = SRate + 1");
  branch().execute("ALTER TABLE tblItemMaster DROP COLUMN MRP");
  host.expectBox(Answer::OK);
  EXPECT_FALSE(stock::importBoardRates(ctx, "", ""));
  EXPECT_EQ(host.boxes.back().icon, Icon::Critical);
  EXPECT_EQ(table(branch(), "tblBoardRateMaster", "ItemID, SRate", false), before);
  EXPECT_EQ(scalar(branch(), "SELECT Srate FROM tblStock WHERE ItemID = 1"), 1);  // its update is undone too
}

TEST_F(BoardRates, DatedLoadTakesTheDayOfTheListEntry) {
  ASSERT_TRUE(stock::importBoardRates(ctx, "", ""));
  central().execute(
      "INSERT INTO tblBoardRateMaster (Vchdate, ItemID, SRate, MRP, VchID, VchNo) VALUES ('2026-12-06 10:30', 2, 77, "
      "88, 9, 9)");
  const long long rows = scalar(branch(), "SELECT COUNT(*) FROM tblBoardRateMaster");
  EXPECT_TRUE(stock::importBoardRates(ctx, "NONUM - 06/Dec/2026 : 12:00: AM/", ""));
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblBoardRateMaster"), rows + 1 - 1);  // item 2 replaced
  auto rs = branch().query("SELECT SRate FROM tblBoardRateMaster WHERE ItemID = 2");
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_DOUBLE_EQ(rs.at(0, 0).toDouble(), 77);
  EXPECT_DOUBLE_EQ(branch().query("SELECT Srate FROM tblItemMaster WHERE ItemID = 2").at(0, 0).toDouble(), 77);
  // An entry without a date loads nothing and says so.
  host.expectBox(Answer::OK, "names no board-rate date");
  EXPECT_FALSE(stock::importBoardRates(ctx, "NONUM - : /", ""));
  EXPECT_EQ(stock::boardRateEntryDate("NONUM - 2026-12-06 00:00:00.000 : 12:00: AM/"), (db::DateTime{2026, 12, 6}));
  EXPECT_FALSE(stock::boardRateEntryDate("NONUM - 31/Feb/2026 : x").has_value());
}

TEST_F(BoardRates, BatchStatusFollowsHeadOfficeOrBecomesActive) {
  central().execute("UPDATE tblStock SET Active = 0 WHERE ItemID = 1 AND CCID = 2");
  branch().execute(
      "INSERT INTO tblStock (StockID, BatchID, ItemID, BatchCode, BatchUnique, Qty, CCID, Active) VALUES "
      "(1, 1, 1, 'B00001', 'B00001', 1, 2, 1)");
  branch().execute(
      "INSERT INTO tblStock (StockID, BatchID, ItemID, BatchCode, BatchUnique, Qty, CCID, Active) VALUES "
      "(2, 2, 1, 'ZZ', 'ZZ', 1, 2, 0)");
  EXPECT_TRUE(stock::copyBatchActiveStatus(ctx));
  EXPECT_EQ(scalar(branch(), "SELECT Active FROM tblStock WHERE StockID = 1"), 0);
  EXPECT_EQ(scalar(branch(), "SELECT Active FROM tblStock WHERE StockID = 2"), 1);
}

TEST_F(BoardRates, MigrationOfMismatchedMastersFollowsTheRedRows) {
  branch().execute("DELETE FROM tblArea WHERE AreaID = 99");
  central().execute("INSERT INTO tblArea (AreaID, AreaName) VALUES (77, 'New zone')");
  central().execute("UPDATE tblItemMaster SET ItemName = 'renamed' WHERE ItemID = 1");  // counts agree
  reconcile::showMasterCounts(ctx);
  onMigrateMismatchedMasters(ctx);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblArea WHERE AreaID = 77"), 1);
  EXPECT_EQ(table(branch(), "tblLedger", "LID", true), table(central(), "tblLedger", "LID", true));  // red too
  EXPECT_NE(branch().query("SELECT ItemName FROM tblItemMaster WHERE ItemID = 1").at(0, 0).toString(), "renamed");
  // The item change is still to be downloaded: the mark stops before it, past the covered ones.
  const long long itemChange = scalar(central(), "SELECT MIN(ID) FROM tblActivity WHERE TableName = 'tblItemMaster'");
  EXPECT_EQ(ctx.MaxActivityID, itemChange - 1);
  EXPECT_EQ(ctx.readLoopSetting("MaxActivityID"), std::to_string(itemChange - 1));
}

}  // namespace
}  // namespace erpsync
