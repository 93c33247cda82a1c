// A branch and a central company database on embedded servers in a temporary folder, with the context
// the operations run in (scripted host, pinned workstation clock, the working day, window model). The
// folder is a copy of a testbed made once per build (prepared_folder.h).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/form_binding.h"
#include "capture/update_database.h"
#include "db/connection.h"
#include "db/embedded/embedded_server.h"
#include "form/clock.h"
#include "form/main_form.h"
#include "own_working_day.h"
#include "prepared_folder.h"
#include "scripted_host.h"
#include "shared/connections.h"
#include "app/window_context.h"
#include "shared/sync_context.h"
#include "sync/voucher_kinds.h"
#include "test_support.h"
#include "testbed.h"

namespace erpsync::test {

// Fills home with a copy of the testbed (8 items, 12 ledgers) on which Update Database ran, as
// PairFixture::upgrade() runs it.
void copyUpgradedPair(const std::filesystem::path& home);

class PairFixture : public ::testing::Test {
 protected:
  static constexpr const char* kBranchServer = "embedded:servers/branch";
  static constexpr const char* kCentralServer = "embedded:servers/central";

  PairFixture() : PairFixture(false) {}
  // upgraded: both databases as Update Database leaves them (run once per build of the test program).
  explicit PairFixture(bool upgraded) {
    if (upgraded)
      copyUpgradedPair(dir.path());
    else
      copyTestbed(dir.path(), {8, 12});
    ctx.LocalServerName = kBranchServer;
    ctx.SyncServerName = kCentralServer;
    ctx.LocalDbCode = "BR01";
    ctx.WebDbCode = "HO01";
    ctx.LocalConnection = db::openConnection(companyConnectionString("BR01", kBranchServer), dir.path());
    ctx.WebConnection = db::openConnection(companyConnectionString("HO01", kCentralServer), dir.path());
    form.lblCostcentre.setCaption("Branch One");
    form.lblCostcentre.setTag("2");
    windowDay_ = useOwnWorkingDay(ctx, workingDay);
  }
  ~PairFixture() override { db::embedded::setClockOffsetSeconds(0); }

  db::Connection& branch() { return *ctx.LocalConnection; }
  db::Connection& central() { return *ctx.WebConnection; }

  // Runs "Update Database" and expects its closing message. Its notices (drops of triggers that were
  // not there yet) are kept apart in upgradeNotices.
  void upgrade() {
    host.expectBox(Answer::OK, "Database Updated.");
    capture::updateDatabase(ctx);
    EXPECT_EQ(host.pendingAnswers(), 0u);
    upgradeNotices = notices();
    host.balloons.clear();
  }

  static long long scalar(db::Connection& c, const std::string& sql) {
    auto rs = c.query(sql);
    return rs.empty() ? -1 : rs.at(0, 0).toInt();
  }
  static db::Recordset rows(db::Connection& c, const std::string& sql) { return c.query(sql); }

  // Texts of the notices shown so far (balloons, as no notifier program is installed).
  std::vector<std::string> notices() const {
    std::vector<std::string> out;
    for (const auto& b : host.balloons) out.push_back(b.text);
    return out;
  }

  // The working day the operations read (ctx.day()), set by the tests of operations; the window's
  // controls show the same at first. The tests of the window's views (its buttons' handlers, its pages)
  // set the controls instead, after readDayFromWindow().
  WorkingDay workingDay;
  void readDayFromWindow() { ctx.workingDaySource = windowDay_; }

  std::vector<std::string> upgradeNotices;
  TempDir dir;
  ScriptedHost host{true};
  FixedClock clock{db::DateTime{2026, 12, 5, 14, 5, 33}};
  MainForm form;
  WindowContext ctx{host, clock, form, dir.path()};
  [[maybe_unused]] const bool formBound_ = (bindForm(ctx), true);

 private:
  std::function<WorkingDay()> windowDay_;
};

// The pair prepared for synchronisation as a connected window leaves it: databases upgraded, a daily
// log folder, the working date the branch server's date, the interval "2 Minutes".
class SyncPairFixture : public PairFixture {
 protected:
  SyncPairFixture() : PairFixture(true) {
    ctx.LogFolder = dir.path() / "log";
    std::filesystem::create_directories(ctx.LogFolder);
    today = branch().query("Select getdate()").at(0, 0).toDateTime()->dateOnly();
    form.dtpdate.setValue(today);
    form.cbointerval.setText("2 Minutes");
    workingDay.date = today;
    workingDay.intervalMinutes = 2;
  }
  // Makes every logged branch change `minutes` old on the branch server's clock.
  void ageBranchChanges(int minutes) {
    const std::string then = "DATEADD(minute, -" + std::to_string(minutes) + ", getdate())";
    // A voucher the change log does not list is as old as its bill time: none is younger than that.
    for (const auto& k : sync::voucherKinds())
      branch().execute("UPDATE " + k.table + " SET " + k.timeColumn + " = " + then + " WHERE " + k.timeColumn +
                       " > " + then);
    // The log last, so the edits just logged are as old as the rest.
    branch().execute("UPDATE tblActivity SET ActionTime = " + then);
  }
  db::DateTime today;
};

}  // namespace erpsync::test
