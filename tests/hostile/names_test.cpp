// Hostile names: a head-office server whose name holds quotes, brackets and ";", a company code with
// a quote and a bracket, cost-centre and voucher-type names full of SQL. They go into connection
// strings, linked-server procedures, four-part names, the push lock's row and the voucher-type list;
// each must stay one value and arrive as it is.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/form_binding.h"
#include "app/sync_view.h"
#include "app/voucher_types.h"
#include "capture/update_database.h"
#include "db/connection_string.h"
#include "db/sql_quote.h"
#include "form/clock.h"
#include "form/main_form.h"
#include "hostile_texts.h"
#include "own_working_day.h"
#include "scripted_host.h"
#include "settings/daily_log.h"
#include "shared/connections.h"
#include "app/window_context.h"
#include "shared/sync_context.h"
#include "simulator.h"
#include "sync/server_lock.h"
#include "sync/upload_transactions.h"
#include "test_support.h"
#include "testbed.h"
#include "util/utf8_path.h"

namespace erpsync {
namespace {

namespace fs = std::filesystem;
using test::hostileTexts;

// A server folder and catalogs named as no one would name them, reached the way the window reaches
// them: settings names, connection strings built by the program, the linked server it sets up.
class HostileNames : public ::testing::Test {
 protected:
  static constexpr const char* kCentral = "embedded:servers/H'O] ;Password=x;[1]";
  static constexpr const char* kCentralDb = "HO'0]1";
  static constexpr const char* kBranch = "embedded:servers/br;anch 😀";
  static constexpr const char* kBranchDb = "B'R]1";

  HostileNames() {
    testbed::InitOptions o;
    o.home = dir.path();
    o.items = 8;
    o.ledgers = 12;
    o.centralServer = kCentral;
    o.centralDb = kCentralDb;
    o.branchServer = kBranch;
    o.branchDb = kBranchDb;
    testbed::init(o);
    ctx.LocalServerName = kBranch;
    ctx.SyncServerName = kCentral;
    ctx.LocalDbCode = kBranchDb;
    ctx.WebDbCode = kCentralDb;
    form.lblCostcentre.setCaption("Branch One");
    form.lblCostcentre.setTag("2");
    test::useOwnWorkingDay(ctx, workingDay);
  }

  test::TempDir dir;
  test::ScriptedHost host{false};
  FixedClock clock{db::DateTime{2026, 12, 5, 14, 5, 33}};
  MainForm form;
  WindowContext ctx{host, clock, form, dir.path()};
  [[maybe_unused]] const bool formBound_ = (bindForm(ctx), true);
  // The working day the operations read (the window's controls at first).
  WorkingDay workingDay;
};

TEST_F(HostileNames, ServerNamesAndCompanyCodesStayOneValueInConnectionStrings) {
  const auto cs = db::ConnectionString::parse(companyConnectionString(kCentralDb, kCentral));
  EXPECT_EQ(cs.dataSource(), kCentral);
  EXPECT_EQ(cs.initialCatalog(), kCentralDb);
  EXPECT_EQ(cs.password(), kSaPassword);  // the ";Password=x" inside the name did not replace it
  const auto st = db::ConnectionString::parse(startupConnectionString("p;w'\"", kCentral));
  EXPECT_EQ(st.dataSource(), kCentral);
  EXPECT_EQ(st.password(), "p;w'\"");
  EXPECT_EQ(st.initialCatalog(), kStartupCatalog);
  // Plain names keep the exact form existing installations know.
  EXPECT_EQ(companyConnectionString("BR01", "SRV"),
            "Provider=SQLOLEDB.1;Password=PLOVERS318#;Persist Security Info=True;User ID=sa;Initial Catalog=BR01;"
            "Data Source=SRV");
}

TEST_F(HostileNames, ConnectUpgradeUploadAndBulkMigrationReachTheHostileServer) {
  OpenCompanyConnections(ctx);
  ASSERT_TRUE(db::isOpen(ctx.LocalConnection));
  ASSERT_TRUE(db::isOpen(ctx.WebConnection));
  test::createCanary(ctx.local());
  test::createCanary(ctx.web());

  host.expectBox(Answer::OK, "Database Updated.");
  capture::updateDatabase(ctx);

  // The linked server carries the hostile name; four-part names bracket it.
  ConfigureLinkedServer(ctx, ctx.SyncServerName);
  EXPECT_EQ(ctx.local().query("SELECT count(*) FROM " + ctx.centralTable("tblLedger")).at(0, 0).toInt(),
            ctx.web().query("SELECT count(*) FROM tblLedger").at(0, 0).toInt());

  ctx.web().execute("UPDATE tblLedger SET LName = N'bulk ''copy'' ]' WHERE LID = 1");
  form.chkBulkInsert.setValue(1);
  onMasterList(ctx);
  for (int i = 0; i < form.lstMasterSettings.listCount(); ++i)
    form.lstMasterSettings.setSelected(
        i, form.lstMasterSettings.items()[static_cast<std::size_t>(i)].text.rfind("Ledger ", 0) == 0);
  auto migrated = onMasterSynchronisation(ctx);
  EXPECT_TRUE(migrated.failed.empty());
  EXPECT_EQ(ctx.local().query("SELECT LName FROM tblLedger WHERE LID = 1").at(0, 0).toString(), "bulk 'copy' ]");

  // Vouchers go up to the hostile server and database.
  ctx.LogFolder = dir.path() / "log";
  fs::create_directories(ctx.LogFolder);
  const auto today = ctx.local().query("Select getdate()").at(0, 0).toDateTime()->dateOnly();
  workingDay.date = today;
  workingDay.intervalMinutes = 2;
  testbed::SimulationOptions o;
  o.sales = 3;
  o.orders = o.stockJournals = o.jobCards = o.notes = o.edits = o.deletes = o.masterChanges = o.boardRates = 0;
  o.date = today;
  testbed::simulateErpActivity(&ctx.local(), nullptr, o);
  ctx.local().execute("UPDATE tblActivity SET ActionTime = DATEADD(minute, -3, getdate())");
  auto up = sync::uploadTransactions(ctx, false);
  EXPECT_EQ(up.uploaded, 3);
  EXPECT_EQ(ctx.web().query("SELECT count(*) FROM tblSales WHERE CCID = 2").at(0, 0).toInt(), 3);
  EXPECT_TRUE(test::canaryAlive(ctx.local()));
  EXPECT_TRUE(test::canaryAlive(ctx.web()));
}

TEST_F(HostileNames, CostCentreNamesHoldAndReleaseThePushLockAsWritten) {
  OpenCompanyConnections(ctx);
  ASSERT_TRUE(db::isOpen(ctx.WebConnection));
  host.expectBox(Answer::OK, "Database Updated.");
  capture::updateDatabase(ctx);
  test::createCanary(ctx.web());
  for (const auto& h : hostileTexts()) {
    workingDay.costCentreName = h.text;
    ASSERT_TRUE(sync::takeServerLock(ctx)) << h.what;
    auto rs = ctx.web().query("SELECT SQLSERVERNAME FROM tblDayActivity WHERE Activity = 'BLOCKFASTPUSH'");
    ASSERT_EQ(rs.size(), 1u) << h.what;
    EXPECT_EQ(rs.at(0, 0).toString(), h.text) << h.what;
    EXPECT_TRUE(sync::refreshServerLock(ctx)) << h.what;
    // Another branch sees the holder by its exact name.
    workingDay.costCentreName = "Someone else";
    std::string holder;
    EXPECT_FALSE(sync::checkServerFree(ctx, holder)) << h.what;
    EXPECT_EQ(holder, h.text);
    workingDay.costCentreName = h.text;
    sync::releaseServerLock(ctx);
    EXPECT_EQ(ctx.web().query("SELECT count(*) FROM tblDayActivity WHERE Activity = 'BLOCKFASTPUSH'").at(0, 0).toInt(),
              0)
        << h.what;
  }
  EXPECT_TRUE(test::canaryAlive(ctx.web()));
}

TEST_F(HostileNames, VoucherTypeNamesAreListedAsTheyAre) {
  OpenCompanyConnections(ctx);
  ASSERT_TRUE(db::isOpen(ctx.LocalConnection));
  test::createCanary(ctx.local());
  auto rs = ctx.local().query(
      "SELECT VchTypeID FROM tblVchType WHERE PrimaryCCIDS = '2' AND BLNUseForClientSync = 1 ORDER BY VchTypeID");
  ASSERT_GT(rs.size(), 0u);
  std::vector<std::string> names;
  for (std::size_t r = 0; r < rs.size() && r < hostileTexts().size(); ++r) {
    names.push_back(hostileTexts()[r].text);
    ctx.local().execute("UPDATE tblVchType SET VchType = N" + db::sqlQuote(names.back()) +
                        " WHERE VchTypeID = " + rs.at(r, 0).toString());
  }
  fillVoucherTypes(ctx);
  std::vector<std::string> listed;
  for (const auto& item : form.lstVchtypes.items()) listed.push_back(item.text);
  for (const auto& n : names) EXPECT_NE(std::find(listed.begin(), listed.end(), n), listed.end()) << n;
  EXPECT_TRUE(test::canaryAlive(ctx.local()));
}

TEST(HostileLogFolder, CompanyCodesNeverLeadTheLogOutOfTheProgramFolder) {
  const fs::path home = fs::path("/prog");
  const db::DateTime day{2026, 12, 5};
  for (const std::string code : {"../..", "/etc/", "..\\..", "C:x", "a*?<>|", "\"'\t\n"}) {
    const fs::path folder = settings::LogFolderFor(home, code, day);
    EXPECT_EQ(folder.parent_path(), home) << code;
    EXPECT_EQ(util::pathToUtf8(folder.filename()).find_first_of("/\\:*?\"<>|\t\n"), std::string::npos) << code;
  }
  // Five characters, not five bytes: a code in another script is not cut inside a character.
  EXPECT_EQ(util::pathToUtf8(settings::LogFolderFor(home, "茶茶茶茶茶茶", day).filename()), "茶茶茶茶茶 Dec 2026");
  EXPECT_EQ(util::pathToUtf8(settings::LogFolderFor(home, "😀a'b]c", day).filename()), "😀a'b] Dec 2026");
  // Plain codes keep the folder existing installations have.
  EXPECT_EQ(util::pathToUtf8(settings::LogFolderFor(home, "BR01XYZ", day).filename()), "BR01X Dec 2026");
}

}  // namespace
}  // namespace erpsync
