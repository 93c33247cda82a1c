// update-database, free-server, lock-status, testbed simulate and lock-contend.
#include "cmd_capture.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <iostream>
#include <memory>
#include <thread>

#include "app/console_host.h"
#include "capture/update_database.h"
#include "cmd_app.h"
#include "settings/settings_files.h"
#include "shared/connections.h"
#include "shared/sync_context.h"
#include "simulator.h"
#include "sync/free_server.h"
#include "sync/server_lock.h"

namespace erpsync::cli {

int runUpdateDatabase(const VerbOptions& options, std::ostream& out, std::ostream& err) {
  bool ran = false;
  int rc = runVerb(
      "Update Database", options,
      [&ran](Verb& v, std::ostream&) {
        capture::updateDatabase(v.ctx);
        ran = true;
      },
      out, err);
  return ran ? kExitOk : rc;
}

namespace {

// The branch and central company connections as the settings name them, without the window's connect
// (the ERP simulator is not the synchroniser and needs no linked server or cost centre).
struct CompanyPair {
  std::unique_ptr<db::Connection> branch, central;
};

CompanyPair openCompanies(const std::filesystem::path& folder, std::ostream& out, std::ostream& err,
                          bool withBranch = true) {
  ConsoleHost host(out, err);
  std::string server = settings::ReadLocalServerName(folder);
  std::string syncServer, localDb, webDb;
  const auto ini = settings::appSettingsPath(folder);
  settings::ReadWriteSetting(host, ini, "SYNCSERVER", syncServer, false);
  settings::ReadWriteSetting(host, ini, "LOCALDBCODE", localDb, false);
  settings::ReadWriteSetting(host, ini, "WEBDBCODE", webDb, false);
  CompanyPair p;
  if (withBranch) p.branch = db::openConnection(companyConnectionString(localDb, server), folder);
  p.central = db::openConnection(companyConnectionString(webDb, syncServer), folder);
  return p;
}

void addSimulate(CLI::App& app, int& exitCode) {
  CLI::App* tb = nullptr;
  try {
    tb = app.get_subcommand("testbed");
  } catch (const CLI::OptionNotFound&) {
    tb = app.add_subcommand("testbed", "The ERP's side: sample company databases on embedded servers");
  }
  auto o = std::make_shared<testbed::SimulationOptions>();
  auto home = std::make_shared<std::string>();
  auto date = std::make_shared<std::string>();
  auto* sim = tb->add_subcommand("simulate", "Play the ERP: branch vouchers, edits, deletes, head-office masters");
  sim->add_option("--home", *home, "Program folder (its Resources name the servers)")->required();
  sim->add_option("--sales", o->sales, "new sales")->check(CLI::NonNegativeNumber);
  sim->add_option("--orders", o->orders, "new orders")->check(CLI::NonNegativeNumber);
  sim->add_option("--stock-journals", o->stockJournals, "new stock journals")->check(CLI::NonNegativeNumber);
  sim->add_option("--job-cards", o->jobCards, "new job cards")->check(CLI::NonNegativeNumber);
  sim->add_option("--notes", o->notes, "new receipts and payments")->check(CLI::NonNegativeNumber);
  sim->add_option("--edits", o->edits, "vouchers edited")->check(CLI::NonNegativeNumber);
  sim->add_option("--deletes", o->deletes, "vouchers deleted")->check(CLI::NonNegativeNumber);
  sim->add_option("--masters", o->masterChanges, "statements on head-office masters")->check(CLI::NonNegativeNumber);
  sim->add_option("--board-rates", o->boardRates, "board-rate batches at head office")->check(CLI::NonNegativeNumber);
  sim->add_option("--seed", o->seed, "seed of the choices (default 1)");
  sim->add_option("--cost-centre", o->costCentreId, "the branch's cost centre id (default 2)");
  sim->add_option("--date", *date, "voucher date, e.g. 2026-12-05 (default: the branch server's date)");
  sim->callback([o, home, date, &exitCode] {
    try {
      if (!date->empty()) {
        auto d = db::DateTime::fromIso(*date);
        if (!d) {
          std::cerr << "Not a date: " << *date << '\n';
          exitCode = kExitUsage;
          return;
        }
        o->date = *d;
      }
      auto p = openCompanies(resolveProgramFolder(*home), std::cout, std::cerr);
      auto r = testbed::simulateErpActivity(p.branch.get(), p.central.get(), *o);
      std::cout << "sales " << r.sales << ", orders " << r.orders << ", stock journals " << r.stockJournals
                << ", job cards " << r.jobCards << ", notes " << r.notes << " (" << r.detailRows << " detail rows); "
                << "edited " << r.edits << ", deleted " << r.deletes << "; master statements " << r.masterStatements
                << ", board-rate batches " << r.boardRateBatches << std::endl;
      exitCode = kExitOk;
    } catch (const db::DbError& e) {
      std::cerr << e.description() << '\n';
      exitCode = kExitOperationError;
    } catch (const std::exception& e) {
      std::cerr << e.what() << '\n';
      exitCode = kExitOperationError;
    }
  });
}

// Takes, holds and releases the push lock round after round, as branches pushing at the same time do,
// and counts the moments at which another holder was found inside the lock. Each holder marks its stay
// in tblLockProbe of the central database. Only the central connection is opened: the contenders are
// branches that share nothing but the central server.
int contend(const std::string& home, const std::string& name, int rounds, int holdMs, std::ostream& out,
            std::ostream& err) {
  ConsoleHost host(out, err);
  SystemClock clock;
  SyncContext ctx(host, clock, resolveProgramFolder(home));
  // The lock row names its holder by the cost centre's name.
  ctx.workingDaySource = [&clock, name] {
    WorkingDay day;
    day.date = clock.now().dateOnly();
    day.costCentreName = name;
    return day;
  };
  int overlaps = 0, missed = 0, waits = 0;
  try {
    ctx.WebConnection = openCompanies(ctx.programFolder, out, err, false).central;
    db::Connection& web = ctx.web();
    try {
      web.execute("CREATE TABLE tblLockProbe (Holder varchar(50) NOT NULL)");
    } catch (const db::DbError&) {
      // another contender made it first
    }
    const std::string me = db::sqlQuote(name);
    auto othersInside = [&] {
      auto rs = web.query("SELECT COUNT(*) AS N FROM tblLockProbe WHERE Holder<>" + me);
      return rs.empty() ? 0 : rs.at(0, 0).toInt();
    };
    for (int r = 0; r < rounds; ++r) {
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(40);
      bool held = false;
      while (!(held = sync::takeServerLock(ctx)) && std::chrono::steady_clock::now() < deadline) {
        ++waits;
        std::this_thread::sleep_for(std::chrono::milliseconds(2 + (r * 7 + waits) % 9));
      }
      if (!held) {
        ++missed;
        continue;
      }
      web.execute("INSERT INTO tblLockProbe (Holder) VALUES (" + me + ")");
      if (othersInside() > 0) ++overlaps;
      std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
      if (!sync::refreshServerLock(ctx)) ++overlaps;  // lost the lock while holding it
      if (othersInside() > 0) ++overlaps;
      web.execute("DELETE FROM tblLockProbe WHERE Holder=" + me);
      sync::releaseServerLock(ctx);
    }
  } catch (const db::DbError& e) {
    err << e.description() << '\n';
    return kExitOperationError;
  }
  out << name << ": rounds " << rounds << ", overlaps " << overlaps << ", missed " << missed << ", waits " << waits
      << ", notices " << host.noticesShown() << std::endl;
  return overlaps + missed + host.noticesShown() + host.errorsShown() > 0 ? kExitOperationError : kExitOk;
}

}  // namespace

void addCaptureCommands(CLI::App& app, int& exitCode) {
  auto updOptions = std::make_shared<VerbOptions>();
  auto* upd = app.add_subcommand("update-database", "Bring both company databases up to the synchroniser's schema");
  addCommonOptions(*upd, *updOptions);
  upd->callback([updOptions, &exitCode] { exitCode = runUpdateDatabase(*updOptions, std::cout, std::cerr); });

  addButtonVerb(app, exitCode, "free-server", "Remove the push lock whoever holds it (Free Server)",
                [](Verb& v, std::ostream& out) {
                  if (sync::freeServer(v.ctx)) out << "FREE" << std::endl;
                });
  addButtonVerb(app, exitCode, "lock-status", "Show whether a branch holds the push lock: FREE, or LOCK and the holder",
                [](Verb& v, std::ostream& out) {
                  std::string holder;
                  bool free = sync::checkServerFree(v.ctx, holder);
                  out << (free ? "FREE" : "LOCK " + holder) << std::endl;
                });

  auto home = std::make_shared<std::string>();
  auto name = std::make_shared<std::string>("contender");
  auto rounds = std::make_shared<int>(20);
  auto holdMs = std::make_shared<int>(5);
  auto* lc = app.add_subcommand("lock-contend", "");
  lc->group("");  // a probe for tests, not for operators
  lc->add_option("--home", *home, "program folder");
  lc->add_option("--name", *name, "holder name (the cost-centre name written into the lock row)");
  lc->add_option("--rounds", *rounds, "times to take and release the lock")->check(CLI::PositiveNumber);
  lc->add_option("--hold-ms", *holdMs, "milliseconds to hold the lock each round")->check(CLI::NonNegativeNumber);
  lc->callback([home, name, rounds, holdMs, &exitCode] {
    exitCode = contend(*home, *name, *rounds, *holdMs, std::cout, std::cerr);
  });

  addSimulate(app, exitCode);
}

}  // namespace erpsync::cli
