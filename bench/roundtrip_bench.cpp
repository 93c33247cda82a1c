// Head-office round trips of the operations, and what they cost on a link of 0, 20, 50 and 100 ms.
// Every call on the head-office connection (open, statement or batch, begin, commit, rollback) is a
// round trip there; the embedded server's fault-plan tally counts them (a count-only plan on the
// central server) and its link simulator makes each one wait the round-trip time (an open three).
//
// Each run is a fresh testbed: both servers, Update Database, the branch's voucher types chosen, then
//   day start      onDayStart on the working date (units: stock lines rebuilt from head office)
//   masters        downloadMasters after head office's master changes (units: central change-log rows)
//   upload         uploadTransactions after a day of branch vouchers, aged past the interval (units:
//                  vouchers; the lines are told apart)
//   idle pass      runPass with nothing waiting, a pass after the first (units: one pass)
//   verify         reconcile::VerifyDay (units: vouchers compared)
//   day end        onDayEnd (units: vouchers of the day)
//   transfer       importInterimTransfer of head office's stock transfer to the branch (units: stock lines)
// Counts are exact and machine-independent, so they are taken at RTT 0 at two sizes: "per unit" is
// the difference between the sizes over the difference in units, "fixed" what is left at the first
// size (an extrapolation, not the cost of a run with no units). Times are taken at each link RTT on
// the (small) timed size.
//
// Then a busy branch: 260 vouchers waiting, one upload pass at 50 ms; the push lock's hold time is
// taken by a watcher thread that polls the lock row through a second path to the central server (not
// across the link, not counted), and the calls made while it was held are read from the tally.
//
// --quick: CI-sized (smaller sizes, times at 0 and 20 ms only, the busy branch at 0 ms).
// ERPSYNC_BENCH_DIR: where the servers are created (default: the temporary folder).
// Not run by the test suite.
#include <fmt/format.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/pass_view.h"
#include "app/daycycle_view.h"
#include "app/form_binding.h"
#include "app/voucher_types.h"
#include "capture/update_database.h"
#include "daycycle/day_end.h"
#include "daycycle/day_start.h"
#include "db/connection.h"
#include "db/embedded/fault_injection.h"
#include "db/embedded/link_simulator.h"
#include "form/clock.h"
#include "form/host.h"
#include "form/main_form.h"
#include "reconcile/verify_day.h"
#include "scratch_folder.h"
#include "shared/connections.h"
#include "shared/erp_settings.h"
#include "app/window_context.h"
#include "shared/sync_context.h"
#include "simulator.h"
#include "stock/import_interim_transfers.h"
#include "sync/download_masters.h"
#include "sync/upload_transactions.h"
#include "sync/voucher_kinds.h"
#include "testbed.h"

namespace {

using namespace erpsync;
namespace fs = std::filesystem;
namespace faults = db::embedded::faults;
namespace link = db::embedded::link;
using Steady = std::chrono::steady_clock;

constexpr const char* kBranchServer = "embedded:servers/branch";
constexpr const char* kCentralServer = "embedded:servers/central";
// The same central server through a path without "central" in it: neither across the link nor counted.
constexpr const char* kWatchServer = "embedded:lockwatch";

double msSince(Steady::time_point t) {
  return std::chrono::duration<double, std::milli>(Steady::now() - t).count();
}

// Answers Yes to every question and OK to every box; keeps the texts that say something went wrong.
class BenchHost : public Host {
 public:
  Answer messageBox(const std::string& text, Buttons buttons, Icon icon, const std::string&, Answer) override {
    if (icon == Icon::Critical || icon == Icon::Exclamation) complaints.push_back(text);
    return buttons == Buttons::OK ? Answer::OK : Answer::Yes;
  }
  void showBalloon(const std::string&, const std::string& text) override { complaints.push_back(text); }
  bool startNotifier(const fs::path&, const std::string& text) override {
    complaints.push_back(text);
    return true;
  }
  void quit() override {}
  std::vector<std::string> complaints;
};

// The sizes of one testbed: the day of branch vouchers, the master statements at head office, the
// items (each a stock line of the branch's cost centre, rebuilt at day start) and the lines of the
// stock transfer head office sends the branch.
struct Sizes {
  int sales = 10, orders = 2, stockJournals = 2, jobCards = 2, notes = 2;
  int masterChanges = 4;
  int items = 20;
  int transferLines = 6;
  Sizes scaled(int f) const {
    Sizes s = *this;
    s.sales *= f, s.orders *= f, s.stockJournals *= f, s.jobCards *= f, s.notes *= f;
    s.masterChanges *= f, s.items *= f, s.transferLines *= f;
    return s;
  }
};

// One fresh testbed, prepared as a connected window leaves it.
class Bed {
 public:
  explicit Bed(int items) {
    testbed::InitOptions o;
    o.home = home;
    o.items = items;
    o.ledgers = 20;
    testbed::init(o);
    ctx.LocalServerName = kBranchServer;
    ctx.SyncServerName = kCentralServer;
    ctx.LocalDbCode = "BR01";
    ctx.WebDbCode = "HO01";
    ctx.LocalConnection = db::openConnection(testbed::companyConnectionString(kBranchServer, "BR01"), home);
    ctx.WebConnection = db::openConnection(testbed::companyConnectionString(kCentralServer, "HO01"), home);
    form.lblCostcentre.setCaption("Branch One");
    form.lblCostcentre.setTag("2");
    capture::updateDatabase(ctx);
    fillVoucherTypes(ctx);
    for (int i = 0; i < form.lstVchtypes.listCount(); ++i) form.lstVchtypes.setSelected(i, true);
    LoadErpSettings(ctx.LocalConnection.get(), ctx.erpSettings);
    ConfigureLinkedServer(ctx, kCentralServer);
    ctx.LogFolder = home / "log";
    fs::create_directories(ctx.LogFolder);
    const auto now = branch().query("Select getdate()").at(0, 0).toDateTime();
    today = now->dateOnly();
    clock.set(*now);
    form.dtpdate.setValue(today);
    form.cbointerval.setText("2 Minutes");
    fs::create_directory_symlink(home / "servers" / "central", home / "lockwatch");
    host.complaints.clear();
  }
  db::Connection& branch() { return ctx.local(); }
  db::Connection& central() { return ctx.web(); }
  long long scalar(db::Connection& c, const std::string& sql) { return c.query(sql).at(0, 0).toInt(); }

  // A day of the ERP at the branch, old enough for the upload, and head office's master changes.
  testbed::SimulationReport enterDay(const Sizes& s, unsigned seed = 1) {
    testbed::SimulationOptions o;
    o.sales = s.sales;
    o.orders = s.orders;
    o.stockJournals = s.stockJournals;
    o.jobCards = s.jobCards;
    o.notes = s.notes;
    o.edits = o.deletes = 0;
    o.masterChanges = s.masterChanges;
    o.boardRates = 0;
    o.date = today;
    o.seed = seed;
    auto r = testbed::simulateErpActivity(&branch(), s.masterChanges ? &central() : nullptr, o);
    branch().execute("UPDATE tblActivity SET ActionTime = DATEADD(minute, -5, getdate())");
    return r;
  }
  // Head office's stock transfer to the branch (stock journal type 16, InvID 3) grown to `lines`
  // lines: one incoming stock row of the branch's cost centre per item batch.
  void growTransfer(int lines) {
    const long long have =
        scalar(central(), "SELECT count(*) FROM tblStockHistory WHERE VchTypeID = 16 AND RefId = 3 AND CCID = 2");
    if (lines <= have) return;
    central().execute(
        "INSERT INTO tblStockHistory (StockHisId, VchDate, VchTypeID, RefId, AdnlRefID, ItemID, QtyIN, QtyINAU, "
        "QtyINAU2, QtyOut, QtyOutAU, QtyOutAU2, BAtch, expiry, PvalueIN, PvalueOut, SValueIN, SValueOut, MrpValueIN, "
        "MrpValueOut, FreeQtyIn, FreeQtyOut, BatchCode, CCID, WeightIn, WeightOut, Prate, Srate, CRate, MRP, "
        "SHSupplierID, GodownID, BatchUnique) SELECT TOP " +
        std::to_string(lines - have) +
        " 0, '05/Dec/2026', 16, 3, '', ItemID, 4, 0, 0, 0, 0, 0, BatchCode, Expiry, 4 * Prate, 0, 4 * Srate, 0, "
        "4 * Mrp, 0, 0, 0, BatchCode, 2, 0, 0, Prate, Srate, Crate, Mrp, 9, 1, BatchUnique FROM tblStock s WHERE "
        "CCID = 2 AND ItemID > 5 AND NOT EXISTS (SELECT 1 FROM tblStockHistory h WHERE h.VchTypeID = 16 AND "
        "h.RefId = 3 AND h.ItemID = s.ItemID) ORDER BY ItemID");
  }

  // Removed last, after the connections into it are closed.
  const bench::ScratchFolder folder{"erpsync-rt-bench-"};
  const fs::path home = folder.path;
  BenchHost host;
  FixedClock clock{db::DateTime{2026, 12, 5, 14, 5, 33}};
  MainForm form;
  WindowContext ctx{host, clock, form, home};
  [[maybe_unused]] const bool formBound_ = (bindForm(ctx), true);
  db::DateTime today;
};

// Watches the push lock row from another thread: how long it was held, and the head-office calls the
// tally counted while it was.
class LockWatch {
 public:
  explicit LockWatch(const fs::path& home)
      : conn_(db::openConnection(testbed::companyConnectionString(kWatchServer, "HO01"), home)),
        thread_([this] { run(); }) {}
  ~LockWatch() { stop(); }
  void stop() {
    if (!thread_.joinable()) return;
    stop_ = true;
    thread_.join();
  }
  double heldMs = 0, longestMs = 0;
  long long takes = 0, callsUnderLock = 0;

 private:
  void run() {
    bool held = false;
    Steady::time_point since;
    long long callsAtTake = 0;
    while (!stop_) {
      const bool now =
          conn_->query("SELECT count(*) FROM tblDayActivity WHERE Activity = 'BLOCKFASTPUSH'").at(0, 0).toInt() > 0;
      if (now && !held) {
        since = Steady::now();
        callsAtTake = faults::counted();
        ++takes;
      } else if (!now && held) {
        const double ms = msSince(since);
        heldMs += ms;
        longestMs = std::max(longestMs, ms);
        callsUnderLock += faults::counted() - callsAtTake;
      }
      held = now;
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
  }
  std::unique_ptr<db::Connection> conn_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

struct Measure {
  long long trips = 0;
  double ms = 0;
  long long lockCalls = -1;  // calls while the push lock was held (when watched)
  double lockMs = 0;
};

// Runs f with the link at rttMs and a count-only plan on the central server.
Measure measure(Bed& bed, int rttMs, bool watchLock, const std::function<void()>& f) {
  faults::Plan plan;
  plan.server = "central";
  faults::configure(plan);
  std::unique_ptr<LockWatch> watch;
  if (watchLock) watch = std::make_unique<LockWatch>(bed.home);
  link::configureLink(rttMs, "central");
  const auto start = Steady::now();
  f();
  Measure m;
  m.ms = msSince(start);
  link::configureLink(0, "central");
  if (watch) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    watch->stop();
    m.lockCalls = watch->callsUnderLock;
    m.lockMs = watch->heldMs;
  }
  m.trips = faults::counted();
  faults::reset();
  return m;
}

void require(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
}

enum Op { DayStart, Masters, Upload, Idle, Verify, DayEnd, Transfer, kOps };
const char* const kOpNames[kOps] = {"day start", "master download", "upload",         "idle pass",
                                    "verify",    "day end",         "transfer import"};
const char* const kUnitNames[kOps] = {"stock lines", "master changes", "vouchers",   "passes",
                                      "vouchers",    "vouchers",       "stock lines"};

struct RunResult {
  long long units[kOps] = {};
  Measure m[kOps];
  long long uploadLines = 0;
};

// Every operation once on a fresh testbed, in the order of a branch's day.
RunResult runDay(const Sizes& s, int rttMs, bool watchLock) {
  RunResult r;
  Bed bed(s.items);
  auto& ctx = bed.ctx;
  const auto complaints = [&](const char* op) {
    if (!bed.host.complaints.empty()) throw std::runtime_error(std::string(op) + ": " + bed.host.complaints.front());
  };

  daycycle::DayStartOutcome start;
  r.m[DayStart] = measure(bed, rttMs, watchLock, [&] { start = onDayStart(ctx); });
  require(start.completed, "day start did not complete");
  complaints("day start");
  r.units[DayStart] = start.stockLines;

  const auto day = bed.enterDay(s);
  const long long entered = day.sales + day.orders + day.stockJournals + day.jobCards + day.notes;
  sync::MasterDownloadOutcome down;
  r.m[Masters] = measure(bed, rttMs, watchLock, [&] { down = sync::downloadMasters(ctx); });
  require(down.completed, "master download did not complete");
  complaints("master download");
  r.units[Masters] = down.applied;

  sync::UploadOutcome up;
  r.m[Upload] = measure(bed, rttMs, watchLock, [&] { up = sync::uploadTransactions(ctx, false); });
  require(!up.busy && !up.stopped && up.failed == 0 && up.waiting == 0, "upload did not complete");
  require(up.uploaded == entered, fmt::format("upload sent {} of {}", up.uploaded, entered));
  complaints("upload");
  r.units[Upload] = up.uploaded;
  r.uploadLines = day.detailRows;

  // The timer's passes after the first: the first after connecting may open the connections.
  require(runWindowPass(ctx).error.empty(), "the first timer pass failed");
  session::PassOutcome pass;
  r.m[Idle] = measure(bed, rttMs, watchLock, [&] { pass = runWindowPass(ctx); });
  require(pass.error.empty(), "idle pass: " + pass.error);
  require(pass.upload.uploaded + pass.masters.applied == 0 && !pass.upload.busy, "the idle pass found work");
  complaints("idle pass");
  r.units[Idle] = 1;

  reconcile::VerifyOutcome verify;
  r.m[Verify] = measure(bed, rttMs, watchLock, [&] { verify = reconcile::VerifyDay(ctx); });
  require(!verify.failed && verify.differences.empty(), "verify found differences");
  complaints("verify");
  r.units[Verify] = verify.compared;

  daycycle::DayEndResult end{};
  r.m[DayEnd] = measure(bed, rttMs, watchLock, [&] { end = onDayEnd(ctx); });
  require(end == daycycle::DayEndResult::Closed, "day end did not close the day");
  complaints("day end");
  r.units[DayEnd] = entered;

  bed.growTransfer(s.transferLines);
  stock::TransferImportOutcome tr;
  r.m[Transfer] = measure(bed, rttMs, watchLock, [&] { tr = stock::importInterimTransfer(ctx, 16, 3); });
  require(tr.imported && tr.marked && !tr.failed, "transfer import failed");
  complaints("transfer import");
  r.units[Transfer] = tr.lines;
  return r;
}

struct Busy {
  long long vouchers = 0, lines = 0;
  Measure at0, timed;
  int rtt = 0;
};

// A branch with this many vouchers waiting: one upload pass, counted at RTT 0 and timed at rtt.
Busy busyBranch(int vouchers, int rtt) {
  Busy b;
  b.rtt = rtt;
  Sizes s;
  s.orders = s.stockJournals = s.jobCards = s.notes = vouchers / 26;
  s.sales = vouchers - 4 * s.orders;
  s.masterChanges = 0;
  for (int pass = 0; pass < (rtt > 0 ? 2 : 1); ++pass) {
    Bed bed(20);
    const auto day = bed.enterDay(s);
    sync::UploadOutcome up;
    Measure m = measure(bed, pass == 0 ? 0 : rtt, true, [&] { up = sync::uploadTransactions(bed.ctx, false); });
    require(!up.busy && !up.stopped && up.failed == 0 &&
                up.uploaded == day.sales + day.orders + day.stockJournals + day.jobCards + day.notes,
            "busy branch: the upload did not send every voucher in one pass");
    b.vouchers = up.uploaded;
    b.lines = day.detailRows;
    (pass == 0 ? b.at0 : b.timed) = m;
  }
  if (rtt == 0) b.timed = b.at0;
  return b;
}

std::string num(double v, int decimals) {
  return fmt::format("{:.{}f}", v, decimals);
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  bool quick = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0) {
      quick = true;
    } else {
      std::fprintf(stderr, "usage: roundtrip_bench [--quick]\n");
      return 2;
    }
  }
  try {
    link::configureLink(0, "central");
    // Two sizes at RTT 0 for the counts, a small one for the times.
    Sizes countA;
    countA.sales = quick ? 10 : 40;
    countA.orders = countA.stockJournals = countA.jobCards = quick ? 2 : 4;
    countA.notes = quick ? 2 : 8;
    countA.masterChanges = quick ? 3 : 6;
    countA.items = quick ? 10 : 20;
    countA.transferLines = quick ? 4 : 8;
    const Sizes countB = countA.scaled(2);
    Sizes timed;
    timed.sales = quick ? 4 : 8;
    timed.orders = timed.stockJournals = timed.jobCards = timed.notes = 1;
    timed.masterChanges = 2;
    timed.items = quick ? 6 : 10;
    timed.transferLines = quick ? 3 : 5;
    const std::vector<int> rtts = quick ? std::vector<int>{0, 20} : std::vector<int>{0, 20, 50, 100};
    const int busyVouchers = 260, busyRtt = quick ? 0 : 50;

    const auto t0 = Steady::now();
    const RunResult a = runDay(countA, 0, false);
    const RunResult b = runDay(countB, 0, false);
    std::map<int, RunResult> byRtt;
    for (int rtt : rtts) byRtt[rtt] = runDay(timed, rtt, rtt == 50 || (quick && rtt == 20));
    const Busy busy = busyBranch(busyVouchers, busyRtt);

    std::printf("Head-office round trips per operation (counted at RTT 0; times on the timed size)\n\n");
    std::string head = fmt::format("{:<16} {:>22} {:>11} {:>9} {:>7} {:>11} {:>11}", "operation", "units",
                                   "round trips", "per unit", "fixed", "timed units", "timed trips");
    for (int rtt : rtts) head += fmt::format(" {:>9}", fmt::format("ms@{}", rtt));
    head += fmt::format(" {:>10}", "lock calls");
    std::printf("%s\n%s\n", head.c_str(), std::string(head.size(), '-').c_str());
    for (int op = 0; op < kOps; ++op) {
      const double du = static_cast<double>(b.units[op] - a.units[op]);
      const double perUnit = du > 0 ? (b.m[op].trips - a.m[op].trips) / du : 0;
      const double fixed = a.m[op].trips - perUnit * a.units[op];
      std::string row =
          fmt::format("{:<16} {:>22} {:>11} {:>9} {:>7} {:>11} {:>11}", kOpNames[op],
                      fmt::format("{} {}", a.units[op], kUnitNames[op]), a.m[op].trips, du > 0 ? num(perUnit, 2) : "-",
                      du > 0 ? num(fixed, 1) : "-", byRtt.begin()->second.units[op], byRtt.begin()->second.m[op].trips);
      for (int rtt : rtts) row += fmt::format(" {:>9}", num(byRtt[rtt].m[op].ms, 0));
      const Measure& watched = byRtt[quick ? 20 : 50].m[op];
      row += fmt::format(" {:>10}", watched.lockCalls > 0 ? std::to_string(watched.lockCalls) : "-");
      std::printf("%s\n", row.c_str());
    }
    std::printf(
        "\n  upload, second size: %lld round trips for %lld vouchers with %lld lines (%.2f a voucher, %.2f a line)\n",
        b.m[Upload].trips, b.units[Upload], b.uploadLines, b.m[Upload].trips / static_cast<double>(b.units[Upload]),
        b.m[Upload].trips / static_cast<double>(b.uploadLines));
    std::printf(
        "  per unit: (trips at size 2 - trips at size 1) / (units at 2 - units at 1); fixed: trips at size 1 less\n"
        "  per unit x units. An open counts once in the tally but waits three round trips on the link.\n"
        "  lock calls: head-office calls made while the push lock row stood, at %d ms (from a watcher thread).\n",
        quick ? 20 : 50);

    const Measure& idle = byRtt[quick ? 20 : 50].m[Idle];
    std::printf("\nIdle pass at %d ms: %lld round trips, %.0f ms\n", quick ? 20 : 50, idle.trips, idle.ms);
    std::printf(
        "\nBusy branch: %lld vouchers (%lld lines) waiting, one upload pass\n"
        "  at 0 ms: %lld round trips (%.2f per voucher), %.0f ms wall, push lock held %.0f ms\n",
        busy.vouchers, busy.lines, busy.at0.trips, busy.at0.trips / static_cast<double>(busy.vouchers), busy.at0.ms,
        busy.at0.lockMs);
    if (busy.rtt > 0)
      std::printf("  at %d ms: %lld round trips, %.0f ms wall, push lock held %.0f ms, %lld calls while it was held\n",
                  busy.rtt, busy.timed.trips, busy.timed.ms, busy.timed.lockMs, busy.timed.lockCalls);
    std::printf("\n(whole run %.0f s)\n", msSince(t0) / 1000);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "roundtrip_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
