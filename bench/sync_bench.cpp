// The sync engine against baselines measured in the same run, on a branch and a central embedded
// server prepared as the ERP leaves them (change-log triggers on, vouchers entered through the ERP's
// statements, every change old enough to go):
//   upload     uploadTransactions over N vouchers (a sale is one header and five lines; one note per
//              hundred sales), against L, a bare uploader of the same rows (one transaction per voucher,
//              literal INSERTs, no change log, no lock, no marks), and B, one INSERT ... SELECT per
//              table through the linked server;
//   masters    downloadMasters over M changed central ledgers, against B (INSERT ... SELECT of the rows);
//   memory     resident set at 10%, 50% and 100% of the upload;
//   idle       uploadTransactions + downloadMasters with nothing waiting, at a small and the main size;
//   scaling    the upload at the small, main and (optional) large size.
// Sizes: ERPSYNC_BENCH_VOUCHERS (main, 10000), ERPSYNC_BENCH_MASTERS (10000), ERPSYNC_BENCH_SMALL (1000),
// ERPSYNC_BENCH_LARGE (0 = skip; 100000 for the scaling and idle figures at that size, slow).
// ERPSYNC_BENCH_INDEXES=1: adds the indexes the receipt check and the waiting-voucher query lack, to see
// what they change.
// ERPSYNC_BENCH_DIR: where the servers are created (default: the temporary folder); a folder on tmpfs
// such as /dev/shm takes the disk's flush times out of every figure.
// Not run by the test suite.
#include <fmt/format.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/form_binding.h"
#include "app/reconcile_view.h"
#include "app/voucher_types.h"
#include "capture/update_database.h"
#include "db/connection.h"
#include "db/sql_quote.h"
#include "form/clock.h"
#include "form/host.h"
#include "form/main_form.h"
#include "scratch_folder.h"
#include "shared/connections.h"
#include "app/window_context.h"
#include "shared/sync_context.h"
#include "sync/field_literal.h"
#include "sync/download_masters.h"
#include "sync/upload_transactions.h"
#include "testbed.h"

namespace {

using namespace erpsync;
namespace fs = std::filesystem;

constexpr const char* kBranchServer = "embedded:servers/branch";
constexpr const char* kCentralServer = "embedded:servers/central";
constexpr int kLinesPerSale = 5;

int envInt(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::atoi(v) : fallback;
}

double seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Wall-clock and CPU seconds. The machine is shared: CPU time leaves out the other programs' load, but
// also the waits for the disk, so both are shown.
struct Span {
  double wall = 0, cpu = 0;
};

class Stopwatch {
 public:
  Span elapsed() const { return {seconds(wall_), cpuSeconds() - cpu_}; }

 private:
  std::chrono::steady_clock::time_point wall_ = std::chrono::steady_clock::now();
  double cpu_ = cpuSeconds();
};

// Resident set of this process in MiB.
double rssMiB() {
  std::ifstream in("/proc/self/statm");
  long pages = 0, resident = 0;
  in >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Answers every box OK and keeps no record; counts boxes and notices so a run that went wrong is seen.
class BenchHost : public Host {
 public:
  Answer messageBox(const std::string& text, Buttons, Icon, const std::string&, Answer) override {
    if (text != "Database Updated.") remember(text);
    return Answer::OK;
  }
  void doEvents() override {
    if (onDoEvents) onDoEvents();
  }
  void showBalloon(const std::string&, const std::string& text) override { remember(text); }
  bool startNotifier(const std::filesystem::path&, const std::string& text) override {
    remember(text);
    return true;
  }
  void quit() override {}

  std::function<void()> onDoEvents;
  int complaints = 0;
  std::string firstComplaint;

 private:
  void remember(const std::string& text) {
    if (complaints++ == 0) firstComplaint = text;
  }
};

struct Counts {
  long long sales = 0, lines = 0, notes = 0;
};

long long scalar(db::Connection& c, const std::string& sql) {
  return c.query(sql).at(0, 0).toInt();
}

Counts counts(db::Connection& c) {
  return {scalar(c, "SELECT count(*) FROM tblSales"), scalar(c, "SELECT count(*) FROM tblSalesItem"),
          scalar(c, "SELECT count(*) FROM tblNotes")};
}

// A branch and a central server in a temporary folder, upgraded for synchronisation, the branch
// holding `sales` sales and sales/100 notes of today, all older than the upload interval.
class Pair {
 public:
  Pair(int salesWanted, int ledgers) : sales(salesWanted), notes(salesWanted / 100) {
    testbed::InitOptions o;
    o.home = home;
    o.items = 50;
    o.ledgers = std::max(ledgers, 20);
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
    // The operator synchronises every voucher type of the branch.
    fillVoucherTypes(ctx);
    for (int i = 0; i < form.lstVchtypes.listCount(); ++i) form.lstVchtypes.setSelected(i, true);
    ctx.LogFolder = home / "log";
    fs::create_directories(ctx.LogFolder);
    today = branch().query("Select getdate()").at(0, 0).toDateTime()->dateOnly();
    form.dtpdate.setValue(today);
    form.cbointerval.setText("2 Minutes");
    enterVouchers();
    branch().execute("UPDATE tblActivity SET ActionTime = DATEADD(minute, -5, getdate())");
    if (envInt("ERPSYNC_BENCH_INDEXES", 0)) {
      // What the receipt check and the waiting-voucher query would need to stay flat as the tables grow.
      central().execute("CREATE INDEX IX_bench_tblSales_InvNo ON tblSales (InvNo)");
      branch().execute("CREATE INDEX IX_bench_tblSales_SyncStat ON tblSales (SyncStat)");
      branch().execute("CREATE INDEX IX_bench_tblNotes_SyncStat ON tblNotes (SyncStat)");
    }
  }
  db::Connection& branch() { return ctx.local(); }
  db::Connection& central() { return ctx.web(); }
  fs::path centralDir() const { return home / "servers" / "central"; }
  void openCentral() {
    ctx.WebConnection = db::openConnection(testbed::companyConnectionString(kCentralServer, "HO01"), home);
  }

  // Copies the central company database, as it is now, to catalogs of the given names.
  void cloneCentral(const std::vector<std::string>& names) {
    ctx.WebConnection.reset();
    const fs::path src = centralDir() / "HO01.sqlite";
    if (!fs::exists(src)) throw std::runtime_error("no central catalog file " + src.string());
    for (const auto& n : names)
      for (const char* ext : {"", "-wal"}) {
        fs::path from = src.string() + ext, to = (centralDir() / (n + ".sqlite")).string() + ext;
        if (fs::exists(from)) fs::copy_file(from, to, fs::copy_options::overwrite_existing);
      }
    openCentral();
  }
  std::unique_ptr<db::Connection> openCentralCatalog(const std::string& name) {
    return db::openConnection(testbed::companyConnectionString(kCentralServer, name), home);
  }

  static const char* month(int m) {
    static const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return names[m - 1];
  }

  const int sales;
  const int notes;
  // Removed last, after the connections into it are closed (also when preparing fails half-way).
  const bench::ScratchFolder folder{"erpsync-sync-bench-"};
  const fs::path home = folder.path;
  BenchHost host;
  FixedClock clock{db::DateTime{2026, 12, 5, 14, 5, 33}};
  MainForm form;
  WindowContext ctx{host, clock, form, home};
  [[maybe_unused]] const bool formBound_ = (bindForm(ctx), true);
  db::DateTime today;

 private:
  // The ERP's saves: header and lines of a voucher, the triggers writing the change log. Several
  // vouchers share a transaction only to keep the preparation short.
  void enterVouchers() {
    db::Connection& b = branch();
    auto items = b.query("SELECT ItemID, Srate, MRP, PRate, UnitID FROM tblItemMaster ORDER BY ItemID");
    auto parties = b.query("SELECT LID, LName FROM tblLedger ORDER BY LID");
    const long long saleType = voucherType(1), noteType = voucherType(7);
    const std::string date = db::sqlQuote(fmt::format("{:02}/{}/{:04}", today.day, month(today.month), today.year));
    std::mt19937 dice(7);
    int noteNo = 0;
    for (int first = 1; first <= sales; first += 500) {
      db::Transaction t(b);
      for (int id = first; id < first + 500 && id <= sales; ++id) {
        const std::size_t p = dice() % parties.size();
        const std::string time = db::sqlQuote(fmt::format("{:02}/{}/{:04} {:02}:{:02}:00", today.day,
                                                          month(today.month), today.year, 9 + id / 60 % 12, id % 60));
        std::string lines =
            "INSERT INTO tblSalesItem (SlNo, InvID, ItemID, Qty, FreeQty, UnitID, Rate, PRate, CRate, MRP, "
            "Discount, TaxPer, TaxAmount, Amount, BatchCode, BatchUnique, GodownID) VALUES ";
        double total = 0;
        for (int sl = 1; sl <= kLinesPerSale; ++sl) {
          const std::size_t i = dice() % items.size();
          const int qty = 1 + static_cast<int>(dice() % 5);
          const double rate = items.at(i, 1).toDouble(), amount = qty * rate;
          total += amount;
          lines += fmt::format("{}({}, {}, {}, {}, 0, {}, {}, {}, {}, {}, 0, 5, {:.2f}, {:.2f}, 'B{:05}', 'B{:05}', 1)",
                               sl > 1 ? ", " : "", sl, id, items.at(i, 0).toInt(), qty, items.at(i, 4).toInt(), rate,
                               items.at(i, 3).toDouble(), items.at(i, 3).toDouble(), items.at(i, 2).toDouble(),
                               amount * 0.05, amount, items.at(i, 0).toInt(), items.at(i, 0).toInt());
        }
        b.execute(
            "INSERT INTO tblSales (InvID, InvNo, RefNo, AutoNum, SortNumber, InvDate, BillTime, VchType, VchTypeID, "
            "MOP, LedgerID, Party, GrossAmt, Discount, TaxAmt, BillAmt, RoundOff, NetAmount, UserNarration, "
            "SalesManID, Cancelled, CCID, currencyid, UserID, UserName, ComputerName, CustomField1, LockMode, "
            "SyncStat) VALUES (" +
            fmt::format("{0}, 'S-{0}', '', {0}, {0}, ", id) + date + ", " + time + ", 'Sales', " +
            std::to_string(saleType) + ", 'Cash', " + parties.at(p, 0).toString() + ", " +
            db::sqlQuote(parties.at(p, 1).toString()) +
            fmt::format(", {0:.2f}, 0, {1:.2f}, {0:.2f}, 0, {0:.2f}, 'Counter sale', 1, 0, 2, 1, 1, 'cashier', "
                        "'BRPC01', '', 0, 0)",
                        total, total * 0.05));
        b.execute(lines);
        if (id % 100 == 0 && noteNo < notes) {
          ++noteNo;
          b.execute(
              "INSERT INTO tblNotes (VchID, VchNo, VchDate, BillTime, VchTypeID, LedgerID, CashLedgerID, Amount, "
              "Narration, RefNo, CCID, UserID, Cancelled, LockMode, SyncStat) VALUES (" +
              fmt::format("{0}, 'R-{0}', ", noteNo) + date + ", " + time + ", " + std::to_string(noteType) + ", " +
              parties.at(p, 0).toString() + ", 1, 250, " +
              db::sqlQuote("Received from " + parties.at(p, 1).toString()) + ", '', 2, 1, 0, 0, 0)");
        }
      }
      t.commit();
    }
  }
  long long voucherType(int parent) {
    auto rs = branch().query("SELECT VchTypeID FROM tblVchType WHERE ParentID=" + std::to_string(parent) +
                             " ORDER BY CASE WHEN PrimaryCCIDS = '2' THEN 0 ELSE 1 END, VchTypeID");
    return rs.empty() ? parent : rs.at(0, 0).toInt();
  }
};

// Fails the run when a copy did not land exactly: the figures of a wrong copy mean nothing.
void expectDelta(const char* what, const Counts& before, const Counts& after, const Pair& p) {
  if (after.sales - before.sales == p.sales && after.lines - before.lines == p.sales * kLinesPerSale &&
      after.notes - before.notes == p.notes)
    return;
  throw std::runtime_error(fmt::format("{}: copied {} sales, {} lines, {} notes; expected {}, {}, {}", what,
                                       after.sales - before.sales, after.lines - before.lines,
                                       after.notes - before.notes, p.sales, p.sales * kLinesPerSale, p.notes));
}

std::string columnList(const db::Recordset& rs, const std::string& skip = {}) {
  std::string out;
  for (const auto& f : rs.fields)
    if (f.name != skip) out += (out.empty() ? "" : ",") + f.name;
  return out;
}

// L: the same rows read from the branch and written with literal INSERTs, one transaction per voucher,
// numbered after the central maximum. Returns its time.
Span bareUpload(Pair& p, db::Connection& target) {
  const Counts before = counts(target);
  const Stopwatch watch;
  db::Connection& b = p.branch();
  const auto headers = b.query("SELECT * FROM tblSales WHERE isnull(SyncStat,0)=0 ORDER BY InvID");
  const auto lines = b.query("SELECT * FROM tblSalesItem ORDER BY InvID, SlNo");
  const auto notes = b.query("SELECT * FROM tblNotes WHERE isnull(SyncStat,0)=0 ORDER BY VchID");
  long long next = scalar(target, "SELECT isnull(max(InvID),0) FROM tblSales") + 1;
  const int hKey = headers.fieldIndex("InvID"), lKey = lines.fieldIndex("InvID");
  const std::string hCols = columnList(headers), lCols = columnList(lines);
  auto values = [](const db::Recordset& rs, std::size_t r, int key, long long keyValue, int skip = -1) {
    std::string v;
    for (std::size_t f = 0; f < rs.fields.size(); ++f) {
      if (static_cast<int>(f) == skip) continue;
      v += (v.empty() ? "" : ",") +
           (static_cast<int>(f) == key ? std::to_string(keyValue) : sync::FieldLiteral(rs.at(r, f), rs.fields[f].type));
    }
    return v;
  };
  std::size_t l = 0;
  for (std::size_t h = 0; h < headers.size(); ++h, ++next) {
    const long long branchNo = headers.at(h, static_cast<std::size_t>(hKey)).toInt();
    db::Transaction t(target);
    target.execute("Insert into tblSales (" + hCols + ") values (" + values(headers, h, hKey, next) + ")");
    for (; l < lines.size() && lines.at(l, static_cast<std::size_t>(lKey)).toInt() == branchNo; ++l)
      target.execute("Insert into tblSalesItem (" + lCols + ") values (" + values(lines, l, lKey, next) + ")");
    t.commit();
  }
  const int nKey = notes.fieldIndex("VchID"), nId = notes.fieldIndex("ID");
  long long nextNote = scalar(target, "SELECT isnull(max(VchID),0) FROM tblNotes") + 1;
  const std::string nCols = columnList(notes, notes.fields.at(static_cast<std::size_t>(nId)).name);
  for (std::size_t n = 0; n < notes.size(); ++n) {
    db::Transaction t(target);
    target.execute("Insert into tblNotes (" + nCols + ") values (" + values(notes, n, nKey, nextNote++, nId) + ")");
    t.commit();
  }
  const Span s = watch.elapsed();
  expectDelta("bare uploader", before, counts(target), p);
  return s;
}

// B: one INSERT ... SELECT per table, run on the branch, written through the linked server into the
// central catalog `catalog`. Returns its time.
Span inEngineUpload(Pair& p, const std::string& catalog) {
  auto target = p.openCentralCatalog(catalog);
  const Counts before = counts(*target);
  const long long sales = scalar(*target, "SELECT isnull(max(InvID),0) FROM tblSales");
  const long long notes = scalar(*target, "SELECT isnull(max(VchID),0) FROM tblNotes");
  db::Connection& b = p.branch();
  const std::string remote = db::sqlBracket(kCentralServer) + "." + catalog + ".dbo.";
  auto copy = [&](const std::string& table, const std::string& key, long long offset, const std::string& skip) {
    const std::string cols = columnList(b.query("SELECT * FROM " + table + " WHERE 1=0"), skip);
    std::string select = "," + cols + ",";
    const std::string k = "," + key + ",";
    select.replace(select.find(k), k.size(), "," + key + "+" + std::to_string(offset) + ",");
    b.execute("INSERT INTO " + remote + table + " (" + cols + ") SELECT " + select.substr(1, select.size() - 2) +
              " FROM " + table);
  };
  const Stopwatch watch;
  copy("tblSales", "InvID", sales, "");
  copy("tblSalesItem", "InvID", sales, "");
  copy("tblNotes", "VchID", notes, "ID");
  const Span s = watch.elapsed();
  expectDelta("INSERT ... SELECT", before, counts(*target), p);
  return s;
}

struct FullRun {
  Span time;
  double rss[4] = {0, 0, 0, 0};  // before, at 10%, 50%, 100%
  int activityRows = 0;          // rows the window's activity grid holds at the end
};

// The engine: automatic upload passes until nothing more goes. Samples the resident set as the
// change-log rows are worked through.
FullRun fullUpload(Pair& p) {
  FullRun run;
  const Counts before = counts(p.central());
  const int total = p.sales + p.notes;
  int sampled = 0;
  p.host.onDoEvents = [&] {
    static const double marks[] = {0.1, 0.5};
    if (sampled < 2 && p.form.msgActivity.rows() >= static_cast<int>(marks[sampled] * total))
      run.rss[1 + sampled++] = rssMiB();
  };
  run.rss[0] = rssMiB();
  const Stopwatch watch;
  int uploaded = 0;
  for (int pass = 0; pass < 10; ++pass) {
    auto o = sync::uploadTransactions(p.ctx, false);
    uploaded += o.uploaded;
    if (o.busy || o.stopped || o.failed) throw std::runtime_error("upload pass did not complete");
    if (o.uploaded + o.alreadyCentral == 0) break;
  }
  run.time = watch.elapsed();
  run.rss[3] = rssMiB();
  run.activityRows = p.form.msgActivity.rows();
  p.host.onDoEvents = nullptr;
  expectDelta("uploadTransactions", before, counts(p.central()), p);
  if (uploaded != total) throw std::runtime_error("uploadTransactions reported " + std::to_string(uploaded));
  return run;
}

// The median times of passes that find nothing to do.
Span idlePass(Pair& p, int passes = 15) {
  std::vector<double> wall, cpu;
  for (int i = 0; i < passes; ++i) {
    const Stopwatch watch;
    auto up = sync::uploadTransactions(p.ctx, false);
    auto down = sync::downloadMasters(p.ctx);
    const Span s = watch.elapsed();
    wall.push_back(s.wall);
    cpu.push_back(s.cpu);
    if (up.uploaded + up.alreadyCentral + up.failed + down.applied != 0 || up.busy || !down.completed)
      throw std::runtime_error("the idle pass found work");
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

// Where a voucher's time goes: the statements and file writes the upload makes for one voucher, and
// the two queries of an idle pass, each timed alone (median of several runs) once everything is
// uploaded. The statement texts are the ones the upload sends.
struct Probe {
  std::string what;
  double ms = 0;
};

std::vector<Probe> probe(Pair& p) {
  db::Connection& b = p.branch();
  db::Connection& c = p.central();
  const std::string k = std::to_string(p.sales / 2);
  const auto v = b.query("SELECT ServInvID, InvDate, VchTypeID FROM tblSales WHERE InvID = " + k);
  auto lit = [&](int f) { return sync::FieldLiteral(v.at(0, static_cast<std::size_t>(f)), v.fields[f].type); };
  const std::string date = fmt::format("{:02}/{}/{:04}", p.today.day, Pair::month(p.today.month), p.today.year);
  const std::string mark = std::to_string(p.ctx.MaxActivityIDTrans);
  std::vector<std::pair<std::string, std::function<void()>>> steps = {
      {"central: next number (max + 1, updlock)",
       [&] { c.query("Select isnull(max(InvID),0) + 1 as MAxid from tblSales with (updlock, holdlock)"); }},
      // A voucher not at head office yet, as every voucher the upload sends.
      {"central: receipt check (number, date, type, CCID)",
       [&] {
         c.query(
             "Select top 1 InvID as CentralID from tblSales where isnull(Party,'')<>'#DELETEDFROMBRANCH#' and "
             "InvNo='S-new' and InvDate=" +
             lit(1) + " and VchTypeID=" + lit(2) + " and CCID=2 order by InvID");
       }},
      {"central: lock refresh",
       [&] {
         c.execute(
             " update [tblDayActivity]set Timeof=getDate() where Activity='BLOCKFASTPUSH' and "
             "BlockDataEntry=1 and SQLSERVERNAME='Nobody'");
       }},
      {"branch: header by number",
       [&] { b.query("Select * from tblSales where isnull(SyncStat,0)=0 and INvID=" + k); }},
      {"branch: lines by number", [&] { b.query("Select * from tblSalesItem Where InvID=" + k); }},
      {"branch: change-log id as the triggers read it",
       [&] { b.query("select ISNull(max(ID),0) from tblActivity with (updlock, holdlock)"); }},
      {"branch: mark (update + change-log trigger)",
       [&] { b.execute("update tblSales set SyncStat=1, ServInvID=" + lit(0) + " where InvID=" + k); }},
      {"daily log entry", [&] { p.ctx.log("transaction Detail insertion ", std::string(200, 'x')); }},
      {"mark in AppsettingsLoop.ini", [&] { p.ctx.writeLoopSetting("MaxActivityIDTrans", mark); }},
      {"voucher counts (FillTransCount, every 100 sales)", [&] { reconcile::showVoucherCounts(p.ctx); }},
      {"idle: change-log query",
       [&] {
         b.query(
             " select Id,tablename, tbluniqueid ,tblUniquerefID, Action,active,dateofaction,ActionTime from "
             "tblactivity O where ParentID in(1,3,5,7,8,9,10,14,18,41,42,43,44,45) and ISNULL(pARENTid,0) <> 0 "
             "AND Action not in('Update') and DateofAction='" +
             date + "' and ID>" + mark + "  Order by o.ID ");
       }},
      {"idle: waiting-voucher query (sales part)",
       [&] {
         b.query(
             "select * from (SELECT 0 as ID, 'tblSales' AS tablename, InvId AS tbluniqueid, ServInvID AS "
             "tblUniquerefID, 'Insert' AS Action, 1 AS active, InvDate AS dateofaction, BillTime AS "
             "ActionTime,SyncStat FROM tblSales WHERE (SyncStat = 0)) as M where m.dateofaction='" +
             date + "' or SyncStat =0");
       }},
  };
  std::vector<Probe> out;
  for (auto& [what, run] : steps) {
    std::vector<double> t;
    for (int i = 0; i < 9; ++i) {
      const auto start = std::chrono::steady_clock::now();
      run();
      t.push_back(seconds(start) * 1000);
    }
    std::sort(t.begin(), t.end());
    out.push_back({what, t[t.size() / 2]});
  }
  return out;
}

struct MasterRun {
  int rows = 0;
  Span full, inEngine;
};

// Head office changes every ledger (one statement each, as the ERP saves them); the branch downloads
// them through downloadMasters; then B copies the same rows with one INSERT ... SELECT.
MasterRun masterDownload(Pair& p) {
  MasterRun run;
  db::Connection& c = p.central();
  auto ids = c.query("SELECT LID FROM tblLedger ORDER BY LID");
  for (std::size_t first = 0; first < ids.size(); first += 1000) {
    db::Transaction t(c);
    for (std::size_t r = first; r < ids.size() && r < first + 1000; ++r)
      c.execute("UPDATE tblLedger SET LName = LName + ' (rev)', CreditLimit = CreditLimit + 100 WHERE LID = " +
                ids.at(r, 0).toString());
    t.commit();
  }
  run.rows = static_cast<int>(ids.size());
  const Stopwatch fullWatch;
  auto o = sync::downloadMasters(p.ctx);
  run.full = fullWatch.elapsed();
  if (!o.completed || o.applied != run.rows)
    throw std::runtime_error(fmt::format("uploadMasters applied {} of {}", o.applied, run.rows));
  db::Connection& b = p.branch();
  if (scalar(b, "SELECT count(*) FROM tblLedger WHERE LName LIKE '% (rev)'") != run.rows)
    throw std::runtime_error("uploadMasters left branch ledgers unchanged");

  const std::string cols = columnList(b.query("SELECT * FROM tblLedger WHERE 1=0"));
  const Stopwatch watch;
  {
    db::Transaction t(b);
    b.execute("DELETE FROM tblLedger");
    const long long n = b.execute("INSERT INTO tblLedger (" + cols + ") SELECT " + cols + " FROM " +
                                  db::sqlBracket(kCentralServer) + ".HO01.dbo.tblLedger");
    t.commit();
    if (n != run.rows) throw std::runtime_error("INSERT ... SELECT copied " + std::to_string(n) + " ledgers");
  }
  run.inEngine = watch.elapsed();
  return run;
}

void line(const std::string& what, long long rows, Span s) {
  std::printf("  %-48s %7lld rows  wall %8.3f s %9.0f rows/s  cpu %8.3f s %9.0f rows/s\n", what.c_str(), rows, s.wall,
              rows / s.wall, s.cpu, rows / s.cpu);
}

// engine throughput / baseline throughput, on wall and on CPU time, against the lowest acceptable ratio.
void ratio(const std::string& what, Span engine, Span baseline, double target, const std::string& targetText) {
  const double wall = baseline.wall / engine.wall, cpu = baseline.cpu / engine.cpu;
  std::printf("  %-20s wall %.4f (1/%.1f)  cpu %.4f (1/%.1f)   target >= %s: %s\n", what.c_str(), wall, 1 / wall, cpu,
              1 / cpu, targetText.c_str(), wall >= target && cpu >= target ? "met" : "MISSED");
}

struct SizeRun {
  int vouchers = 0;
  FullRun full;
  Span idle;
  std::vector<Probe> probes;
  long long aboveMark = 0;
};

// Change-log rows that every automatic pass reads again (above the mark, of the working date).
long long rowsAboveMark(Pair& p) {
  return scalar(p.branch(), "SELECT count(*) FROM tblActivity WHERE ID > " + std::to_string(p.ctx.MaxActivityIDTrans));
}

// Upload, idle pass and the step timings at one size, without the baselines.
SizeRun uploadAndIdle(int sales) {
  const Stopwatch prep;
  Pair p(sales, 20);
  std::printf("  (prepared in %.1f s)\n", prep.elapsed().wall);
  SizeRun r;
  r.vouchers = p.sales + p.notes;
  r.full = fullUpload(p);
  line("full: uploadTransactions", r.vouchers, r.full.time);
  r.idle = idlePass(p);
  r.probes = probe(p);
  r.aboveMark = rowsAboveMark(p);
  if (p.host.complaints)
    std::printf("  %d boxes/notices, first: %s\n", p.host.complaints, p.host.firstComplaint.c_str());
  return r;
}

void printRss(const FullRun& r) {
  std::printf(
      "  resident set (MiB): before %.2f, at 10%% %.2f, 50%% %.2f, 100%% %.2f; 10%%->100%% %+.2f"
      " (activity grid: %d rows)\n",
      r.rss[0], r.rss[1], r.rss[2], r.rss[3], r.rss[3] - r.rss[1], r.activityRows);
}

// Time of the bigger run against the smaller one, and how far that is from proportional.
void scaling(const SizeRun& small, int vouchers, Span big) {
  const double n = static_cast<double>(vouchers) / small.vouchers;
  std::printf("  upload %d -> %d vouchers (%.1fx): wall %.2fx, cpu %.2fx (proportional: %.1fx, +/-20%% %s)\n",
              small.vouchers, vouchers, n, big.wall / small.full.time.wall, big.cpu / small.full.time.cpu, n,
              std::abs(big.wall / small.full.time.wall / n - 1) <= 0.2 ? "met" : "MISSED");
}

void idleLine(const SizeRun& small, int vouchers, Span idle) {
  std::printf(
      "  idle pass %d vouchers: %.2f ms (cpu %.2f)  %d vouchers: %.2f ms (cpu %.2f)  ratio wall %.2f cpu %.2f"
      "  target <= 1.5: %s\n",
      small.vouchers, small.idle.wall * 1000, small.idle.cpu * 1000, vouchers, idle.wall * 1000, idle.cpu * 1000,
      idle.wall / small.idle.wall, idle.cpu / small.idle.cpu, idle.wall / small.idle.wall <= 1.5 ? "met" : "MISSED");
}

void probeTable(const SizeRun& small, int vouchers, const std::vector<Probe>& probes, long long aboveMark) {
  std::printf("  change-log rows above the upload's mark after the upload: %lld and %lld\n", small.aboveMark,
              aboveMark);
  std::printf("  one voucher's steps and the idle queries, alone (median ms)\n  %-50s %9d %9d  ratio\n", "",
              small.vouchers, vouchers);
  for (std::size_t i = 0; i < probes.size(); ++i)
    std::printf("  %-50s %9.3f %9.3f %6.1f\n", probes[i].what.c_str(), small.probes[i].ms, probes[i].ms,
                probes[i].ms / small.probes[i].ms);
}

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // progress shows when the output goes to a file
  try {
    const int mainSales = envInt("ERPSYNC_BENCH_VOUCHERS", 10000);
    const int masters = envInt("ERPSYNC_BENCH_MASTERS", 10000);
    const int smallSales = envInt("ERPSYNC_BENCH_SMALL", 1000);
    const int largeSales = envInt("ERPSYNC_BENCH_LARGE", 0);

    std::printf("small size: %d sales (+%d notes)\n", smallSales, smallSales / 100);
    const SizeRun small = uploadAndIdle(smallSales);

    std::printf("\nmain size: %d sales (+%d notes), %d ledgers changed at head office\n", mainSales, mainSales / 100,
                masters);
    const Stopwatch prep;
    Pair p(mainSales, masters);
    std::printf("  (prepared in %.1f s)\n", prep.elapsed().wall);
    p.cloneCentral({"HOL", "HOB"});
    ConfigureLinkedServer(p.ctx, kCentralServer);
    const int vouchers = p.sales + p.notes;
    auto bareTarget = p.openCentralCatalog("HOL");
    const Span bare = bareUpload(p, *bareTarget);
    bareTarget.reset();
    const Span inEngine = inEngineUpload(p, "HOB");
    const FullRun full = fullUpload(p);
    const MasterRun m = masterDownload(p);
    const Span idle = idlePass(p);
    const auto probes = probe(p);
    const long long aboveMark = rowsAboveMark(p);
    if (p.host.complaints)
      std::printf("  %d boxes/notices, first: %s\n", p.host.complaints, p.host.firstComplaint.c_str());

    std::printf("\nupload (a sale is 1 header + %d lines)\n", kLinesPerSale);
    line("full: uploadTransactions", vouchers, full.time);
    line("L: literal INSERTs, transaction per voucher", vouchers, bare);
    line("B: INSERT ... SELECT via linked server", vouchers, inEngine);
    ratio("full/L throughput", full.time, bare, 0.5, "0.5");
    ratio("full/B throughput", full.time, inEngine, 1.0 / 30, "1/30");
    printRss(full);

    std::printf("\nmaster download\n");
    line("full: uploadMasters", m.rows, m.full);
    line("B: DELETE + INSERT ... SELECT via linked server", m.rows, m.inEngine);
    ratio("full/B throughput", m.full, m.inEngine, 1.0 / 30, "1/30");

    std::printf("\nscaling and idle\n");
    scaling(small, vouchers, full.time);
    idleLine(small, vouchers, idle);
    probeTable(small, vouchers, probes, aboveMark);

    if (largeSales > 0) {
      std::printf("\nlarge size: %d sales (+%d notes)\n", largeSales, largeSales / 100);
      const SizeRun large = uploadAndIdle(largeSales);
      printRss(large.full);
      std::printf(
          "  upload %d -> %d vouchers: wall %.2fx, cpu %.2fx (proportional: %.1fx, +/-20%% %s)\n", vouchers,
          large.vouchers, large.full.time.wall / full.time.wall, large.full.time.cpu / full.time.cpu,
          static_cast<double>(large.vouchers) / vouchers,
          std::abs(large.full.time.wall / full.time.wall / (static_cast<double>(large.vouchers) / vouchers) - 1) <= 0.2
              ? "met"
              : "MISSED");
      idleLine(small, large.vouchers, large.idle);
      probeTable(small, large.vouchers, large.probes, large.aboveMark);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "sync_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
