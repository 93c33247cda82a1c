// The branch's own work as the data grows, each figure taken at a small and a large size in one run and
// shown as the ratio large / small, next to the same work in the shape it had before (per-line scans,
// the push lock held across round trips), measured in the same run on the same data:
//   day start        stock lines 2,500 -> 10,000: the rebuild's postings with per-line scans of
//                    tblStock against the postings with the transaction's book of it, and the whole
//                    day start as it runs now
//   manual re-sync   vouchers of the day 2,500 -> 10,000: the change-log query with its correlated
//                    max() subquery that the re-sync's upload used to read, against the re-sync now
//   idle pass        a pass with the transfer auto-import ticked and nothing waiting, head office's
//                    tblStockHistory at its testbed size -> ~1M rows: head-office calls and time, the
//                    former auto-import's statements (types from the stock history, a parent and a
//                    list per type) against the pass now
//   transfer import  transfer lines 3 -> 2,000: how long the push lock stands, taken before the reads
//                    and given back after the posting (as it was) against the one call of the mark now
// Calls are counted by the embedded server's fault-plan tally (a count-only plan on the central
// server). --quick: smaller sizes (a tenth), for a check that it runs; naming parts (daystart, resync,
// idle, transfer) runs only those. ERPSYNC_BENCH_DIR: where the servers are created. Not run by the
// test suite.
#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/pass_view.h"
#include "app/form_binding.h"
#include "app/voucher_types.h"
#include "capture/update_database.h"
#include "daycycle/day_start.h"
#include "daycycle/manual_resync.h"
#include "db/connection.h"
#include "db/embedded/fault_injection.h"
#include "form/clock.h"
#include "form/host.h"
#include "form/main_form.h"
#include "scratch_folder.h"
#include "shared/connections.h"
#include "shared/erp_settings.h"
#include "app/window_context.h"
#include "shared/sync_context.h"
#include "shared/voucher_type_filter.h"
#include "simulator.h"
#include "stock/import_interim_transfers.h"
#include "stock/interim_transfer_list.h"
#include "stock/post_stock.h"
#include "stock/stock_book.h"
#include "sync/server_lock.h"
#include "sync/upload_transactions.h"
#include "testbed.h"

namespace {

using namespace erpsync;
namespace fs = std::filesystem;
namespace faults = db::embedded::faults;
using Steady = std::chrono::steady_clock;

double secondsSince(Steady::time_point t) {
  return std::chrono::duration<double>(Steady::now() - t).count();
}

void require(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
}

// Says Yes to every question; a box that tells of a failure ends the bench.
class YesHost : public Host {
 public:
  Answer messageBox(const std::string& text, Buttons buttons, Icon icon, const std::string&, Answer) override {
    if (icon == Icon::Critical || icon == Icon::Exclamation) failure = text;
    return buttons == Buttons::OK ? Answer::OK : Answer::Yes;
  }
  void showBalloon(const std::string&, const std::string& text) override { failure = text; }
  bool startNotifier(const fs::path&, const std::string& text) override {
    failure = text;
    return true;
  }
  void quit() override {}
  std::string failure;
};

// Passes every call to the head-office connection on, timing the one that takes the push lock.
class LockTiming : public db::Connection {
 public:
  explicit LockTiming(std::unique_ptr<db::Connection> inner) : inner_(std::move(inner)) {}
  double lockCallSeconds = 0;
  void open(const std::string& cs) override { inner_->open(cs); }
  void close() override { inner_->close(); }
  bool isOpen() const override { return inner_->isOpen(); }
  long long execute(const std::string& sql) override {
    return timed<long long>(sql, [&] { return inner_->execute(sql); });
  }
  db::Recordset query(const std::string& sql) override {
    return timed<db::Recordset>(sql, [&] { return inner_->query(sql); });
  }
  void beginTrans() override { inner_->beginTrans(); }
  void commitTrans() override { inner_->commitTrans(); }
  void rollbackTrans() override { inner_->rollbackTrans(); }
  void setCommandTimeout(int s) override { inner_->setCommandTimeout(s); }

 private:
  template <class R>
  R timed(const std::string& sql, const std::function<R()>& f) {
    const bool takes = sql.find("INSERT INTO [dbo].[tblDayActivity]") != std::string::npos;
    const auto t = Steady::now();
    R r = f();
    if (takes) lockCallSeconds += secondsSince(t);
    return r;
  }
  std::unique_ptr<db::Connection> inner_;
};

// A fresh testbed with `items` items (each a stock batch of the branch's cost centre at head office),
// both databases upgraded and connected as the window leaves them.
class Bed {
 public:
  explicit Bed(int items) {
    testbed::InitOptions o;
    o.home = folder.path;
    o.items = items;
    testbed::init(o);
    ctx.LocalServerName = "embedded:servers/branch";
    ctx.SyncServerName = "embedded:servers/central";
    ctx.LocalDbCode = "BR01";
    ctx.WebDbCode = "HO01";
    ctx.LocalConnection =
        db::openConnection(testbed::companyConnectionString(ctx.LocalServerName, "BR01"), folder.path);
    ctx.WebConnection = db::openConnection(testbed::companyConnectionString(ctx.SyncServerName, "HO01"), folder.path);
    form.lblCostcentre.setCaption("Branch One");
    form.lblCostcentre.setTag("2");
    capture::updateDatabase(ctx);
    fillVoucherTypes(ctx);
    for (int i = 0; i < form.lstVchtypes.listCount(); ++i) form.lstVchtypes.setSelected(i, true);
    LoadErpSettings(ctx.LocalConnection.get(), ctx.erpSettings);
    ConfigureLinkedServer(ctx, ctx.SyncServerName);
    ctx.LogFolder = folder.path / "log";
    fs::create_directories(ctx.LogFolder);
    const auto now = *branch().query("Select getdate()").at(0, 0).toDateTime();
    clock.set(now);
    form.dtpdate.setValue(now.dateOnly());
    form.cbointerval.setText("2 Minutes");
    checked("preparing the testbed");
  }
  db::Connection& branch() { return ctx.local(); }
  db::Connection& central() { return ctx.web(); }
  long long count(db::Connection& c, const std::string& sql) { return c.query(sql).at(0, 0).toInt(); }
  void checked(const std::string& what) { require(host.failure.empty(), what + ": " + host.failure); }

  const bench::ScratchFolder folder{"erpsync-branch-bench-"};
  YesHost host;
  FixedClock clock{db::DateTime{2026, 12, 5, 14, 5, 33}};
  MainForm form;
  WindowContext ctx{host, clock, form, folder.path};
  [[maybe_unused]] const bool bound_ = (bindForm(ctx), true);
};

struct Pair {
  double small = 0, large = 0;
  double ratio() const { return small > 0 ? large / small : 0; }
};

std::string figures(const Pair& p, const char* unit = "s", int decimals = 2) {
  return fmt::format("{:.{}f} {} -> {:.{}f} {} (x{:.1f})", p.small, decimals, unit, p.large, decimals, unit, p.ratio());
}

// What some work cost: the process's CPU time (the embedded servers run inside it) and the wall clock.
// On a machine others share the CPU time is the steadier figure; the ratios are taken on it.
struct Cost {
  double cpu = 0, wall = 0;
};

template <class F>
Cost costOf(F f) {
  const auto t = Steady::now();
  const std::clock_t c = std::clock();
  f();
  return {static_cast<double>(std::clock() - c) / CLOCKS_PER_SEC, secondsSince(t)};
}

// The cheaper of two costs (a repeated measurement keeps its least disturbed run).
Cost least(const Cost& a, const Cost& b) {
  return a.cpu <= b.cpu ? a : b;
}

struct Costs {
  Cost small, large;
  Cost& at(bool large_) { return large_ ? large : small; }
};

std::string figures(const Costs& c) {
  return fmt::format("CPU {}, wall {}", figures(Pair{c.small.cpu, c.large.cpu}),
                     figures(Pair{c.small.wall, c.large.wall}));
}

// ---- day start ----

// Head office's stock of the branch's cost centre, in the columns a stock line is filled from.
db::Recordset centralStock(Bed& bed) {
  return bed.central().query(
      "SELECT s.ItemID, s.CCID, s.PrateAU, s.CRateAU, s.SrateAU, s.MRPAU, s.PrateAU2, s.CRateAU2, s.SrateAU2, "
      "s.MRPAU2, s.Crate, s.Prate, s.Srate, s.Mrp, s.Qty, s.BatchCode, s.BatchUnique, s.Expiry, i.BlnExpiryItem, "
      "s.GodownID, s.SupplierID FROM tblStock s INNER JOIN tblItemMaster i ON i.ItemID = s.ItemID WHERE s.CCID = 2 "
      "ORDER BY s.StockID");
}

// The rebuild's postings in one branch transaction (rolled back after): every line found and numbered by
// scanning tblStock (no book, as the rebuild was), or through the transaction's book of it.
Cost rebuildPostings(Bed& bed, const db::Recordset& rows, bool withBook) {
  db::Transaction rebuild(bed.branch());
  const Cost c = costOf([&] {
    bed.branch().execute("Delete from tblStock ");
    bed.branch().execute("Delete from tblStockHistory ");
    std::unique_ptr<stock::StockBook> book;
    if (withBook) book = std::make_unique<stock::StockBook>(bed.branch());
    for (std::size_t r = 0; r < rows.size(); ++r) {
      stock::StockLine line = stock::stockLineFromRow(rows, r, db::DateTime{2020, 5, 12});
      const bool in = rows.at(r, "Qty").toDouble() > 0;
      const stock::StockPosting p{stock::kOpeningStockVchType,
                                  in ? stock::kStockIn : stock::kStockOut,
                                  1,
                                  "",
                                  bed.clock.now(),
                                  true,
                                  true,
                                  stock::Txn::Callers,
                                  book.get()};
      require(stock::PostStock(bed.ctx, p, line), "a line of the rebuild was not posted");
    }
  });
  rebuild.rollback();
  return c;
}

struct DayStartFigures {
  Costs scanning, book, dayStart;
};

DayStartFigures dayStartScale(int small, int large) {
  DayStartFigures f;
  for (int size : {small, large}) {
    const bool big = size == large;
    Bed bed(size);
    const db::Recordset rows = centralStock(bed);
    require(static_cast<int>(rows.size()) >= size, "head office holds fewer stock lines than items");
    // The day start twice (the second rebuilds what the first brought), then the postings alone.
    for (int run = 0; run < 2; ++run) {
      daycycle::DayStartOutcome out;
      const Cost c = costOf([&] { out = daycycle::dayStart(bed.ctx); });
      require(out.completed && out.stockLines == static_cast<int>(rows.size()), "day start did not complete");
      f.dayStart.at(big) = run == 0 ? c : least(f.dayStart.at(big), c);
      bed.checked("day start");
    }
    f.book.at(big) = least(rebuildPostings(bed, rows, true), rebuildPostings(bed, rows, true));
    f.scanning.at(big) = rebuildPostings(bed, rows, false);
  }
  return f;
}

// ---- manual re-sync ----

// The change-log query the re-sync's upload read before: the newest row of each voucher found by a
// max() subquery run for every row of the log.
std::string correlatedChangeLogQuery(Bed& bed) {
  const db::DateTime d = bed.form.dtpdate.value();
  const std::string day = fmt::format("{}-{:02}-{:02}", d.year, d.month, d.day);
  return std::string(
             " select Id,tablename, tbluniqueid ,tblUniquerefID, Action,active,dateofaction,ActionTime from "
             "tblactivity O where ParentID in(") +
         kUploadedParentTypes + ") and ISNULL(pARENTid,0) <> 0 AND Action not in('Update') and DateofAction='" + day +
         "'" + voucherTypeFilter(bed.ctx) +
         " and id = (select max(A.id) from tblactivity A where o.tblUniqueID=a.tblUniqueID and o.tablename = "
         "a.tablename and a.Action not in('Update')) Order by o.ID ";
}

struct ResyncFigures {
  Costs correlatedQuery, resync;
  long long small = 0, large = 0;
  bool timedOut = false;  // the correlated query did not end within kOldQuerySeconds at the large size
};

// How long the correlated query may run before it is given up (the program's own limit is 30 s).
constexpr int kOldQuerySeconds = 300;

ResyncFigures resyncScale(int small, int large) {
  ResyncFigures f;
  for (int size : {small, large}) {
    Bed bed(20);
    testbed::SimulationOptions o;
    o.orders = o.stockJournals = o.jobCards = o.notes = size / 10;
    o.sales = size - 4 * o.orders;
    o.edits = o.deletes = o.masterChanges = o.boardRates = 0;
    o.date = bed.form.dtpdate.value();
    testbed::simulateErpActivity(&bed.branch(), nullptr, o);
    bed.branch().execute("UPDATE tblActivity SET ActionTime = DATEADD(minute, -5, getdate())");
    for (int pass = 0; pass < 4 && sync::uploadTransactions(bed.ctx, false).uploaded > 0; ++pass) {
    }
    const long long vouchers =
        bed.count(bed.branch(), "SELECT count(*) FROM tblSales WHERE SyncStat = 1") + 4LL * o.orders;
    (size == small ? f.small : f.large) = vouchers;
    daycycle::ResyncOutcome out;
    f.resync.at(size == large) = costOf([&] { out = daycycle::manualResync(bed.ctx); });
    require(out.replaced && out.upload.uploaded + out.upload.alreadyCentral == out.requeued,
            "the manual re-sync did not send the day again");
    bed.checked("manual re-sync");
    // The log as the re-sync left it: the vouchers' inserts and their re-queue.
    bed.branch().setCommandTimeout(kOldQuerySeconds);
    f.correlatedQuery.at(size == large) = costOf([&] {
      try {
        bed.branch().query(correlatedChangeLogQuery(bed));
      } catch (const db::DbError& e) {
        if (e.sqlState() != "HYT00") throw;
        f.timedOut = true;
      }
    });
  }
  return f;
}

// ---- idle pass with the transfer auto-import ----

struct IdleFigure {
  long long calls = 0;
  double seconds = 0, cpu = 0;
};

template <class F>
IdleFigure measureCalls(int times, F f) {
  IdleFigure m;
  faults::configure(*faults::parse("server=central"));
  const Cost c = costOf([&] {
    for (int i = 0; i < times; ++i) f();
  });
  m.cpu = c.cpu / times;
  m.seconds = c.wall / times;
  m.calls = faults::counted() / times;
  faults::reset();
  return m;
}

// The unattended import as it read head office before: the types from the stock history, then for each
// type its parent and its list of vouchers.
void formerAutoImportReads(Bed& bed) {
  const WorkingDay day = bed.ctx.day();
  const auto types = bed.central().query(
      " SELECT  Distinct tblStockHistory.VchTypeID, tblVchType.VchType, tblStockHistory.CCID FROM     tblStockHistory "
      "INNER JOIN  tblVchType ON tblStockHistory.VchTypeID = tblVchType.VchTypeID Where ParentID in(6,5,16,2,1005) "
      "and CCID =2 and (tblStockHistory.qtyIN > 0) ");
  for (std::size_t r = 0; r < types.size(); ++r) {
    const long long type = types.at(r, 0).toInt();
    const int parent = stock::interimParentType(bed.ctx, type);
    if (parent == 1005 || parent <= 0) continue;
    const std::string sql = stock::interimTransferListQuery(day, {}, parent, type, false);
    if (!sql.empty()) bed.central().query(sql);
  }
}

struct IdleFigures {
  IdleFigure before[2], now[2];
  long long history[2] = {};
};

// Other branches' sales in head office's stock history, doubled until it holds `rows` rows.
void growCentralHistory(Bed& bed, long long rows) {
  const std::string columns =
      "StockHisId, VchDate, VchTypeID, RefId, AdnlRefID, ItemID, QtyIN, QtyINAU, QtyINAU2, QtyOut, QtyOutAU, "
      "QtyOutAU2, BAtch, expiry, PvalueIN, PvalueOut, SValueIN, SValueOut, MrpValueIN, MrpValueOut, FreeQtyIn, "
      "FreeQtyOut, BatchCode, CCID, WeightIn, WeightOut, Prate, Srate, CRate, MRP, SHSupplierID, GodownID, BatchUnique";
  for (long long have = bed.count(bed.central(), "SELECT count(*) FROM tblStockHistory"); have < rows;
       have = bed.count(bed.central(), "SELECT count(*) FROM tblStockHistory"))
    bed.central().execute("INSERT INTO tblStockHistory (" + columns + ") SELECT TOP " + std::to_string(rows - have) +
                          " 0, VchDate, 201, RefId + 100000, '', ItemID, 0, 0, 0, 1, 0, 0, BAtch, expiry, 0, Prate, 0, "
                          "Srate, 0, MRP, 0, 0, BatchCode, 3 + ItemID % 40, 0, 0, Prate, Srate, CRate, MRP, 9, 1, "
                          "BatchUnique FROM tblStockHistory");
}

IdleFigures idleScale(long long largeHistory, int passes) {
  IdleFigures f;
  Bed bed(20);
  bed.form.chkAutoSynchInterimStockTransfer.setValue(1);
  // The first passes take what waits; after them a pass finds nothing to do.
  for (int i = 0; i < 2; ++i) require(runWindowPass(bed.ctx).error.empty(), "a pass failed");
  bed.checked("first passes");
  for (int at = 0; at < 2; ++at) {
    if (at == 1) growCentralHistory(bed, largeHistory);
    f.history[at] = bed.count(bed.central(), "SELECT count(*) FROM tblStockHistory");
    f.now[at] = measureCalls(passes, [&] {
      const auto out = runWindowPass(bed.ctx);
      require(out.error.empty() && out.transfersRan && out.transfers.imported == 0, "the idle pass found work");
    });
    bed.form.chkAutoSynchInterimStockTransfer.setValue(0);
    f.before[at] = measureCalls(passes, [&] {
      require(runWindowPass(bed.ctx).error.empty(), "a pass failed");
      formerAutoImportReads(bed);
    });
    bed.form.chkAutoSynchInterimStockTransfer.setValue(1);
    bed.checked("idle passes");
  }
  return f;
}

// ---- transfer import: how long the push lock stands ----

// Head office's transfer to the branch (type 16, InvID 3) with one incoming line per batch of the
// branch's cost centre, up to `lines` lines: only the history columns the import reads are filled.
void growTransfer(Bed& bed, int lines) {
  bed.central().execute(
      "INSERT INTO tblStockHistory (VchTypeID, RefId, VchDate, ItemID, CCID, BatchCode, BatchUnique, QtyIN, QtyOut) "
      "SELECT TOP " +
      std::to_string(lines) +
      " 16, 3, '05/Dec/2026', s.ItemID, 2, s.BatchCode, s.BatchUnique, 4, 0 FROM tblStock s WHERE s.CCID = 2 AND "
      "s.ItemID NOT IN (SELECT ItemID FROM tblStockHistory WHERE VchTypeID = 16 AND RefId = 3) ORDER BY s.ItemID");
  const long long now =
      bed.count(bed.central(), "SELECT count(*) FROM tblStockHistory WHERE VchTypeID = 16 AND RefId = 3 AND CCID = 2");
  require(now >= lines, "head office holds too few batches for the transfer");
}

// The transfer's batches with the quantity coming in, in the columns a stock line is filled from.
db::Recordset transferRows(Bed& bed) {
  return bed.central().query(
      "SELECT s.ItemID, s.CCID, s.PrateAU, s.CRateAU, s.SrateAU, s.MRPAU, s.PrateAU2, s.CRateAU2, s.SrateAU2, "
      "s.MRPAU2, s.Crate, s.Prate, s.Srate, s.Mrp, h.Qty, s.BatchCode, s.BatchUnique, s.Expiry, i.BlnExpiryItem, "
      "s.GodownID, s.SupplierID FROM (SELECT ItemID, BatchUnique, SUM(QtyIN) AS Qty FROM tblStockHistory WHERE "
      "VchTypeID = 16 AND RefId = 3 AND CCID = 2 GROUP BY ItemID, BatchUnique) h INNER JOIN tblStock s ON s.ItemID = "
      "h.ItemID AND s.BatchUnique = h.BatchUnique AND s.CCID = 2 INNER JOIN tblItemMaster i ON i.ItemID = s.ItemID");
}

// The import as it was: the lock taken first, the transfer read, every line posted with per-line scans
// of tblStock (the lock renewed every ten seconds), the mark, the release. The branch's postings are
// rolled back after. Returns how long the lock stood.
double formerImportLockSeconds(Bed& bed) {
  require(sync::takeServerLock(bed.ctx), "the push lock could not be taken");
  const auto t = Steady::now();
  auto renewed = t;
  const db::Recordset rows = transferRows(bed);
  GetServerDateTime(bed.ctx);
  {
    db::Transaction posting(bed.branch());
    for (std::size_t r = 0; r < rows.size(); ++r) {
      if (secondsSince(renewed) >= 10) {
        sync::refreshServerLock(bed.ctx);
        renewed = Steady::now();
      }
      stock::StockLine line = stock::stockLineFromRow(rows, r, db::DateTime{2020, 1, 12});
      const stock::StockPosting p{stock::kOpeningStockVchType, stock::kStockIn, 1, "", bed.clock.now(), true, true,
                                  stock::Txn::Callers};
      require(stock::PostStock(bed.ctx, p, line), "a line of the transfer was not posted");
    }
    posting.rollback();
  }
  bed.central().execute("update  tblsTOCKjOURNAL set Customfield1='DOWNLAODED' where INvID=3");
  sync::releaseServerLock(bed.ctx);
  return secondsSince(t);
}

struct TransferFigures {
  Pair before, now;
  Costs wholeImport;
  int lines[2] = {};
};

TransferFigures transferScale(int largeLines) {
  TransferFigures f;
  Bed bed(largeLines + 10);
  require(daycycle::dayStart(bed.ctx).completed, "day start did not complete");
  auto* timing = new LockTiming(std::move(bed.ctx.WebConnection));
  bed.ctx.WebConnection.reset(timing);
  for (int at = 0; at < 2; ++at) {
    if (at == 1) growTransfer(bed, largeLines);
    (at ? f.before.large : f.before.small) = formerImportLockSeconds(bed);
    timing->lockCallSeconds = 0;
    stock::TransferImportOutcome out;
    f.wholeImport.at(at == 1) = costOf([&] { out = stock::importInterimTransfer(bed.ctx, 16, 3); });
    require(out.imported && out.marked && !out.failed, "the transfer import failed");
    (at ? f.now.large : f.now.small) = timing->lockCallSeconds;
    f.lines[at] = out.lines;
    bed.checked("transfer import");
  }
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  bool quick = false;
  std::vector<std::string> parts;
  for (int a = 1; a < argc; ++a) {
    if (std::strcmp(argv[a], "--quick") == 0)
      quick = true;
    else
      parts.push_back(argv[a]);
  }
  const auto wanted = [&](const char* part) {
    return parts.empty() || std::find(parts.begin(), parts.end(), part) != parts.end();
  };
  const int scale = quick ? 10 : 1;
  try {
    const auto t0 = Steady::now();
    if (wanted("daystart")) {
      const DayStartFigures d = dayStartScale(2500 / scale, 10000 / scale);
      std::printf("day start, stock lines %d -> %d (x4)\n", 2500 / scale, 10000 / scale);
      std::printf("  postings, per-line scans (as it was)  %s\n", figures(d.scanning).c_str());
      std::printf("  postings, the transaction's book      %s\n", figures(d.book).c_str());
      std::printf("  day start now, whole                  %s\n\n", figures(d.dayStart).c_str());
    }
    if (wanted("resync")) {
      const ResyncFigures r = resyncScale(2500 / scale, 10000 / scale);
      std::printf("manual re-sync, vouchers of the day %lld -> %lld\n", r.small, r.large);
      std::printf("  change-log query with correlated max() (as it was)  %s%s\n", figures(r.correlatedQuery).c_str(),
                  r.timedOut
                      ? fmt::format(" (timed out after {} s: the ratio is at least this)", kOldQuerySeconds).c_str()
                      : "");
      std::printf("  manual re-sync now, whole                           %s\n\n", figures(r.resync).c_str());
    }
    if (wanted("idle")) {
      const int passes = 5;
      const IdleFigures i = idleScale(quick ? 100000 : 1000000, passes);
      std::printf(
          "idle pass with the transfer auto-import, head office's tblStockHistory %lld -> %lld rows (%d passes "
          "each)\n",
          i.history[0], i.history[1], passes);
      for (int k = 0; k < 2; ++k) {
        const IdleFigure* fig[2] = {&i.before[k], &i.now[k]};
        const char* name[2] = {"former auto-import reads", "pass now"};
        for (int w = 0; w < 2; ++w)
          std::printf("  %-26s at %8lld rows: %lld head-office calls, %.1f ms a pass, %.1f ms CPU\n", name[w],
                      i.history[k], fig[w]->calls, fig[w]->seconds * 1000, fig[w]->cpu * 1000);
      }
      std::printf("  CPU large / small: former x%.1f, now x%.1f\n\n", i.before[1].cpu / i.before[0].cpu,
                  i.now[1].cpu / i.now[0].cpu);
    }
    if (wanted("transfer")) {
      const TransferFigures tr = transferScale(2000 / scale);
      std::printf("transfer import, lines %d -> %d\n", tr.lines[0], tr.lines[1]);
      std::printf("  push lock held, taken before the reads (as it was)  %s\n",
                  figures({tr.before.small * 1000, tr.before.large * 1000}, "ms", 1).c_str());
      std::printf("  push lock held, in the mark's one call now          %s\n",
                  figures({tr.now.small * 1000, tr.now.large * 1000}, "ms", 1).c_str());
      std::printf("  the import now, whole                               %s\n", figures(tr.wholeImport).c_str());
    }
    std::printf("\n(whole run %.0f s)\n", secondsSince(t0));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "branch_scale_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
