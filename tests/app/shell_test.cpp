// The shell's pieces that need no server: voucher-type selection, the linked-server statements, the
// exit question, the interval box and the headless host. A fake connection records what is sent.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <sstream>

#include "app/console_host.h"
#include "app/frm_synch.h"
#include "form/main_form.h"
#include "shared/sync_context.h"
#include "app/voucher_types.h"
#include "shared/connections.h"
#include "scripted_host.h"
#include "settings/settings_files.h"
#include "test_support.h"

namespace erpsync {
namespace {

using test::ScriptedHost;
using test::TempDir;

// Answers every query with the recordset the test gives for it; records every statement.
class FakeConnection : public db::Connection {
 public:
  std::vector<std::string> sent;
  std::function<db::Recordset(const std::string&)> answer;
  bool open_ = true;

  void open(const std::string&) override { open_ = true; }
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
  void setCommandTimeout(int) override {}
};

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
  SyncContext ctx{host, clock, form, dir.path()};
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
  int dayLabelsRefreshed = 0;
  s.ctx.hooks.setdatstartDet = [&](SyncContext&) { ++dayLabelsRefreshed; };

  FillSyncVchTypes(s.ctx);

  ASSERT_EQ(s.local->sent.size(), 1u);
  EXPECT_EQ(s.local->sent[0],
            "SELECT   VchTypeID, VchType From tblVchType WHERE  PrimaryCCIDS='2' AND BLNUseForClientSync=1 Order by "
            "VchType ");
  EXPECT_FALSE(s.form.lstVchtypes.selected(0));
  EXPECT_TRUE(s.form.lstVchtypes.selected(1));
  EXPECT_TRUE(s.form.lstVchtypes.selected(2));
  EXPECT_EQ(dayLabelsRefreshed, 1);
  // Restoring by code did not rewrite the stored choice.
  EXPECT_EQ(s.stored("SYNCHVCHTYPEIDS"), "5;7;");
  EXPECT_EQ(frm.CREateSelVchTypeIDQry(), " and vchtypeID in (5,7)");
}

TEST(VoucherTypes, StoredValueWithoutFinalSemicolonIgnoresItsLastId) {
  Shell s;
  s.ctx.writeSetting("SYNCHVCHTYPEIDS", "3;7");
  s.local->answer = [](const std::string&) { return vchTypes({{3, "A"}, {5, "B"}, {7, "C"}}); };
  FillSyncVchTypes(s.ctx);
  EXPECT_TRUE(s.form.lstVchtypes.selected(0));
  EXPECT_FALSE(s.form.lstVchtypes.selected(2));
}

TEST(VoucherTypes, ClicksStoreOnlyWhenTheOperatorWorksTheList) {
  Shell s;
  FrmSynch frm(s.ctx);
  s.local->answer = [](const std::string&) { return vchTypes({{7, "A"}, {9, "B"}, {12, "C"}}); };
  FillSyncVchTypes(s.ctx);
  auto& list = s.form.lstVchtypes;

  list.setSelected(0, true);  // by code: not stored
  EXPECT_EQ(s.stored("SYNCHVCHTYPEIDS"), "");

  s.form.activeControl = &list;
  list.setSelected(2, true);  // a left click: the others stay as they are
  EXPECT_TRUE(list.selected(0));
  EXPECT_FALSE(list.selected(1));
  EXPECT_EQ(s.stored("SYNCHVCHTYPEIDS"), "7;12;");
  EXPECT_EQ(frm.CREateSelVchTypeIDQry(), " and vchtypeID in (7,12)");

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

  EXPECT_EQ(frm.CREateSelVchTypeIDQry(), "");
  EXPECT_EQ(s.form.lblStatus.caption(), "NO vouchers selected to import");
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
  s.host.expectBox(Answer::OK, "Local Company Code missing . please take settings and reset settings");
  s.ctx.LocalServerName = "embedded:nowhere";
  s.ctx.SyncServerName = "embedded:nowhere";
  OpenCompanyConnections(s.ctx);
  EXPECT_FALSE(db::isOpen(s.ctx.LocalConnection));
  EXPECT_FALSE(db::isOpen(s.ctx.WebConnection));
  EXPECT_EQ(s.host.boxes[0].icon, Icon::Critical);
  // A connection that could not be opened fails with an error when used, it does not crash.
  EXPECT_THROW(s.ctx.web().query("select 1"), std::exception);
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
  // The interval never changes the timer's period.
  EXPECT_EQ(s.form.timertrigger.intervalMs(), 5000);

  EXPECT_FALSE(s.form.timertrigger.enabled());
  s.form.ChkAutoSynch.setValue(1);
  EXPECT_TRUE(s.form.timertrigger.enabled());
  s.form.ChkAutoSynch.setValue(0);
  EXPECT_FALSE(s.form.timertrigger.enabled());
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
