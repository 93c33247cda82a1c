// What "Update Database" sends, statement by statement, and to which company database. Installations
// compare these texts with their own scripts, so the order and wording are checked as a whole.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/form_binding.h"
#include "capture/trigger_texts.h"
#include "capture/update_database.h"
#include "db/connection.h"
#include "form/clock.h"
#include "form/main_form.h"
#include "scripted_host.h"
#include "app/window_context.h"
#include "shared/sync_context.h"
#include "test_support.h"

namespace erpsync::test {
namespace {

// Every statement goes into one shared journal, marked "B: " (branch) or "C: " (central). All succeed.
class JournalConnection : public db::Connection {
 public:
  JournalConnection(std::string mark, std::vector<std::string>& journal) : mark_(std::move(mark)), journal_(journal) {}
  void open(const std::string&) override {}
  void close() override {}
  bool isOpen() const override { return true; }
  long long execute(const std::string& sql) override {
    journal_.push_back(mark_ + sql);
    return 0;
  }
  db::Recordset query(const std::string& sql) override {
    journal_.push_back(mark_ + sql);
    return {};
  }
  void beginTrans() override {}
  void commitTrans() override {}
  void rollbackTrans() override {}
  void setCommandTimeout(int) override {}

 private:
  std::string mark_;
  std::vector<std::string>& journal_;
};

// A trigger statement is named by its first line; the full texts are checked in trigger_test.cpp.
std::string shortened(const std::string& s) {
  auto cut = s.find_first_of("\r\n");
  return cut == std::string::npos ? s : s.substr(0, cut) + " ...";
}

TEST(UpgradeStatements, RunInOrderOnTheirDatabases) {
  TempDir dir;
  ScriptedHost host{true};
  FixedClock clock{db::DateTime{2026, 12, 5, 14, 5, 33}};
  MainForm form;
  WindowContext ctx{host, clock, form, dir.path()};
  [[maybe_unused]] const bool formBound_ = (bindForm(ctx), true);
  std::vector<std::string> journal;
  ctx.LocalConnection = std::make_unique<JournalConnection>("B: ", journal);
  ctx.WebConnection = std::make_unique<JournalConnection>("C: ", journal);

  host.expectBox(Answer::OK, "Database Updated.");
  capture::cmdUpdateDataBase_Click(ctx);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Database Updated.");
  EXPECT_EQ(host.boxes[0].buttons, Buttons::OK);
  EXPECT_TRUE(host.balloons.empty());

  std::vector<std::string> expected;
  auto B = [&](const std::string& s) { expected.push_back("B: " + s); };
  auto C = [&](const std::string& s) { expected.push_back("C: " + s); };
  auto BC = [&](const std::string& s) {
    B(s);
    C(s);
  };
  B(" Alter table tblBoardRateMaster add VchID numeric ");
  B(" Alter table tblBoardRateMaster add VchNo numeric ");
  C(" Alter table tblBoardRateMaster add VchID numeric ");
  C(" Alter table tblBoardRateMaster add VchNo numeric ");
  BC("Alter table tblBoardRateMaster add CUSTOMFIELD1 varchar(50) ");
  BC("Alter table tblSales add UserIDModified Numeric ");
  BC("Alter table tblpricelist  alter column CatchAll Numeric ");
  BC("Alter table tblpricelist  alter column blnPercentage Numeric ");
  B("Alter table TblSales Add SyncStat Numeric");
  B("Alter table TblSales Drop column SynchStat ");
  C("Alter table TblSales Add SyncStat Numeric");
  B("ALTER TABLE tblItemMaster add sRatePerOnMRP float ");
  B("update tblItemMaster Set sRatePerOnMRP =0 where sRatePerOnMRP IS NULL");
  C("ALTER TABLE tblItemMaster add sRatePerOnMRP float ");
  C("update tblItemMaster Set sRatePerOnMRP =0 where sRatePerOnMRP IS NULL");
  BC("Alter table TblSales Add ServInvID Numeric");
  BC("Alter table TblNotes Add SyncStat Numeric");
  BC("Alter table TblNotes Add ServInvID Numeric");
  BC("Alter table Tblstockjournal Add SyncStat Numeric");
  BC("Alter table Tblstockjournal Add ServInvID Numeric");
  BC("Alter table TblJobcard Add SyncStat Numeric");
  BC("Alter table TblJobcard Add ServInvID Numeric");
  BC("Alter table tblOrder Add SyncStat Numeric");
  BC("Alter table tblOrder Add ServInvID Numeric");
  // The day table is never dropped: it is created where missing and otherwise completed.
  for (const char* s :
       {"Alter Table tblUserGroupMaster ADD NEWID Numeric", "update tblUserGroupMaster set NEWID =id",
        "Alter Table tblUserGroupMaster Drop column ID", "Alter Table tblUserGroupMaster ADD ID Numeric",
        "update tblUserGroupMaster set id=NEWID", "Alter Table tblUserGroupMaster Drop column NEWID"})
    B(s);
  for (const char* s : {"Alter Table tblGodown ADD NEWID Numeric", "update tblGodown set NEWID =GodownID",
                        "Alter Table tblGodown Drop column GodownID", "Alter Table tblGodown ADD GodownID Numeric",
                        "update tblGodown set GodownID=NEWID", "Alter Table tblGodown Drop column NEWID"})
    B(s);
  const std::string dayAdd =
      " Alter TABLE tblDayActivity add BlockDataEntry [numeric](18, 0),SQLSERVERNAME  [varchar](50) NOT NULL  ";
  B(capture::dayActivityTableCreate());
  B(dayAdd);
  C(capture::dayActivityTableCreate());
  C(dayAdd);
  BC(capture::activityTableCreate());
  BC(" alter TABLE [dbo].[tblActivity] add ParentID [numeric](18, 0), VchTYpeID [numeric](18, 0)");
  BC(" alter TABLE [dbo].[tblActivity] add ActionTime datetime");
  BC(" alter TABLE [dbo].[tblActivity] add tblUniqueRefID [numeric](18, 0)");
  auto drops = [&](auto mark, const std::string& n) {
    mark("Drop trigger Trig_" + n + "Insert");
    mark("Drop trigger Trig_" + n + "update");
    mark("Drop trigger Trig_" + n + "Delete");
  };
  auto creates = [&](auto mark, const std::string& n) {
    mark("create trigger Trig_" + n + "Insert  ...");
    mark(" create trigger Trig_" + n + "update ...");
    mark(" create trigger Trig_" + n + "Delete ...");
  };
  for (const char* n : {"Area", "Categories", "CostCentre", "Employee", "Godown", "Iteams", "Ledger", "HSNCODE",
                        "TaxClass", "Unit", "User"})
    drops(C, n);
  // The masters created after them are dropped too, so a later run replaces their triggers as well.
  for (const char* n :
       {"Usergroup", "PricList", "VchType", "CustomerProfile", "CustomerCard", "CurrencyDetail", "Currency"})
    drops(C, n);
  for (const char* n : {"Area", "Categories", "CostCentre", "Employee", "Godown", "Iteams", "Ledger", "TaxClass",
                        "HSNCODE", "Unit", "User", "Usergroup", "PricList"})
    creates(C, n);
  C(" Drop trigger Trig_BoardRateUpdateInsert ");
  C("CREATE trigger [dbo].[Trig_BoardRateUpdateInsert]  ON [dbo].[tblBoardRateMaster]  FOR Insert , Update  as "
    "DECLARE @name int declare @Type INT declare @IT INT declare @VchTypeId INT  ...");
  for (const char* n : {"VchType", "CustomerProfile", "CustomerCard", "CurrencyDetail", "Currency"}) creates(C, n);
  // Voucher triggers live at the branch and are dropped there.
  for (const char* n : {"Sales", "Notes", "Attendance", "StockJournal", "Order", "JobCard"}) drops(B, n);
  for (const char* n : {"Sales", "Notes", "StockJournal", "Order", "JobCard"}) creates(B, n);
  // The upload's lookup indexes: printed numbers at head office, the waiting mark at the branch.
  for (const auto& [table, number] : std::vector<std::pair<std::string, std::string>>{{"tblSales", "InvNo"},
                                                                                      {"tblNotes", "VchNo"},
                                                                                      {"tblStockJournal", "InvNo"},
                                                                                      {"tblJobCard", "JobCardNo"},
                                                                                      {"tblOrder", "InvNo"}}) {
    C("CREATE INDEX IX_" + table + "_" + number + " ON " + table + " (" + number + ")");
    B("CREATE INDEX IX_" + table + "_SyncStat ON " + table + " (SyncStat)");
  }
  // The synchroniser's own indexes: the push lock among the day rows (both sides), the change log by
  // voucher id (branch), the vouchers by type, date and number (head office).
  C("CREATE INDEX erpsync_tblDayActivity_Activity ON tblDayActivity (Activity)");
  B("CREATE INDEX erpsync_tblDayActivity_Activity ON tblDayActivity (Activity)");
  B("CREATE INDEX erpsync_tblActivity_tblUniqueID ON tblActivity (tblUniqueID)");
  for (const auto& [table, date, number] : std::vector<std::tuple<std::string, std::string, std::string>>{
           {"tblSales", "InvDate", "InvNo"},
           {"tblNotes", "VchDate", "VchNo"},
           {"tblStockJournal", "InvDate", "InvNo"},
           {"tblJobCard", "JobCardDate", "JobCardNo"},
           {"tblOrder", "InvDate", "InvNo"}})
    C("CREATE INDEX erpsync_" + table + "_VchTypeID_" + date + "_" + number + " ON " + table + " (VchTypeID, " + date +
      ", " + number + ")");
  // The branch's upload journal is looked for, and created only where it is missing.
  B("select count(*) from tblUploadJournal where 1=0");

  std::vector<std::string> got;
  for (const auto& s : journal) got.push_back(shortened(s));
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], expected[i]) << "statement " << i;
}

}  // namespace
}  // namespace erpsync::test
