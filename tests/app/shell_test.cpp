// The shell's pieces that need no server: voucher-type selection, the linked-server statements, the
// exit question, the interval box and the headless host. A fake connection records what is sent.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <sstream>
#include <stdexcept>

#include "app/console_host.h"
#include "app/frm_synch.h"
#include "app/voucher_types.h"
#include "form/main_form.h"
#include "scripted_host.h"
#include "settings/settings_files.h"
#include "shared/connections.h"
#include "app/window_context.h"
#include "shared/sync_context.h"
#include "test_support.h"

namespace erpsync {
namespace {

using test::ScriptedHost;
using test::TempDir;

// Answers every query with the recordset the test gives for it; records every statement, the string
// it was opened with and the command time-out it was given.
class FakeConnection : public db::Connection {
 public:
  std::vector<std::string> sent;
  std::function<db::Recordset(const std::string&)> answer;
  bool open_ = true;
  std::string openedWith;
  int commandTimeout = -1;  // -1: never set, the provider's default

  void open(const std::string& cs) override {
    open_ = true;
    openedWith = cs;
  }
  void close() override { open_ = false; }
  bool isOpen() const override { return open_; }
  long long execute(const std::string& sql) override {
    sent.push_back(sql);
    return 0;
  }
  db::Recordset query(const std::string& sql) override {
    sent.push_back(sql);
    return answer ? answer(sql) : db::Recordset{};
  }
  void beginTrans() override {}
  void commitTrans() override {}
  void rollbackTrans() override {}
  void setCommandTimeout(int seconds) override { commandTimeout = seconds; }
};

// Makes the context's connections closed FakeConnections, counting them.
void useFakeConnections(SyncContext& ctx, int* made = nullptr) {
  ctx.makeConnection = [made](const std::string&) {
    auto c = std::make_unique<FakeConnection>();
    c->open_ = false;
    if (made) ++*made;
    return std::unique_ptr<db::Connection>(std::move(c));
  };
}

FakeConnection& fake(std::unique_ptr<db::Connection>& c) {
  auto* f = dynamic_cast<FakeConnection*>(c.get());
  if (!f) throw std::runtime_error("not a fake connection");
  return *f;
}

db::Recordset vchTypes(std::vector<std::pair<long long, std::string>> rows) {
  db::Recordset rs;
  rs.fields = {{"VchTypeID", db::adNumeric}, {"VchType", db::adVarChar}};
  for (auto& [id, name] : rows) rs.rows.push_back({db::Value(static_cast<std::int64_t>(id)), db::Value(name)});
  return rs;
}

struct Shell {
  TempDir dir;
  ScriptedHost host{false};
  FixedClock clock{db::DateTime{2026, 3, 5, 10, 0, 0}};
  MainForm form;
  WindowContext ctx{host, clock, form, dir.path()};
  FakeConnection* local = nullptr;

  Shell() {
    std::filesystem::create_directories(dir.path() / "Resources");
    auto c = std::make_unique<FakeConnection>();
    local = c.get();
    ctx.LocalConnection = std::move(c);
  }
  std::string stored(const std::string& key) {
    std::string v = "<none>";
    return settings::ReadWriteSetting(host, settings::appSettingsPath(dir.path()), key, v, false);
  }
};

TEST(VoucherTypes, RestoresStoredChoiceAndQueriesTheCostCentreAsANumber) {
  Shell s;
  FrmSynch frm(s.ctx);
  s.ctx.writeSetting("SYNCHVCHTYPEIDS", "5;7;");
  // A tag that is not a clean number must not reach the statement as text.
  s.form.lblCostcentre.setTag("2' or 1=1 --");
  s.local->answer = [](const std::string&) { return vchTypes({{3, "A"}, {5, "B"}, {7, "C"}}); };
  fillVoucherTypes(s.ctx);

  ASSERT_EQ(s.local->sent.size(), 1u);
  EXPECT_EQ(s.local->sent[0],
            "SELECT   VchTypeID, VchType From tblVchType WHERE  PrimaryCCIDS='2' AND BLNUseForClientSync=1 Order by "
            "VchType ");
  EXPECT_FALSE(s.form.lstVchtypes.selected(0));
  EXPECT_TRUE(s.form.lstVchtypes.selected(1));
  EXPECT_TRUE(s.form.lstVchtypes.selected(2));
  // Restoring by code did not rewrite the stored choice.
  EXPECT_EQ(s.stored("SYNCHVCHTYPEIDS"), "5;7;");
  EXPECT_EQ(frm.voucherTypeFilter(), " and vchtypeID in (5,7)");
}

TEST(VoucherTypes, StoredValueWithoutFinalSemicolonIgnoresItsLastId) {
  Shell s;
  s.ctx.writeSetting("SYNCHVCHTYPEIDS", "3;7");
  s.local->answer = [](const std::string&) { return vchTypes({{3, "A"}, {5, "B"}, {7, "C"}}); };
  fillVoucherTypes(s.ctx);
  EXPECT_TRUE(s.form.lstVchtypes.selected(0));
  EXPECT_FALSE(s.form.lstVchtypes.selected(2));
}

TEST(VoucherTypes, ClicksStoreOnlyWhenTheOperatorWorksTheList) {
  Shell s;
  FrmSynch frm(s.ctx);
  s.local->answer = [](const std::string&) { return vchTypes({{7, "A"}, {9, "B"}, {12, "C"}}); };
  fillVoucherTypes(s.ctx);
  auto& list = s.form.lstVchtypes;

  list.setSelected(0, true);  // by code: not stored
  EXPECT_EQ(s.stored("SYNCHVCHTYPEIDS"), "");

  s.form.activeControl = &list;
  list.setSelected(2, true);  // a left click: the others stay as they are
  EXPECT_TRUE(list.selected(0));
  EXPECT_FALSE(list.selected(1));
  EXPECT_EQ(s.stored("SYNCHVCHTYPEIDS"), "7;12;");
  EXPECT_EQ(frm.voucherTypeFilter(), " and vchtypeID in (7,12)");

  // Right click on a selected entry selects all; on an unselected one clears all. Both are stored.
  list.setListIndex(2);
  s.form.lstVchtypes_MouseDown(2);
  EXPECT_EQ(list.selectedCount(), 3);
  EXPECT_EQ(s.stored("SYNCHVCHTYPEIDS"), "7;9;12;");
  s.form.lstVchtypes_MouseDown(1);  // left button: nothing
  EXPECT_EQ(list.selectedCount(), 3);
  list.setSelected(1, false);
  list.setListIndex(1);
  s.form.lstVchtypes_MouseDown(2);
  EXPECT_EQ(list.selectedCount(), 0);
  EXPECT_EQ(s.stored("SYNCHVCHTYPEIDS"), "");

  EXPECT_EQ(frm.voucherTypeFilter(), "");
  EXPECT_EQ(s.form.lblStatus.caption(), "NO vouchers selected to import");
}

// A host whose message boxes cannot be shown (the window is going away).
class NoBoxHost : public ScriptedHost {
 public:
  NoBoxHost() : ScriptedHost(false) {}
  Answer messageBox(const std::string&, Buttons, Icon, const std::string&, Answer) override {
    throw std::runtime_error("No message box can be shown now");
  }
};

TEST(VoucherTypes, AChoiceThatCannotBeStoredIsToldNotSwallowed) {
  TempDir dir;
  test::writeFile(dir.path() / "Resources", "a file where the settings folder belongs");
  NoBoxHost host;
  FixedClock clock{db::DateTime{2026, 3, 5, 10, 0, 0}};
  MainForm form;
  WindowContext ctx{host, clock, form, dir.path()};
  FrmSynch frm(ctx);
  form.lstVchtypes.addItem("Sales", 7);
  form.activeControl = &form.lstVchtypes;
  form.lstVchtypes.setSelected(0, true);
  ASSERT_EQ(host.balloons.size(), 1u);
  EXPECT_EQ(host.balloons[0].text, "No message box can be shown nowSynchronisation VchTypes");
}

TEST(LinkedServer, StatementsInOrderWithTheNameQuoted) {
  auto st = linkedServerStatements("HO-SRV");
  ASSERT_EQ(st.size(), 16u);
  EXPECT_EQ(st[0],
            "IF  EXISTS (SELECT srv.name FROM sys.servers srv WHERE srv.server_id != 0 AND srv.name = N'HO-SRV')EXEC "
            "master.dbo.sp_dropserver @server=N'HO-SRV', @droplogins='droplogins'");
  EXPECT_EQ(st[1], "EXEC master.dbo.sp_addlinkedserver @server = N'HO-SRV', @srvproduct=N'SQL Server'");
  EXPECT_EQ(st[3],
            "EXEC master.dbo.sp_addlinkedsrvlogin @rmtsrvname=N'HO-SRV',@useself=N'False',@locallogin=N'sa',@rmtuser="
            "N'sa',@rmtpassword='PLOVERS318#'");
  EXPECT_EQ(st[12], "EXEC master.dbo.sp_serveroption @server=N'HO-SRV', @optname=N'collation name', @optvalue=null");
  EXPECT_EQ(st[15],
            "EXEC master.dbo.sp_serveroption @server=N'HO-SRV', @optname=N'use remote collation', @optvalue=N'true'");

  for (const auto& s : linkedServerStatements("O'Hara")) EXPECT_NE(s.find("N'O''Hara'"), std::string::npos) << s;
}

TEST(LinkedServer, FirstFailureStopsWithAnExclamationBox) {
  Shell s;
  struct Failing : FakeConnection {
    long long execute(const std::string& sql) override {
      sent.push_back(sql);
      if (sent.size() == 2) throw db::DbError("Could not add the server");
      return 0;
    }
  };
  auto f = std::make_unique<Failing>();
  auto* failing = f.get();
  s.ctx.LocalConnection = std::move(f);
  s.host.setStrict(true);
  s.host.expectBox(Answer::OK, "Could not add the server");
  ConfigureLinkedServer(s.ctx, "HO");
  EXPECT_EQ(failing->sent.size(), 2u);
  EXPECT_EQ(s.host.boxes.back().icon, Icon::Exclamation);
}

TEST(CompanyConnections, EmptyCodesWarnTwiceAndLeaveBothClosed) {
  Shell s;
  s.host.setStrict(true);
  s.host.expectBox(Answer::OK, "Local Company Code missing . please take settings and reset settings");
  s.host.expectBox(Answer::OK, "Online Company Code missing . please take settings and reset settings");
  s.ctx.LocalServerName = "embedded:nowhere";
  s.ctx.SyncServerName = "embedded:nowhere";
  OpenCompanyConnections(s.ctx);
  EXPECT_FALSE(db::isOpen(s.ctx.LocalConnection));
  EXPECT_FALSE(db::isOpen(s.ctx.WebConnection));
  EXPECT_EQ(s.host.boxes[0].icon, Icon::Critical);
  // A connection that could not be opened fails with an error when used, it does not crash.
  EXPECT_THROW(s.ctx.web().query("select 1"), std::exception);
}

TEST(CompanyConnections, AMissingCodeIsNamedAndItsConnectionIsNeverOpened) {
  for (bool localMissing : {true, false}) {
    SCOPED_TRACE(localMissing ? "LOCALDBCODE empty" : "WEBDBCODE empty");
    Shell s;
    useFakeConnections(s.ctx);
    s.ctx.LocalServerName = "BRANCHSRV";
    s.ctx.SyncServerName = "CENTRALSRV";
    s.ctx.LocalDbCode = localMissing ? "" : "BR01";
    s.ctx.WebDbCode = localMissing ? "HO01" : "";
    s.host.setStrict(true);
    s.host.expectBox(Answer::OK, localMissing ? "Local Company Code missing" : "Online Company Code missing");
    OpenCompanyConnections(s.ctx);
    EXPECT_EQ(s.host.boxes.at(0).icon, Icon::Critical);
    // Without a code the connection is not opened at all: an empty catalog would be the server's
    // default database (master), where Update Database would then create its tables.
    FakeConnection& missing = fake(localMissing ? s.ctx.LocalConnection : s.ctx.WebConnection);
    FakeConnection& other = fake(localMissing ? s.ctx.WebConnection : s.ctx.LocalConnection);
    EXPECT_FALSE(missing.isOpen());
    EXPECT_EQ(missing.openedWith, "");
    EXPECT_TRUE(other.isOpen());
    EXPECT_NE(other.openedWith.find(localMissing ? "Initial Catalog=HO01;Data Source=CENTRALSRV"
                                                 : "Initial Catalog=BR01;Data Source=BRANCHSRV"),
              std::string::npos)
        << other.openedWith;
  }
}

TEST(StartupConnection, EveryOpenKeepsTheTenSecondTimeout) {
  Shell s;
  int made = 0;
  useFakeConnections(s.ctx, &made);
  test::writeFile(settings::serverNamePath(s.dir.path()), "BRANCHSRV\r\n");
  s.ctx.writeSetting("SYNCSERVER", "CENTRALSRV");
  FrmSynch frm(s.ctx);
  // Right after the first open (on the branch server) ...
  int timeoutAfterFirstOpen = -2;
  s.form.lblFirststatus.subscribe([&] {
    if (s.form.lblFirststatus.caption() == "Connection establishing.Done.... ")
      timeoutAfterFirstOpen = fake(s.ctx.StartupConnection).commandTimeout;
  });
  ASSERT_TRUE(frm.load());
  EXPECT_EQ(timeoutAfterFirstOpen, 10);
  // ... and after load opened it again on the central server: a new connection, the same time-out.
  EXPECT_EQ(made, 2);
  FakeConnection& central = fake(s.ctx.StartupConnection);
  EXPECT_NE(central.openedWith.find("Initial Catalog=QMRStartup;Data Source=CENTRALSRV"), std::string::npos);
  EXPECT_TRUE(central.isOpen());
  EXPECT_EQ(central.commandTimeout, 10);
  // The settings wizard re-opens it through the same routine.
  OpenStartupConnection(s.ctx, "ELSEWHERE");
  EXPECT_EQ(fake(s.ctx.StartupConnection).commandTimeout, 10);
  EXPECT_TRUE(s.host.boxes.empty()) << s.host.boxes.front().text;
}

TEST(ConnectionStrings, AsTheProviderExpectsThem) {
  EXPECT_EQ(companyConnectionString("BR01", "SRV"),
            "Provider=SQLOLEDB.1;Password=PLOVERS318#;Persist Security Info=True;User ID=sa;Initial Catalog=BR01;Data "
            "Source=SRV");
  EXPECT_EQ(startupConnectionString("pw", "SRV"),
            "Provider=SQLOLEDB.1;Persist Security Info=False;password=pw;User ID=sa;Initial Catalog=QMRStartup;Data "
            "Source=SRV");
}

TEST(MainWindow, ExitQuestionDecidesAndInsertShowsMaintenance) {
  Shell s;
  FrmSynch frm(s.ctx);
  int trayRemoved = 0;
  frm.hooks.RemoveTrayIcon = [&] { ++trayRemoved; };
  s.host.setStrict(true);
  s.host.expectBox(Answer::No).expectBox(Answer::Cancel).expectBox(Answer::Yes);
  EXPECT_FALSE(s.form.onClose());
  EXPECT_FALSE(s.form.onClose());
  EXPECT_EQ(s.host.quitCount, 0);
  EXPECT_TRUE(s.form.onClose());
  EXPECT_EQ(s.host.quitCount, 1);
  EXPECT_EQ(trayRemoved, 3);
  const auto& box = s.host.boxes[0];
  EXPECT_EQ(box.text,
            "Do you Want to Exit Halvex ERP Sync\r\n \r\nClick [Yes] to exit \r\n \r\n[Cancel] to change login \r\n "
            "\r\n[No] to stay with the application");
  EXPECT_EQ(box.buttons, Buttons::YesNoCancel);
  EXPECT_EQ(box.icon, Icon::Question);
  EXPECT_EQ(box.title, "Halvex ERp Sync ");
  EXPECT_EQ(box.defaultAnswer, Answer::No);

  s.form.SSTab1.setTabVisible(1, false);
  s.form.onKeyDown(46);
  EXPECT_FALSE(s.form.SSTab1.tabVisible(1));
  s.form.onKeyDown(45);
  EXPECT_TRUE(s.form.SSTab1.tabVisible(1));
}

TEST(MainWindow, IntervalBoxAndAutoSynchSwitch) {
  Shell s;
  FrmSynch frm(s.ctx);
  s.form.cbointerval.setText("");  // no entry chosen: the first one is taken and stored
  EXPECT_EQ(s.form.cbointerval.text(), "2 Minutes");
  EXPECT_EQ(s.stored("SYNCINTERVAL"), "2 Minutes");
  s.form.cbointerval.setListIndex(6);
  EXPECT_EQ(s.stored("SYNCINTERVAL"), "60 MInutes");
  // A text that differs from an entry only in letter case chooses that entry and is kept as written:
  // "5 Minutes" must not fall back to the first entry.
  s.form.cbointerval.setText("5 Minutes");
  EXPECT_EQ(s.form.cbointerval.listIndex(), 2);
  EXPECT_EQ(s.form.cbointerval.text(), "5 Minutes");
  EXPECT_EQ(s.stored("SYNCINTERVAL"), "5 Minutes");
  s.form.cbointerval.setText("2 Minute");  // no entry: the first one is chosen
  EXPECT_EQ(s.stored("SYNCINTERVAL"), "2 Minutes");
  // The interval never changes the timer's period.
  EXPECT_EQ(s.form.timertrigger.intervalMs(), 5000);

  EXPECT_FALSE(s.form.timertrigger.enabled());
  s.form.ChkAutoSynch.setValue(1);
  EXPECT_TRUE(s.form.timertrigger.enabled());
  s.form.ChkAutoSynch.setValue(0);
  EXPECT_FALSE(s.form.timertrigger.enabled());
}

// Operations let the window process events while they work: a click or a timer tick arriving then
// must not start a second operation inside the first one's transaction.
TEST(OneOperationAtATime, ClicksAndTicksDuringAnOperationAreRefusedAndNothingRunsTwice) {
  Shell s;
  FrmSynch frm(s.ctx);
  int passes = 0, resyncs = 0;
  frm.hooks.pass = [&] {
    ++passes;
    s.host.doEvents();
  };
  frm.wireButton(s.form.cmdManualSynch, "Manual Synch", [&] {
    ++resyncs;
    s.host.doEvents();
  });
  s.form.ChkAutoSynch.setValue(1);
  int attempts = 0;
  s.host.onDoEvents = [&] {
    ++attempts;
    // Meanwhile the operator sees every operation button disabled ...
    for (auto* b : {&s.form.cmdManualSynch, &s.form.cmdConnect, &s.form.cmdUpdateDataBase, &s.form.cmdFreeServer})
      EXPECT_FALSE(b->enabled()) << b->name();
    // ... and whatever is pressed or ticks now is refused.
    s.form.cmdManualSynch.click();
    s.form.cmdConnect.click();
    s.form.cmdUpdateDataBase.click();
    s.form.timertrigger.onTimer();
  };

  s.form.timertrigger.onTimer();  // a pass
  EXPECT_EQ(passes, 1);
  EXPECT_EQ(resyncs, 0);
  s.form.cmdManualSynch.click();  // a manual re-sync
  EXPECT_EQ(passes, 1);
  EXPECT_EQ(resyncs, 1);
  EXPECT_EQ(attempts, 2);
  EXPECT_EQ(s.form.lblFirststatus.caption(), "");  // connect never began
  EXPECT_TRUE(s.host.boxes.empty());               // held buttons take no clicks; a skipped pass asks nothing

  // Afterwards everything is offered again, and runs once per request.
  EXPECT_EQ(frm.runningOperation(), "");
  for (auto* b : {&s.form.cmdManualSynch, &s.form.cmdConnect, &s.form.cmdUpdateDataBase, &s.form.cmdFreeServer})
    EXPECT_TRUE(b->enabled()) << b->name();
  s.host.onDoEvents = nullptr;
  s.form.timertrigger.onTimer();
  s.form.cmdManualSynch.click();
  EXPECT_EQ(passes, 2);
  EXPECT_EQ(resyncs, 2);
}

TEST(OneOperationAtATime, AVerbAskedForDuringAnotherIsToldAndDoesNotRun) {
  Shell s;
  FrmSynch frm(s.ctx);
  s.host.setStrict(true);
  s.host.expectBox(Answer::OK, "free-server was not started: Update Database is still running.");
  bool ran = false, accepted = true;
  EXPECT_TRUE(frm.runOperation("Update Database", [&] {
    EXPECT_EQ(frm.runningOperation(), "Update Database");
    accepted = frm.runOperation("free-server", [&] { ran = true; });
  }));
  EXPECT_FALSE(accepted);
  EXPECT_FALSE(ran);
  EXPECT_EQ(s.host.boxes.at(0).icon, Icon::Exclamation);
}

TEST(OneOperationAtATime, ButtonsComeBackAsTheOperationLeftThemEvenAfterAnError) {
  Shell s;
  FrmSynch frm(s.ctx);
  s.form.cmdUpdateDataBase.setEnabled(false);
  EXPECT_THROW(frm.runOperation("Connect",
                                [&] {
                                  // The operation's own changes while its buttons are held.
                                  s.form.cmdConnect.setEnabled(false);
                                  s.form.cmdUpdateDataBase.setEnabled(true);
                                  throw std::runtime_error("escaped");
                                }),
               std::runtime_error);
  EXPECT_EQ(frm.runningOperation(), "");
  EXPECT_FALSE(s.form.cmdConnect.enabled());
  EXPECT_TRUE(s.form.cmdUpdateDataBase.enabled());
  EXPECT_TRUE(s.form.cmdFreeServer.enabled());
  int runs = 0;
  EXPECT_TRUE(frm.runOperation("Free Server", [&] { ++runs; }));
  EXPECT_EQ(runs, 1);
}

TEST(MainWindow, ControlsAreFoundByTheirNames) {
  MainForm f;
  EXPECT_EQ(f.find("lblserverStat"), &f.lblserverStat);
  EXPECT_EQ(f.lblserverStat.caption(), "LOCK");
  EXPECT_EQ(f.find("msgCompare"), &f.msgCompare);
  EXPECT_EQ(f.find("nothing"), nullptr);
  std::set<std::string> names;
  int n = 0;
  f.forEach([&](form::Control& c) {
    names.insert(c.name());
    ++n;
  });
  EXPECT_EQ(static_cast<int>(names.size()), n) << "two controls share a name";
  EXPECT_EQ(f.frmsettings.find("cboCostCentre"), &f.frmsettings.cboCostCentre);
  EXPECT_EQ(f.window.caption(), "Synchronisation");
}

TEST(ConsoleHostTest, PrintsBoxesAnswersByPolicyAndCountsErrors) {
  std::ostringstream out, err;
  ConsoleHost h(out, err);
  std::vector<std::string> logged;
  h.logNotice = [&](const std::string& t) { logged.push_back(t); };
  EXPECT_EQ(h.messageBox("Exit?", Buttons::YesNoCancel, Icon::Question, "T", Answer::No), Answer::No);
  h.answerYes = true;
  EXPECT_EQ(h.messageBox("Exit?", Buttons::YesNo, Icon::Question, "T", Answer::No), Answer::Yes);
  EXPECT_EQ(h.errorsShown(), 0);
  h.messageBox("bad\r\nthing", Buttons::OK, Icon::Critical, "", Answer::OK);
  h.showBalloon("Halvex ERP Sync 3.6!", "disk fullConnect");
  EXPECT_EQ(h.errorsShown(), 1);
  EXPECT_EQ(h.noticesShown(), 1);
  EXPECT_EQ(out.str(), "[question] T: Exit? -> No\n[question] T: Exit? -> Yes\n");
  EXPECT_EQ(err.str(), "[critical] bad\nthing\n[notice] disk fullConnect\n");
  EXPECT_EQ(logged, std::vector<std::string>{"disk fullConnect"});
}

}  // namespace
}  // namespace erpsync
