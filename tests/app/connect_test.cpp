// Load and connect end to end on embedded branch and central servers built by the testbed.
#include <gtest/gtest.h>

#include "app/frm_synch.h"
#include "capture/update_database.h"
#include "db/embedded/embedded_server.h"
#include "form/main_form.h"
#include "scripted_host.h"
#include "settings/daily_log.h"
#include "settings/settings_files.h"
#include "shared/connections.h"
#include "app/window_context.h"
#include "shared/sync_context.h"
#include "prepared_folder.h"
#include "test_support.h"
#include "testbed.h"

namespace erpsync {
namespace {

using test::readFile;
using test::ScriptedHost;
using test::TempDir;
using test::writeFile;

const db::DateTime kToday{2026, 3, 5, 9, 30, 0};

struct Branch : ::testing::Test {
  TempDir home;
  ScriptedHost host{false};
  FixedClock clock{kToday};
  MainForm form;
  WindowContext ctx{host, clock, form, home.path()};
  std::unique_ptr<FrmSynch> frm;
  std::vector<std::string> firstStatus;

  void SetUp() override {
    test::copyTestbed(home.path(), {5, 10});
    db::embedded::setClockOffsetSeconds(0);
    form.lblFirststatus.subscribe([this] { firstStatus.push_back(form.lblFirststatus.caption()); });
    frm = std::make_unique<FrmSynch>(ctx);
  }
  void TearDown() override { db::embedded::setClockOffsetSeconds(0); }

  std::filesystem::path appSettings() const { return settings::appSettingsPath(home.path()); }
  // Replaces one line of Appsettings.ini (or removes it when value is null).
  void setKey(const std::string& key, const char* value) {
    std::string text = readFile(appSettings()), out;
    std::size_t start = 0;
    while (start <= text.size()) {
      auto end = text.find("\r\n", start);
      std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (line.rfind(key + "=", 0) != 0 && !line.empty()) out += (out.empty() ? "" : "\r\n") + line;
      if (end == std::string::npos) break;
      start = end + 2;
    }
    if (value) out += "\r\n" + key + "=" + value;
    writeFile(appSettings(), out);
  }
  std::string stored(const std::string& key) {
    std::string v = "<missing>";
    return settings::ReadWriteSetting(host, appSettings(), key, v, false);
  }
  // The schema upgrade ("Update Database") in a session of its own, so both databases have the day
  // rows table and the sync columns before the session under test starts.
  void upgradeSchema() {
    ScriptedHost h{false};
    MainForm f;
    WindowContext c{h, clock, f, home.path()};
    FrmSynch s(c);
    ASSERT_TRUE(s.load());
    s.connect();
    capture::updateDatabase(c);
  }
  void loadAndConnect() {
    ASSERT_TRUE(frm->load());
    form.cmdConnect.click();
  }
};

TEST_F(Branch, LoadAndConnectShowTheBranchReadyToWork) {
  upgradeSchema();
  setKey("SYNCHVCHTYPEIDS", "201;204;");
  // The central server's clock runs ten days ahead of this computer's: the working date is the server's.
  db::embedded::setClockOffsetSeconds(10 * 86400LL);
  const db::DateTime serverToday = db::embedded::serverNow().dateOnly();

  ASSERT_TRUE(frm->load());
  EXPECT_TRUE(form.window.visible());
  EXPECT_TRUE(db::isOpen(ctx.StartupConnection));
  EXPECT_EQ(form.lblDesktopIP.caption(), "embedded:servers/branch");
  EXPECT_EQ(form.lblOnlineIP1.caption(), "embedded:servers/central");
  EXPECT_FALSE(form.SSTab1.tabVisible(1));
  EXPECT_EQ(firstStatus,
            (std::vector<std::string>{"Starting up the application.... ", "Connection establishing..... ",
                                      "Connection establishing.Done.... ", "Online Connection and companies.... ",
                                      "Loading Over....Click Connect to proceed.. "}));
  EXPECT_TRUE(form.cmdConnect.visible());
  // The high-water marks start at 0 and are written with their default.
  EXPECT_EQ(ctx.MaxActivityID, 0);
  EXPECT_NE(readFile(settings::loopSettingsPath(home.path())).find("MaxActivityIDTrans=0"), std::string::npos);

  firstStatus.clear();
  form.cmdConnect.click();
  EXPECT_EQ(firstStatus,
            (std::vector<std::string>{"Starting connection", "Starting Db connection", "Db connection Done",
                                      "linked Server configured", "Cost centers loaded", "settings Fixed",
                                      "Voucher types Loaded", "day start setting", "Connection .Done.... "}));
  EXPECT_TRUE(host.boxes.empty()) << host.boxes.front().text;
  EXPECT_TRUE(host.balloons.empty()) << host.balloons.front().text;
  EXPECT_EQ(form.lblDaystart.caption(), "NO DAY START");

  EXPECT_EQ(form.lblDesktopCompany.caption(), "BR01");
  EXPECT_EQ(form.lblSynchCompany.caption(), "HO01");
  EXPECT_EQ(form.lblCostcentre.tag(), "2");
  EXPECT_EQ(form.lblCostcentre.caption(), "Branch One");
  EXPECT_EQ(form.dtpdate.value(), serverToday);

  // The branch's voucher types in name order; the stored choice selected again.
  std::vector<std::string> names;
  for (const auto& i : form.lstVchtypes.items()) names.push_back(i.text + (i.selected ? "*" : ""));
  EXPECT_EQ(names, (std::vector<std::string>{"Job Card BR1", "Payment BR1", "Receipt BR1", "Sales BR1*",
                                             "Sales Order BR1", "Sales Return BR1", "Stock Journal BR1*"}));
  EXPECT_EQ(frm->voucherTypeFilter(), " and vchtypeID in (201,204)");

  EXPECT_FALSE(form.CmdSettings.enabled());
  EXPECT_FALSE(form.Picture1.visible());
  EXPECT_TRUE(form.cmdConnect.enabled());
  EXPECT_TRUE(form.SSTab2.visible());
  EXPECT_TRUE(form.dtpdate.visible());
  EXPECT_TRUE(form.cmdDayStart.visible());
  EXPECT_EQ(form.SSTab1.tab(), 2);
  EXPECT_EQ(form.SSTab2.tab(), 1);
  EXPECT_EQ(form.ChkAutoSynch.value(), 0);
  EXPECT_FALSE(form.timertrigger.enabled());
  EXPECT_EQ(form.cbointerval.text(), "2 Minutes");
  EXPECT_EQ(ctx.LogFolder, home.path() / "BR01 Mar 2026");
  EXPECT_TRUE(std::filesystem::is_directory(ctx.LogFolder));
  EXPECT_FALSE(host.busy);

  // The operator's click on the list stores the new choice.
  form.activeControl = &form.lstVchtypes;
  form.lstVchtypes.setSelected(0, true);
  EXPECT_EQ(stored("SYNCHVCHTYPEIDS"), "206;201;204;");

  // The log page shows the working date's log.
  ctx.log("Manual Synch", "hello");
  form.SSTab1.setTab(4);
  EXPECT_NE(form.txtLog.text().find("Manual Synch\thello"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(settings::LogFilePath(ctx.LogFolder, serverToday)));
}

TEST_F(Branch, LinkedServerReachesTheCentralDatabaseByFourPartNames) {
  loadAndConnect();
  ASSERT_TRUE(db::isOpen(ctx.LocalConnection));
  auto rs = ctx.local().query("select count(*) as n from " + ctx.centralTable("tblCostCentre"));
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "n").toInt(), 3);
  // Configuring again drops the existing one first and still works.
  host.boxes.clear();  // connect's word that the databases are not yet prepared
  ConfigureLinkedServer(ctx, ctx.SyncServerName);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(ctx.local().query("select count(*) as n from " + ctx.centralTable("tblVchType")).size(), 1u);
}

TEST_F(Branch, LinkedServerNameWithAnApostropheIsQuoted) {
  loadAndConnect();
  host.setStrict(true);
  ConfigureLinkedServer(ctx, "HO'S SERVER");
  auto rs =
      ctx.local().query("SELECT srv.name FROM sys.servers srv WHERE srv.server_id != 0 AND srv.name = N'HO''S SERVER'");
  EXPECT_EQ(rs.size(), 1u);
  ConfigureLinkedServer(ctx, "HO'S SERVER");  // the drop finds it by the same quoted name
  EXPECT_EQ(ctx.local().query("SELECT srv.name FROM sys.servers srv WHERE srv.name = N'HO''S SERVER'").size(), 1u);
}

TEST_F(Branch, TimezoneOffsetTakesTheServersUtcClock) {
  // Put the server's UTC clock at 20:00 today: 330 minutes later it is already tomorrow.
  const db::DateTime utc = db::embedded::serverUtcNow();
  const db::DateTime eight = db::DateTime{utc.year, utc.month, utc.day, 20, 0, 0};
  db::embedded::setClockOffsetSeconds(eight.totalSeconds() - utc.totalSeconds());
  writeFile(settings::timezonePath(home.path()), "330");
  loadAndConnect();
  EXPECT_EQ(form.dtpdate.value(), db::DateTime::fromDayNumber(eight.dayNumber() + 1));

  writeFile(settings::timezonePath(home.path()), "0");
  auto r = GetServerDateTime(ctx);
  EXPECT_EQ(r.date, db::embedded::serverNow().dateOnly());
  EXPECT_FALSE(r.fromWorkstation);
}

TEST_F(Branch, TimezoneOutOfRangeIsToldAndTheServersOwnClockIsUsed) {
  // 99999 minutes does not fit the offset's 16-bit range: it must not turn into a date weeks away.
  db::embedded::setClockOffsetSeconds(3 * 86400LL);
  writeFile(settings::timezonePath(home.path()), "99999");
  loadAndConnect();
  EXPECT_EQ(form.dtpdate.value(), db::embedded::serverNow().dateOnly());
  bool told = false;
  for (const auto& b : host.boxes) told = told || (b.text == "Overflow" && b.icon == Icon::Exclamation);
  EXPECT_TRUE(told) << ::testing::PrintToString(host.boxTexts());
  EXPECT_EQ(form.lblFirststatus.caption(), "Connection .Done.... ");
}

TEST_F(Branch, LogFolderThatCannotBeCreatedStopsTheConnectWithItsError) {
  // A file where the month's log folder belongs: the folder cannot be made, and the day's log
  // entries would be lost without a word.
  const auto blocked = settings::LogFolderFor(home.path(), "BR01", kToday);
  writeFile(blocked, "not a folder");
  loadAndConnect();
  EXPECT_FALSE(frm->connected());
  EXPECT_TRUE(ctx.LogFolder.empty());
  ASSERT_FALSE(host.balloons.empty());
  const std::string& notice = host.balloons.back().text;
  EXPECT_EQ(notice.substr(notice.size() - 7), "Connect") << notice;
  EXPECT_TRUE(form.cmdConnect.enabled());
  EXPECT_FALSE(form.SSTab2.visible());  // the remaining steps are skipped

  std::filesystem::remove(blocked);
  form.cmdConnect.click();
  EXPECT_TRUE(frm->connected());
  EXPECT_EQ(ctx.LogFolder, blocked);
  EXPECT_TRUE(std::filesystem::is_directory(blocked));
}

TEST_F(Branch, UnreachableCentralDatabaseFallsBackToThisComputersDate) {
  setKey("WEBDBCODE", "NOSUCHDB");
  db::embedded::setClockOffsetSeconds(40 * 86400LL);
  loadAndConnect();
  EXPECT_FALSE(db::isOpen(ctx.WebConnection));
  EXPECT_EQ(form.dtpdate.value(), kToday.dateOnly());
  EXPECT_NE(form.lblStatus.caption().find("working date taken from this computer"), std::string::npos);
  const std::string log = readFile(settings::LogFilePath(ctx.LogFolder, kToday));
  EXPECT_NE(log.find("working date taken from this computer"), std::string::npos);
  // The linked server is not touched without the central database; connect still finishes.
  EXPECT_EQ(form.lblFirststatus.caption(), "Connection .Done.... ");
}

TEST_F(Branch, MissingSwitchesAreWrittenWithTheirDefaults) {
  setKey("KEEPAUTOSYNCHON", nullptr);
  setKey("BLNSHOWDAYSTARTEND", nullptr);
  setKey("DEFCOSTCENTREID", "99");
  form.lblCostcentre.setCaption("before");
  loadAndConnect();
  EXPECT_EQ(stored("KEEPAUTOSYNCHON"), "0");
  EXPECT_EQ(stored("BLNSHOWDAYSTARTEND"), "1");
  EXPECT_EQ(stored("SYNCINTERVAL"), "2 Minutes");
  EXPECT_EQ(form.ChkAutoSynch.value(), 0);
  EXPECT_TRUE(form.cmdDayStart.visible());
  EXPECT_TRUE(form.cmdDayEnd.visible());
  // No cost centre 99: the caption stays, the tag keeps the stored id.
  EXPECT_EQ(form.lblCostcentre.caption(), "before");
  EXPECT_EQ(form.lblCostcentre.tag(), "99");
  EXPECT_TRUE(form.lstVchtypes.items().empty());
}

TEST_F(Branch, CostCentreIdReachesTheQueryOnlyAsANumber) {
  setKey("DEFCOSTCENTREID", "3' or '1'='1");
  loadAndConnect();
  EXPECT_EQ(form.lblCostcentre.tag(), "3");
  EXPECT_EQ(form.lblCostcentre.caption(), "Branch Two");
  EXPECT_EQ(form.lblFirststatus.caption(), "Connection .Done.... ");
}

TEST_F(Branch, SwitchesTurnAutoSyncOnAndHideTheDayButtons) {
  setKey("KEEPAUTOSYNCHON", "1");
  setKey("BLNSHOWDAYSTARTEND", "0");
  loadAndConnect();
  EXPECT_TRUE(ctx.AutoSyncOn);
  EXPECT_EQ(form.ChkAutoSynch.value(), 1);
  EXPECT_TRUE(form.timertrigger.enabled());
  EXPECT_FALSE(form.cmdDayStart.visible());
  EXPECT_FALSE(form.cmdDayEnd.visible());
}

TEST_F(Branch, StoredIntervalIsChosenWhateverItsLetterCaseAndKeptAsWritten) {
  setKey("SYNCINTERVAL", "5 Minutes");  // the entry is spelled "5 MInutes"
  loadAndConnect();
  EXPECT_EQ(form.cbointerval.listIndex(), 2);
  EXPECT_EQ(form.cbointerval.text(), "5 Minutes");
  EXPECT_EQ(stored("SYNCINTERVAL"), "5 Minutes");
}

TEST_F(Branch, ConnectBeforeTheFirstUpdateDatabaseSaysSoOnce) {
  loadAndConnect();
  EXPECT_TRUE(frm->connected());
  EXPECT_FALSE(frm->databasesPrepared());
  ASSERT_EQ(host.boxes.size(), 1u) << ::testing::PrintToString(host.boxTexts());
  const std::string& text = host.boxes[0].text;
  EXPECT_NE(text.find("not yet prepared for synchronisation"), std::string::npos) << text;
  EXPECT_NE(text.find("BR01 (branch) and HO01 (central)"), std::string::npos) << text;
  EXPECT_NE(text.find("Update Database"), std::string::npos) << text;
  EXPECT_EQ(host.boxes[0].icon, Icon::Exclamation);
  // No raw "Invalid object name" notices from the day-row displays.
  for (const auto& b : host.balloons) EXPECT_EQ(b.text.find("Invalid object name"), std::string::npos) << b.text;
  EXPECT_EQ(form.lblFirststatus.caption(), "Connection .Done.... ");

  // Update Database prepares them, and the day-row display works at once.
  form.onKeyDown(45);
  form.cmdUpdateDataBase.click();
  EXPECT_TRUE(frm->databasesPrepared());
  EXPECT_EQ(form.lblDaystart.caption(), "NO DAY START");
  host.boxes.clear();
  host.balloons.clear();
  form.cmdConnect.click();
  EXPECT_TRUE(frm->connected());
  EXPECT_TRUE(host.boxes.empty()) << host.boxes.front().text;
  EXPECT_TRUE(host.balloons.empty()) << host.balloons.front().text;
}

TEST_F(Branch, PassesWaitForTheFirstUpdateDatabaseAndSaySo) {
  loadAndConnect();
  ASSERT_FALSE(frm->databasesPrepared());
  host.balloons.clear();
  form.timertrigger.onTimer();
  form.timertrigger.onTimer();
  // Not a failure at every tick, nor head office taken for unreachable: the status line says what to do.
  for (const auto& b : host.balloons) EXPECT_EQ(b.text.find("Invalid object name"), std::string::npos) << b.text;
  EXPECT_NE(form.lblBranchStatus.caption().find("not yet prepared"), std::string::npos)
      << form.lblBranchStatus.caption();
  EXPECT_EQ(form.lblBranchStatus.caption().find("cannot be reached"), std::string::npos);

  // Nor does a button that works on the synchroniser's tables: it says why it did not start.
  host.boxes.clear();
  form.cmdDayEnd.click();
  ASSERT_EQ(host.boxes.size(), 1u) << ::testing::PrintToString(host.boxTexts());
  EXPECT_NE(host.boxes[0].text.find("Day End was not started: the databases are not yet prepared"),
            std::string::npos)
      << host.boxes[0].text;

  // Prepared from outside the window (the headless runner): the next tick runs a pass.
  capture::updateDatabase(ctx);
  form.timertrigger.onTimer();
  EXPECT_TRUE(frm->databasesPrepared());
  EXPECT_EQ(form.lblBranchStatus.caption().find("not yet prepared"), std::string::npos)
      << form.lblBranchStatus.caption();
  for (const auto& b : host.balloons) EXPECT_EQ(b.text.find("Invalid object name"), std::string::npos) << b.text;
}

TEST_F(Branch, EmptyCentralCodeIsNamedAndNothingReachesTheCentralMaster) {
  setKey("WEBDBCODE", "");
  loadAndConnect();
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(host.boxes[0].text, "Online Company Code missing . please take settings and reset settings");
  EXPECT_EQ(host.boxes[0].icon, Icon::Critical);
  EXPECT_FALSE(db::isOpen(ctx.WebConnection));
  EXPECT_TRUE(db::isOpen(ctx.LocalConnection));
  // Update Database without a central database must not prepare the central server's master instead.
  form.cmdUpdateDataBase.click();
  auto master = db::openConnection(companyConnectionString("master", ctx.SyncServerName), home.path());
  for (const char* table : {"tblActivity", "tblDayActivity"})
    EXPECT_THROW(master->query(std::string("SELECT TOP 1 ID FROM ") + table), db::DbError) << table;
}

TEST_F(Branch, MissingServerNameEndsTheProgram) {
  std::filesystem::remove(settings::serverNamePath(home.path()));
  host.setStrict(true);
  host.expectBox(Answer::OK, "Please check  Server Name to continue ( servername.ini). ");
  EXPECT_FALSE(frm->load());
  EXPECT_EQ(host.boxes[0].icon, Icon::Critical);
  EXPECT_EQ(host.quitCount, 1);
  EXPECT_FALSE(form.window.visible());
}

TEST_F(Branch, MissingCentralServerNameWaitsForTheSettings) {
  setKey("SYNCSERVER", nullptr);
  host.setStrict(true);
  host.expectBox(Answer::OK, "Please goto settings  SYNCSERVER Name is missing Appsettings.ini");
  EXPECT_TRUE(frm->load());
  EXPECT_EQ(host.boxes[0].icon, Icon::Critical);
  EXPECT_EQ(host.quitCount, 0);
  EXPECT_TRUE(form.window.visible());
  EXPECT_FALSE(db::isOpen(ctx.StartupConnection));
  EXPECT_TRUE(firstStatus.empty());
  // The key is added with its (empty) default.
  EXPECT_EQ(stored("SYNCSERVER"), "");
}

TEST_F(Branch, UnreachableCentralServerAtLoadIsToldAndLoadFinishes) {
  setKey("SYNCSERVER", "embedded:servers/nowhere");
  host.setStrict(true);
  host.expectBox(Answer::OK, "embedded:servers/nowhere Not connected ");
  EXPECT_TRUE(frm->load());
  EXPECT_EQ(host.balloons.size(), 1u);  // the failed open, as a notice
  EXPECT_EQ(form.lblFirststatus.caption(), "Loading Over....Click Connect to proceed.. ");
  EXPECT_TRUE(form.cmdConnect.visible());
}

TEST_F(Branch, SettingsWizardWritesEveryKeyAndEndsTheProgram) {
  ASSERT_TRUE(frm->load());
  form.CmdSettings.click();
  auto& w = form.frmsettings;
  EXPECT_EQ(host.settingsWizardOpened, 1);
  EXPECT_EQ(w.visiblePage(), 1);
  EXPECT_EQ(w.TXTSQLServerName.text(), "embedded:servers/branch");
  EXPECT_EQ(w.TXTsYNCsqlSERVERname.text(), "embedded:servers/central");

  w.cmdBack.click();  // nothing before page 1
  EXPECT_EQ(w.visiblePage(), 1);
  w.CMDshowcompany.click();
  ASSERT_EQ(w.visiblePage(), 2);
  // The settings button again while the wizard is open only brings it forward: page and entries stay.
  w.cboLocalCompany.setText("typed");
  form.CmdSettings.click();
  EXPECT_EQ(host.settingsWizardOpened, 2);
  EXPECT_EQ(w.visiblePage(), 2);
  EXPECT_EQ(w.cboLocalCompany.text(), "typed");
  w.cboLocalCompany.setText("BR01");
  auto texts = [](const form::ComboBox& c) {
    std::vector<std::string> v;
    for (const auto& i : c.items()) v.push_back(i.text);
    return v;
  };
  EXPECT_EQ(texts(w.cboOnlineCompany), (std::vector<std::string>{"ARCH33", "HO01"}));
  EXPECT_EQ(texts(w.cboLocalCompany), (std::vector<std::string>{"ARCH33", "BR01"}));
  EXPECT_EQ(w.cboLocalCompany.text(), "BR01");
  EXPECT_EQ(w.chkKeepAlwaysON.value(), 0);
  EXPECT_EQ(w.chkShowDaystartEND.value(), 1);

  // Back and forward again lists each company once.
  w.cmdBack.click();
  EXPECT_EQ(w.visiblePage(), 1);
  w.CMDshowcompany.click();
  EXPECT_EQ(w.cboOnlineCompany.listCount(), 2);

  w.cmdshowCostCentres.click();
  ASSERT_EQ(w.visiblePage(), 3);
  EXPECT_EQ(texts(w.cboCostCentre), (std::vector<std::string>{"Branch One", "Branch Two", "Head Office"}));
  EXPECT_EQ(w.cboCostCentre.text(), "Branch One");

  w.cboCostCentre.setListIndex(1);
  w.chkKeepAlwaysON.setValue(1);
  w.chkShowDaystartEND.setValue(0);
  host.setStrict(true);
  host.expectBox(Answer::OK, "PLease reastart the application  to get effect the new settings.Exiting now");
  w.cmdSave.click();
  EXPECT_EQ(host.boxes.back().icon, Icon::Information);
  EXPECT_EQ(host.quitCount, 1);
  EXPECT_EQ(w.visiblePage(), 4);
  EXPECT_EQ(w.txtFinish.text(),
            "DESKTOP CONNECTION : embedded:servers/branch\\ BR01\r\nWEB CONNECTION : embedded:servers/central\\ "
            "HO01\r\nCost centre : Branch Two");
  EXPECT_EQ(stored("DEFCOSTCENTREID"), "3");
  EXPECT_EQ(stored("KEEPAUTOSYNCHON"), "1");
  EXPECT_EQ(stored("BLNSHOWDAYSTARTEND"), "0");
  EXPECT_EQ(stored("LOCALDBCODE"), "BR01");
  EXPECT_EQ(stored("WEBDBCODE"), "HO01");
}

TEST_F(Branch, SettingsWizardWithAnUnreachableCentralServer) {
  ASSERT_TRUE(frm->load());
  form.CmdSettings.click();
  auto& w = form.frmsettings;
  w.TXTsYNCsqlSERVERname.setText("embedded:servers/gone");
  host.setStrict(true);
  host.expectBox(Answer::OK, "embedded:servers/gone Not connected ");
  w.CMDshowcompany.click();
  EXPECT_EQ(stored("SYNCSERVER"), "embedded:servers/gone");
  EXPECT_EQ(w.cboOnlineCompany.listCount(), 0);
  EXPECT_EQ(w.visiblePage(), 2);
  // A stored cost centre that matches none leaves the box without a selection; Finish then asks for one.
  setKey("DEFCOSTCENTREID", "77");
  w.cmdshowCostCentres.click();
  EXPECT_EQ(w.cboCostCentre.listIndex(), -1);
  host.expectBox(Answer::OK, "Please select a cost centre");
  w.cmdSave.click();
  EXPECT_EQ(w.visiblePage(), 3);
  EXPECT_EQ(host.quitCount, 0);
}

}  // namespace
}  // namespace erpsync
