// Head office's work as its tables grow: every figure measured on a fresh head office and on one with a
// year of many branches behind it (testbed/year_fixture.h: by default 500 branches, a million voucher
// headers with their lines, 600 000 day rows, a million stock-history rows), as a ratio in one run.
//   batch      head office's work for one upload batch of one voucher, and of fifty (time inside the
//              head-office calls of an upload pass, link at 0 ms; median of several passes)
//   counts     the voucher counts after a pass (CompareVoucherCounts: head office's part, median)
//   backlog    a week offline: vouchers of the seven days before today waiting at the branch, sent by
//              automatic upload passes (each followed by the voucher counts, as the timer's pass does)
//              over a simulated link; per pass its time, head-office calls, vouchers sent and left
//              waiting, the program's resident set, and the distinct statement texts sent to head
//              office per 1 000 vouchers.
// Sizes: ERPSYNC_YEAR_BRANCHES (500), ERPSYNC_YEAR_VOUCHERS (1000000), ERPSYNC_YEAR_DAY_ROWS (600000),
// ERPSYNC_YEAR_STOCK_ROWS (1000000), ERPSYNC_BACKLOG (10000 vouchers), ERPSYNC_BACKLOG_RTT (50 ms),
// ERPSYNC_BENCH_RUNS (15 passes a median). ERPSYNC_YEAR_CACHE=DIR keeps the built year there and uses it
// again in later runs of the same sizes and date (it is data only: Update Database runs on it each
// time). ERPSYNC_BENCH_DIR: where the servers are created. Not run by the test suite.
#include <fmt/format.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/form_binding.h"
#include "app/voucher_types.h"
#include "capture/update_database.h"
#include "db/connection.h"
#include "db/embedded/link_simulator.h"
#include "form/clock.h"
#include "form/host.h"
#include "form/main_form.h"
#include "reconcile/fill_trans_count.h"
#include "scratch_folder.h"
#include "app/window_context.h"
#include "shared/sync_context.h"
#include "simulator.h"
#include "sync/upload_transactions.h"
#include "testbed.h"
#include "timed_connection.h"
#include "year_fixture.h"

namespace {

using namespace erpsync;
namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

constexpr const char* kBranchServer = "embedded:servers/branch";
constexpr const char* kCentralServer = "embedded:servers/central";

long long envNumber(const char* name, long long fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::atoll(v) : fallback;
}

double secondsSince(Steady::time_point t) {
  return std::chrono::duration<double>(Steady::now() - t).count();
}

double rssMiB() {
  std::ifstream in("/proc/self/statm");
  long pages = 0, resident = 0;
  in >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

class BenchHost : public Host {
 public:
  Answer messageBox(const std::string& text, Buttons, Icon, const std::string&, Answer) override {
    if (text != "Database Updated.") complaints.push_back(text);
    return Answer::OK;
  }
  void doEvents() override {
    if (onDoEvents) onDoEvents();
  }
  void showBalloon(const std::string&, const std::string& text) override { complaints.push_back(text); }
  bool startNotifier(const fs::path&, const std::string& text) override {
    complaints.push_back(text);
    return true;
  }
  void quit() override {}
  std::function<void()> onDoEvents;
  std::vector<std::string> complaints;
};

testbed::YearOptions yearOptions(const db::DateTime& today) {
  testbed::YearOptions y;
  y.branches = static_cast<int>(envNumber("ERPSYNC_YEAR_BRANCHES", 500));
  y.vouchers = envNumber("ERPSYNC_YEAR_VOUCHERS", 1'000'000);
  y.dayRows = envNumber("ERPSYNC_YEAR_DAY_ROWS", 600'000);
  y.stockRows = envNumber("ERPSYNC_YEAR_STOCK_ROWS", 1'000'000);
  y.lastDay = today;
  return y;
}

// A branch and its head office, prepared as a connected window leaves them; head office fresh from the
// testbed, or with the year added.
class Office {
  using TimedConnection = bench::TimedConnection;

 public:
  explicit Office(bool year) : year_(year) {
    testbed::InitOptions o;
    o.home = home;
    testbed::init(o);
    ctx.LocalServerName = kBranchServer;
    ctx.SyncServerName = kCentralServer;
    ctx.LocalDbCode = "BR01";
    ctx.WebDbCode = "HO01";
    ctx.LocalConnection = db::openConnection(testbed::companyConnectionString(kBranchServer, "BR01"), home);
    openCentral();
    form.lblCostcentre.setCaption("Branch One");
    form.lblCostcentre.setTag("2");
    capture::updateDatabase(ctx);
    today = ctx.local().query("Select getdate()").at(0, 0).toDateTime()->dateOnly();
    if (year) addYear();
    fillVoucherTypes(ctx);
    for (int i = 0; i < form.lstVchtypes.listCount(); ++i) form.lstVchtypes.setSelected(i, true);
    ctx.LogFolder = home / "log";
    fs::create_directories(ctx.LogFolder);
    clock.set(*ctx.local().query("Select getdate()").at(0, 0).toDateTime());
    form.dtpdate.setValue(today);
    form.cbointerval.setText("2 Minutes");
    host.complaints.clear();
  }
  TimedConnection& web() { return *timed_; }
  const char* name() const { return year_ ? "year" : "fresh"; }

  const bench::ScratchFolder folder{"erpsync-ho-bench-"};
  const fs::path home = folder.path;
  BenchHost host;
  FixedClock clock{db::DateTime{2026, 12, 5, 14, 5, 33}};
  MainForm form;
  WindowContext ctx{host, clock, form, home};
  [[maybe_unused]] const bool formBound_ = (bindForm(ctx), true);
  db::DateTime today;
  double yearSeconds = 0;
  testbed::YearReport year;
  double upgradeSeconds = 0;

 private:
  void openCentral() {
    auto c = db::openConnection(testbed::companyConnectionString(kCentralServer, "HO01"), home);
    auto t = std::make_unique<TimedConnection>(std::move(c));
    timed_ = t.get();
    ctx.WebConnection = std::move(t);
  }
  // The year, built here or copied from the cache; then Update Database again, as after a program
  // update at a head office that has run for a year.
  void addYear() {
    const auto y = yearOptions(today);
    const auto start = Steady::now();
    const fs::path file = home / "servers" / "central" / "HO01.sqlite";
    const char* cacheDir = std::getenv("ERPSYNC_YEAR_CACHE");
    const fs::path cached = cacheDir && *cacheDir
                                ? fs::path(cacheDir) / fmt::format("HO01-{}-{}-{}-{}-{:04}{:02}{:02}.sqlite", y.branches,
                                                                   y.vouchers, y.dayRows, y.stockRows, today.year,
                                                                   today.month, today.day)
                                : fs::path();
    if (!cached.empty() && fs::exists(cached)) {
      ctx.WebConnection.reset();
      fs::copy_file(cached, file, fs::copy_options::overwrite_existing);
      fs::remove(file.string() + "-wal");
      openCentral();
    } else {
      year = testbed::buildYear(web(), y);
      if (!cached.empty()) {
        ctx.WebConnection.reset();  // the last connection checkpoints the file whole
        fs::create_directories(cached.parent_path());
        fs::copy_file(file, cached, fs::copy_options::overwrite_existing);
        openCentral();
      }
    }
    yearSeconds = secondsSince(start);
    const auto upgrade = Steady::now();
    capture::updateDatabase(ctx);
    upgradeSeconds = secondsSince(upgrade);
  }

  bool year_;
  TimedConnection* timed_ = nullptr;
};

void require(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
}

// The branch's change log made old enough for the upload.
void age(Office& o) {
  o.ctx.local().execute("UPDATE tblActivity SET ActionTime = DATEADD(minute, -5, getdate())");
}

struct BatchWork {
  double oneMs = 0, fiftyMs = 0;  // head office's time for a batch of one voucher, of fifty
  long long oneCalls = 0;
};

// Upload passes that each send `n` new sales of today; head office's time in each, median.
double uploadWork(Office& o, testbed::BranchErp& erp, int n, int runs, long long* calls) {
  std::vector<double> ms;
  for (int r = 0; r < runs; ++r) {
    for (int i = 0; i < n; ++i) erp.enter(testbed::VoucherFamily::Sales, o.clock.now());
    age(o);
    o.web().reset();
    const auto out = sync::uploadTransactions(o.ctx, false);
    require(out.uploaded == n && !out.busy && !out.stopped && out.failed == 0,
            fmt::format("{}: upload sent {} of {}", o.name(), out.uploaded, n));
    ms.push_back(o.web().seconds * 1000);
    if (calls) *calls = o.web().calls;
  }
  return median(ms);
}

BatchWork batchWork(Office& o, int runs) {
  testbed::BranchErp erp(o.ctx.local(), 2, 11);
  BatchWork w;
  uploadWork(o, erp, 1, 2, nullptr);  // the first passes prepare what later ones reuse
  w.oneMs = uploadWork(o, erp, 1, runs, &w.oneCalls);
  w.fiftyMs = uploadWork(o, erp, 50, std::max(3, runs / 3), nullptr);
  return w;
}

double countsWork(Office& o, int runs) {
  std::vector<double> ms;
  for (int r = 0; r < runs + 1; ++r) {
    o.web().reset();
    const auto c = reconcile::CompareVoucherCounts(o.ctx, o.ctx.day());
    require(!c.failed, std::string(o.name()) + ": the voucher counts failed");
    if (r > 0) ms.push_back(o.web().seconds * 1000);
  }
  return median(ms);
}

struct PassFigures {
  double seconds = 0, rss = 0;
  long long calls = 0;
  int sent = 0, waiting = 0;
};

struct Backlog {
  std::vector<PassFigures> passes;
  int vouchers = 0;
  double seconds = 0, peakRss = 0, texts = 0;
  long long calls = 0;
};

// A week offline: `count` vouchers of the seven days before today, then passes until all went up.
Backlog backlog(Office& o, int count, int rttMs) {
  testbed::BranchErp erp(o.ctx.local(), 2, 5);
  static const testbed::VoucherFamily mix[] = {testbed::VoucherFamily::Sales, testbed::VoucherFamily::Sales,
                                               testbed::VoucherFamily::Sales, testbed::VoucherFamily::Note,
                                               testbed::VoucherFamily::Order, testbed::VoucherFamily::Sales,
                                               testbed::VoucherFamily::StockJournal, testbed::VoucherFamily::JobCard};
  for (int i = 0; i < count; ++i) {
    const db::DateTime day = db::DateTime::fromDayNumber(o.today.dayNumber() - 7 + i * 7 / count);
    erp.enter(mix[i % 8], db::DateTime{day.year, day.month, day.day, 9 + i % 10, i % 60, 0});
  }
  age(o);
  Backlog b;
  b.vouchers = count;
  o.web().reset();
  o.host.onDoEvents = [&] { b.peakRss = std::max(b.peakRss, rssMiB()); };
  db::embedded::link::configureLink(rttMs, "central");
  for (int pass = 0; pass < 200; ++pass) {
    const long long callsBefore = o.web().calls;
    const auto start = Steady::now();
    const auto out = sync::uploadTransactions(o.ctx, false);
    if (out.uploaded + out.alreadyCentral > 0) reconcile::CompareVoucherCounts(o.ctx, o.ctx.day());
    PassFigures p;
    p.seconds = secondsSince(start);
    p.calls = o.web().calls - callsBefore;
    p.sent = out.uploaded + out.alreadyCentral;
    p.waiting = out.waiting;
    p.rss = rssMiB();
    b.peakRss = std::max(b.peakRss, p.rss);
    require(!out.busy && out.failed == 0, fmt::format("{}: a backlog pass failed", o.name()));
    if (p.sent == 0 && out.waiting == 0) break;
    b.passes.push_back(p);
    b.seconds += p.seconds;
    b.calls += p.calls;
  }
  db::embedded::link::configureLink(0, "central");
  o.host.onDoEvents = nullptr;
  b.texts = static_cast<double>(o.web().texts.size()) * 1000.0 / count;
  int sent = 0;
  for (const auto& p : b.passes) sent += p.sent;
  require(sent == count, fmt::format("{}: the backlog passes sent {} of {}", o.name(), sent, count));
  return b;
}

struct OfficeRun {
  BatchWork batch;
  double countsMs = 0;
  Backlog backlog;
  double buildSeconds = 0, yearSeconds = 0, upgradeSeconds = 0;
  testbed::YearReport year;
  std::vector<std::string> complaints;
};

OfficeRun measure(bool year, int runs, int backlogCount, int rtt) {
  const auto start = Steady::now();
  Office o(year);
  OfficeRun r;
  r.buildSeconds = secondsSince(start);
  r.yearSeconds = o.yearSeconds;
  r.upgradeSeconds = o.upgradeSeconds;
  r.year = o.year;
  std::printf("  %s head office ready in %.1f s\n", o.name(), r.buildSeconds);
  r.batch = batchWork(o, runs);
  r.countsMs = countsWork(o, runs);
  r.backlog = backlog(o, backlogCount, rtt);
  r.complaints = o.host.complaints;
  return r;
}

void row(const char* what, double fresh, double year, const char* unit, double limit) {
  const double ratio = fresh > 0 ? year / fresh : 0;
  std::printf("  %-52s %10.3f %10.3f %s  ratio %6.2f", what, fresh, year, unit, ratio);
  if (limit > 0) std::printf("  (goal <= %.1f: %s)", limit, ratio <= limit ? "met" : "MISSED");
  std::printf("\n");
}

void printBacklog(const char* name, const Backlog& b, int rtt) {
  std::printf("\n  backlog on the %s head office: %d vouchers of the 7 days before today, link %d ms\n", name,
              b.vouchers, rtt);
  std::printf("    %4s %9s %7s %7s %8s %9s\n", "pass", "seconds", "calls", "sent", "waiting", "RSS MiB");
  for (std::size_t i = 0; i < b.passes.size(); ++i) {
    const auto& p = b.passes[i];
    std::printf("    %4zu %9.2f %7lld %7d %8d %9.1f\n", i + 1, p.seconds, p.calls, p.sent, p.waiting, p.rss);
  }
  double longest = 0;
  for (const auto& p : b.passes) longest = std::max(longest, p.seconds);
  std::printf(
      "    total %.2f s in %zu passes (longest %.2f s), %lld head-office calls, peak resident set %.1f MiB,\n"
      "    %.1f distinct statement texts sent to head office per 1 000 vouchers\n",
      b.seconds, b.passes.size(), longest, b.calls, b.peakRss, b.texts);
}

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  try {
    const int runs = static_cast<int>(envNumber("ERPSYNC_BENCH_RUNS", 15));
    const int backlogCount = static_cast<int>(envNumber("ERPSYNC_BACKLOG", 10000));
    const int rtt = static_cast<int>(envNumber("ERPSYNC_BACKLOG_RTT", 50));
    db::embedded::link::configureLink(0, "central");
    std::printf("head office's work, fresh against a year of branches\n");
    const OfficeRun fresh = measure(false, runs, backlogCount, rtt);
    const OfficeRun year = measure(true, runs, backlogCount, rtt);
    std::printf(
        "\n  the year: %lld headers, %lld lines, %lld day rows, %lld stock rows (built in %.1f s; head office "
        "ready in %.1f s, Update Database on it %.1f s)\n\n",
        year.year.headers, year.year.lines, year.year.dayRows, year.year.stockRows, year.yearSeconds,
        year.buildSeconds, year.upgradeSeconds);
    std::printf("  %-52s %10s %10s\n", "", "fresh", "year");
    row("one upload batch of 1 voucher, head office's time", fresh.batch.oneMs, year.batch.oneMs, "ms", 1.5);
    row("one upload batch of 50 vouchers, head office's time", fresh.batch.fiftyMs, year.batch.fiftyMs, "ms", 1.5);
    row("voucher counts after a pass, head office's time", fresh.countsMs, year.countsMs, "ms", 1.5);
    row("backlog: all passes", fresh.backlog.seconds, year.backlog.seconds, "s ", 0);
    std::printf("  head-office calls of a pass sending one voucher: %lld and %lld\n", fresh.batch.oneCalls,
                year.batch.oneCalls);
    printBacklog("fresh", fresh.backlog, rtt);
    printBacklog("year-old", year.backlog, rtt);
    for (const auto* r : {&fresh, &year})
      if (!r->complaints.empty())
        std::printf("  %zu boxes/notices, first: %s\n", r->complaints.size(), r->complaints.front().c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "headoffice_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
