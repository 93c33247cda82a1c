// What the operator and support staff are told about the automatic passes: the status line, head
// office going away and coming back, the idle log, and one mover of data per program folder.
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>

#include <fstream>
#include <sstream>

#include "app/pass_view.h"
#include "app/frm_synch.h"
#include "cli_app.h"
#include "cmd_app.h"
#include "cmd_status.h"
#include "db/embedded/embedded_server.h"
#include "db/embedded/fault_injection.h"
#include "pair_fixture.h"
#include "settings/daily_log.h"
#include "settings/program_folder_lock.h"
#include "settings/program_folder_lock_os.h"
#include "settings/settings_files.h"
#include "shared/date_text.h"
#include "simulator.h"
#include "test_support.h"
#include "util/text.h"

namespace erpsync {
namespace {

namespace faults = db::embedded::faults;

class Operator : public test::SyncPairFixture {
 protected:
  // The operator works the window: its tests set the window's controls.
  Operator() {
    readDayFromWindow();
    form.lstVchtypes.addItem("Sales BR1", 201);
    form.lstVchtypes.setSelected(0, true);
    form.ChkAutoSynch.setValue(1);
    sales(3, 1);
    ageBranchChanges(5);
  }
  ~Operator() override { faults::reset(); }

  void sales(int n, unsigned seed) {
    testbed::SimulationOptions o;
    o.sales = n;
    o.orders = o.stockJournals = o.jobCards = o.notes = o.edits = o.deletes = 0;
    o.masterChanges = o.boardRates = 0;
    o.date = today;
    o.seed = seed;
    testbed::simulateErpActivity(&branch(), nullptr, o);
  }
  std::string logText() {
    ctx.closeLog();
    return test::readFile(settings::LogFilePath(ctx.LogFolder, form.dtpdate.value()));
  }
  std::size_t logBytes() { return logText().size(); }
  long long waitingAtBranch() { return scalar(branch(), "SELECT count(*) FROM tblSales WHERE isnull(SyncStat,0)=0"); }
  bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
  static std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  }
  std::size_t noticesContaining(const std::string& part) {
    std::size_t n = 0;
    for (const auto& t : notices()) n += has(t, part);
    return n;
  }
};

// The status line answers the operator's questions from the databases, and the status box says in a
// sentence what waits, without a statement in sight.
TEST_F(Operator, TheStatusLineAndTheStatusBoxTellWhatWentUpAndWhatWaits) {
  auto out = runWindowPass(ctx);
  ASSERT_TRUE(out.error.empty()) << out.error;
  ASSERT_EQ(out.upload.uploaded, 3);
  // Two more vouchers, entered just now: they wait for their interval.
  sales(2, 7);
  out = runWindowPass(ctx);
  ASSERT_EQ(out.upload.uploaded, 0);
  ASSERT_EQ(waitingAtBranch(), 2);

  const std::string line = form.lblBranchStatus.caption();
  EXPECT_TRUE(has(line, "Last good pass: 05/Dec/2026 02:05 PM")) << line;  // the workstation clock, to the minute
  EXPECT_TRUE(has(line, "2 vouchers waiting, the oldest entered 0 minutes ago")) << line;
  EXPECT_TRUE(has(line, "3 sent today")) << line;
  EXPECT_TRUE(has(line, "Head office reachable")) << line;
  EXPECT_TRUE(has(line, "Push lock: free")) << line;

  const std::string box = form.lblStatus.caption();
  EXPECT_EQ(box, "2 vouchers waiting; the oldest goes up in 2 minutes.") << box;
  // The statements stay in the log, where support staff look for them.
  EXPECT_TRUE(has(logText(), " Auto synch Checking vouchers  \t select Id,tablename"));

  // The Activity grid has its header and keeps the rows of the pass that sent the vouchers.
  ASSERT_GE(form.msgActivity.rows(), 4);
  EXPECT_EQ(text::trim(form.msgActivity.text(0, 1)), "TableName");
  int sent = 0;
  for (int r = 1; r < form.msgActivity.rows(); ++r) sent += form.msgActivity.text(r, 1) == "tblSales";
  EXPECT_EQ(sent, 3);
  // The voucher rows stand under a heading row of their own that says what their columns hold (the
  // header above them names the master summary's).
  int heading = -1;
  for (int r = 1; r < form.msgActivity.rows(); ++r)
    if (form.msgActivity.text(r, 0) == "Voucher change") heading = r;
  ASSERT_GT(heading, 0);
  EXPECT_EQ(form.msgActivity.text(heading, 1), "Voucher table");
  for (int r = 1; r < form.msgActivity.rows(); ++r)
    if (form.msgActivity.text(r, 1) == "tblSales") {
      EXPECT_GT(r, heading);
    }
  // Dates read as the window writes dates everywhere, in both sections.
  const std::string day = ddMMMyyyy(ctx.day().date);
  for (int r = 1; r < form.msgActivity.rows(); ++r)
    if (r != heading && form.msgActivity.text(r, 0) != "Master changes") {
      EXPECT_EQ(form.msgActivity.text(r, 2).rfind(day, 0), 0u) << form.msgActivity.text(r, 2);
    }

  // Another branch holds the push lock: the next look at head office names it.
  central().execute(
      "INSERT INTO tblDayActivity (Activity, BlockDataEntry, SQLSERVERNAME, SystemName, ActivitiesDetail, Timeof) "
      "VALUES ('BLOCKFASTPUSH', 1, 'Branch Two', '', 'Blocking for data pushing from client', getdate())");
  clock.advanceSeconds(61);
  runWindowPass(ctx);
  EXPECT_TRUE(has(form.lblBranchStatus.caption(), "Push lock: held by Branch Two")) << form.lblBranchStatus.caption();
}

// While masters come down and vouchers go up the status box says what happens, never a statement.
TEST_F(Operator, TheStatusBoxNeverShowsAStatement) {
  testbed::SimulationOptions o;
  o.sales = o.orders = o.stockJournals = o.jobCards = o.notes = o.edits = o.deletes = o.boardRates = 0;
  o.masterChanges = 3;
  o.date = today;
  testbed::simulateErpActivity(&branch(), &central(), o);
  std::vector<std::string> shown;
  form.lblStatus.subscribe([&] { shown.push_back(form.lblStatus.caption()); });
  auto out = runWindowPass(ctx);
  ASSERT_GT(out.masters.applied, 0);
  ASSERT_EQ(out.upload.uploaded, 3);
  bool rowShown = false;
  for (const auto& t : shown) {
    EXPECT_EQ(text::lower(t).find("insert into"), std::string::npos) << t;
    EXPECT_EQ(text::lower(t).find("select"), std::string::npos) << t;
    rowShown = rowShown || t.rfind("Bringing tbl", 0) == 0;
  }
  EXPECT_TRUE(rowShown);
  EXPECT_EQ(form.lblStatus.caption(), "3 vouchers sent to head office.");
}

// Head office away: one plain notice when it goes and one when it is back, never a box, the lock
// unknown meanwhile, and the vouchers going up on its return.
TEST_F(Operator, HeadOfficeAwayIsToldOnceWhenItGoesAndOnceWhenItReturns) {
  const std::size_t boxesBefore = host.boxes.size();       // the fixture's upgrade
  ASSERT_EQ(runWindowPass(ctx).upload.uploaded, 3);  // strict host: any message box fails the test
  form.lblserverStat.setCaption("FREE");
  sales(2, 5);
  ageBranchChanges(5);

  const auto centralDir = dir.path() / "servers" / "central";
  const auto away = dir.path() / "servers" / "central-away";
  ctx.WebConnection.reset();
  std::filesystem::rename(centralDir, away);
  for (int pass = 0; pass < 3; ++pass) {
    auto out = runWindowPass(ctx);
    EXPECT_FALSE(out.headOfficeAway.empty());
    EXPECT_EQ(out.upload.uploaded, 0);
  }
  EXPECT_EQ(noticesContaining("Head office cannot be reached: "), 1u);
  EXPECT_EQ(notices().size(), 1u);
  EXPECT_TRUE(has(notices().front(), ". Vouchers wait here and go up when it is back.")) << notices().front();
  EXPECT_EQ(form.lblserverStat.caption(), "UNKNOWN");
  EXPECT_TRUE(has(form.lblStatus.caption(), "Head office cannot be reached: ")) << form.lblStatus.caption();
  EXPECT_TRUE(has(form.lblBranchStatus.caption(), "Head office cannot be reached since 05/Dec/2026 02:05:33 PM"))
      << form.lblBranchStatus.caption();
  EXPECT_TRUE(has(form.lblBranchStatus.caption(), "Push lock: unknown")) << form.lblBranchStatus.caption();
  EXPECT_TRUE(has(form.lblBranchStatus.caption(), "2 vouchers waiting")) << form.lblBranchStatus.caption();
  // Unattended, the same as one log line per change of state.
  EXPECT_EQ(occurrences(logText(), "Head office cannot be reached: "), 1u) << logText();

  std::filesystem::rename(away, centralDir);
  clock.advanceSeconds(30);
  auto back = runWindowPass(ctx);
  EXPECT_EQ(back.upload.uploaded, 2);
  EXPECT_EQ(noticesContaining("Head office can be reached again"), 1u);
  EXPECT_EQ(notices().size(), 2u);
  EXPECT_FALSE(has(form.lblStatus.caption(), "cannot be reached")) << form.lblStatus.caption();
  EXPECT_TRUE(has(form.lblBranchStatus.caption(), "Head office reachable since 05/Dec/2026 02:06:03 PM"))
      << form.lblBranchStatus.caption();
  EXPECT_TRUE(has(form.lblBranchStatus.caption(), "Push lock: free")) << form.lblBranchStatus.caption();
  EXPECT_EQ(form.lblserverStat.caption(), "FREE");
  runWindowPass(ctx);
  EXPECT_EQ(notices().size(), 2u);
  EXPECT_EQ(host.boxes.size(), boxesBefore) << host.boxTexts().back();
}

// Connecting while head office is away: one notice says so (not a second one about a closed object),
// and the passes after it add none.
TEST_F(Operator, AConnectWhileHeadOfficeIsAwayIsToldOnce) {
  FrmSynch frm(ctx);
  ctx.WebConnection.reset();
  std::filesystem::rename(dir.path() / "servers" / "central", dir.path() / "servers" / "central-away");
  frm.connect();
  ASSERT_EQ(notices().size(), 1u) << notices().front() << " / " << notices().back();
  EXPECT_TRUE(has(notices().front(), "Head office cannot be reached: HO01 on ")) << notices().front();
  EXPECT_EQ(form.lblserverStat.caption(), "UNKNOWN");
  runWindowPass(ctx);
  runWindowPass(ctx);
  EXPECT_EQ(notices().size(), 1u) << notices().back();
}

// The link drops under open connections (the fault plan strikes head office's first call): the same
// two notices, no box, and nothing sent twice.
TEST_F(Operator, ALinkThatDropsUnderOpenConnectionsIsToldLikeAnyOther) {
  ctx.reopenCompanyConnections = false;
  ASSERT_EQ(runWindowPass(ctx).upload.uploaded, 3);
  sales(2, 11);
  ageBranchChanges(5);
  faults::configure(*faults::parse("at=1;kind=drop;server=central"));
  auto lost = runWindowPass(ctx);
  faults::reset();
  EXPECT_FALSE(lost.headOfficeAway.empty());
  EXPECT_EQ(noticesContaining("Head office cannot be reached: "), 1u);
  EXPECT_EQ(form.lblserverStat.caption(), "UNKNOWN");
  auto back = runWindowPass(ctx);
  EXPECT_EQ(back.upload.uploaded, 2);
  EXPECT_EQ(noticesContaining("Head office can be reached again"), 1u);
  EXPECT_EQ(notices().size(), 2u);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2"), 5);
}

// An idle pass writes one short line; a pass that sends keeps every label support staff search for.
TEST_F(Operator, AnIdlePassLogsOneShortLine) {
  ASSERT_EQ(runWindowPass(ctx).upload.uploaded, 3);
  const std::string busy = logText();
  for (const char* label : {"Masters uploading starting", "masters uploading Qry Opened",
                            " Auto synch Checking vouchers  ", "transaction insertion", " End of upload ttransections  "})
    EXPECT_TRUE(has(busy, std::string("\t") + label + "\t")) << label;

  const std::size_t before = logBytes();
  runWindowPass(ctx);
  const std::string added = logText().substr(before);
  EXPECT_LE(added.size(), 200u) << added;
  EXPECT_TRUE(has(added, "\tAuto Synch\tIdle: nothing to bring down or send.")) << added;
  EXPECT_FALSE(has(added, "select")) << added;

  // Vouchers waiting for their interval are named in that line, still one line.
  sales(1, 3);
  const std::size_t before2 = logBytes();
  runWindowPass(ctx);
  const std::string added2 = logText().substr(before2);
  EXPECT_LE(added2.size(), 220u) << added2;
  EXPECT_TRUE(has(added2, "1 voucher waits for its interval")) << added2;
}

// The LogFile page: newest entry first, read again by Refresh, only the entries holding the filter's text.
TEST_F(Operator, TheLogFilePageShowsNewestFirstAndFilters) {
  FrmSynch frm(ctx);
  runWindowPass(ctx);
  clock.advanceSeconds(5);
  runWindowPass(ctx);  // idle
  form.SSTab1.setTab(4);
  const std::string all = form.txtLog.text();
  EXPECT_EQ(all.rfind("[05/12/2026 14:05:38]\tAuto Synch\tIdle: nothing to bring down or send.", 0), 0u) << all;
  EXPECT_NE(all.find("transaction insertion"), std::string::npos);
  EXPECT_EQ(all.find(settings::separatorLine()), std::string::npos);

  clock.advanceSeconds(5);
  runWindowPass(ctx);
  form.txtLogFilter.setText("idle");
  form.cmdLogRefresh.click();
  const std::string idle = form.txtLog.text();
  EXPECT_EQ(idle,
            "[05/12/2026 14:05:43]\tAuto Synch\tIdle: nothing to bring down or send.\r\n"
            "[05/12/2026 14:05:38]\tAuto Synch\tIdle: nothing to bring down or send.");
}

// A second window on the same program folder: its ticks wait, its buttons say who works there.
TEST_F(Operator, ASecondWindowOnTheProgramFolderWaitsWhileTheFirstWorks) {
  FrmSynch first(ctx);
  first.session.programName = "erpsync window";
  test::ScriptedHost otherHost{true};
  MainForm otherForm;
  WindowContext other{otherHost, clock, otherForm, dir.path()};
  other.LogFolder = ctx.LogFolder;
  otherForm.dtpdate.setValue(today);
  FrmSynch second(other);
  int secondPasses = 0, secondClicks = 0;
  second.hooks.pass = [&] { ++secondPasses; };
  second.wireButton(otherForm.cmdManualSynch, "Manual Synch", [&] { ++secondClicks; });

  const std::string me = "erpsync window (process " + std::to_string(settings::currentProcessId()) + ")";
  otherHost.expectBox(Answer::OK, "Manual Synch was not started: " + me + " is working in this program folder");
  bool ran = first.runOperation("Day End", [&] {
    otherForm.timertrigger.onTimer();
    otherForm.timertrigger.onTimer();
    otherForm.cmdManualSynch.click();
  });
  EXPECT_TRUE(ran);
  EXPECT_EQ(secondPasses, 0);
  EXPECT_EQ(secondClicks, 0);
  EXPECT_EQ(otherHost.pendingAnswers(), 0u);
  // The waiting ticks are logged once, not at every tick.
  EXPECT_EQ(occurrences(logText(), "Auto Synch was not started"), 1u) << logText();

  // Once the first has finished, the second works.
  otherForm.timertrigger.onTimer();
  otherForm.cmdManualSynch.click();
  EXPECT_EQ(secondPasses, 1);
  EXPECT_EQ(secondClicks, 1);
  // And meanwhile the first one's pass waits for its next tick.
  int firstPasses = 0;
  first.hooks.pass = [&] { ++firstPasses; };
  second.runOperation("Day Start", [&] { form.timertrigger.onTimer(); });
  EXPECT_EQ(firstPasses, 0);
  form.timertrigger.onTimer();
  EXPECT_EQ(firstPasses, 1);
}

// The headless runner and `status` on a testbed program folder.
struct Headless : ::testing::Test {
  test::TempDir home;
  void SetUp() override {
    test::copyTestbed(home.path(), {5, 10, true});
  }
  // A verb as its command line runs it (its output goes to the console).
  int cli(const std::string& line) {
    CLI::App app;
    int exitCode = -1;
    cli::addAllCommands(app, exitCode);
    app.parse(line + " --home '" + home.path().string() + "'");
    return exitCode;
  }
  int verb(const std::string& name, const cli::VerbHandler& handler, bool yes = true) {
    out.str("");
    err.str("");
    cli::VerbOptions o;
    o.home = home.path().string();
    o.yes = yes;
    return cli::runVerb(name, o, handler, out, err);
  }
  int status(bool json) {
    out.str("");
    err.str("");
    return cli::runStatus(cli::StatusOptions{home.path().string(), "", json}, out, err);
  }
  std::ostringstream out, err;
};

// A verb that finds the program folder taken says by whom and ends with an error; it runs nothing.
TEST_F(Headless, AVerbFindingTheProgramFolderTakenSaysWhoHoldsItAndExitsNonZero) {
  settings::ProgramFolderLock window(home.path());
  ASSERT_TRUE(window.take("erpsync window"));
  bool ran = false;
  EXPECT_EQ(verb("upload", [&](cli::Verb&, std::ostream&) { ran = true; }), cli::kExitOperationError);
  EXPECT_FALSE(ran);
  const std::string said = err.str();
  EXPECT_NE(said.find("erpsync window (process " + std::to_string(settings::currentProcessId()) + ")"),
            std::string::npos)
      << said;
  EXPECT_NE(said.find("is working in this program folder"), std::string::npos) << said;
  window.release();
  EXPECT_EQ(verb("upload", [&](cli::Verb&, std::ostream&) { ran = true; }), cli::kExitOk) << err.str();
  EXPECT_TRUE(ran);
}

// `status` reads without running a pass and reports the same facts the databases hold, as text and as
// JSON; head office away is an exit code and null counts, not a guess.
TEST_F(Headless, StatusReportsTheBranchAsTheDatabasesHoldIt) {
  // One pass, as a service runs it: the last good pass and head office's state are recorded.
  ASSERT_EQ(cli("run --passes 1 --wait-ms 0"), cli::kExitOk);
  auto branch = db::openConnection(companyConnectionString("BR01", "embedded:servers/branch"), home.path());
  testbed::SimulationOptions o;
  o.sales = 4;
  o.orders = o.stockJournals = o.jobCards = o.notes = o.edits = o.deletes = 0;
  o.masterChanges = o.boardRates = 0;
  o.date = db::embedded::serverNow().dateOnly();
  testbed::simulateErpActivity(branch.get(), nullptr, o);
  const long long waiting =
      branch->query("SELECT count(*) FROM tblSales WHERE isnull(SyncStat,0)=0").at(0, 0).toInt();
  ASSERT_GT(waiting, 0);
  const std::string loopBefore = test::readFile(settings::loopSettingsPath(home.path()));

  EXPECT_EQ(status(false), cli::kExitOk) << err.str();
  const std::string text = out.str();
  EXPECT_NE(text.find("Vouchers waiting: " + std::to_string(waiting) + "\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Head office: reachable since "), std::string::npos) << text;
  EXPECT_NE(text.find("Push lock: free\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("Last good pass: never"), std::string::npos) << text;

  EXPECT_EQ(status(true), cli::kExitOk) << err.str();
  const std::string json = out.str();
  EXPECT_NE(json.find("\"vouchersWaiting\":" + std::to_string(waiting) + ","), std::string::npos) << json;
  EXPECT_NE(json.find("\"headOffice\":{\"reachable\":true"), std::string::npos) << json;
  EXPECT_NE(json.find("\"pushLock\":{\"free\":true,\"holder\":null}"), std::string::npos) << json;
  // Nothing was sent, nothing written: status only reads.
  EXPECT_EQ(branch->query("SELECT count(*) FROM tblSales WHERE isnull(SyncStat,0)=0").at(0, 0).toInt(), waiting);
  EXPECT_EQ(test::readFile(settings::loopSettingsPath(home.path())), loopBefore);

  std::filesystem::rename(home.path() / "servers" / "central", home.path() / "servers" / "central-away");
  EXPECT_EQ(status(true), cli::kExitOperationError);
  const std::string awayJson = out.str();
  EXPECT_NE(awayJson.find("\"headOffice\":{\"reachable\":false"), std::string::npos) << awayJson;
  EXPECT_NE(awayJson.find("\"pushLock\":null"), std::string::npos) << awayJson;
  EXPECT_NE(awayJson.find("\"mastersReceivedToday\":null"), std::string::npos) << awayJson;
  EXPECT_NE(awayJson.find("\"vouchersWaiting\":" + std::to_string(waiting) + ","), std::string::npos) << awayJson;
}

}  // namespace
}  // namespace erpsync

namespace erpsync {
namespace {

// Before the first Update Database head office answers, only not about the synchroniser's tables: the
// status says so instead of calling it out of reach, where an installer would look for a network fault.
TEST(HeadlessBeforeUpdateDatabase, StatusCallsHeadOfficeReachableAndSaysWhatItAnswered) {
  test::TempDir home;
  test::copyTestbed(home.path(), {5, 10});
  std::ostringstream out, err;
  cli::runStatus(cli::StatusOptions{home.path().string(), "", false}, out, err);
  const std::string text = out.str();
  EXPECT_NE(text.find("Head office: reachable, but it answered: Invalid object name"), std::string::npos) << text;
  EXPECT_EQ(text.find("cannot be reached"), std::string::npos) << text;
  out.str("");
  cli::runStatus(cli::StatusOptions{home.path().string(), "", true}, out, err);
  EXPECT_NE(out.str().find("\"headOffice\":{\"reachable\":true"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("\"error\":\"Invalid object name"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace erpsync
