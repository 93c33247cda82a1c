// Voucher-shaped insert workload (one header and five detail rows per voucher, with texts, numbers
// and dates) through the embedded server, against the same rows inserted by SQLite directly from
// the already-translated SQL. Prints the ratio embedded / raw SQLite.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "db/connection.h"
#include "db/embedded/embedded_server.h"

namespace {

namespace fs = std::filesystem;
using erpsync::db::Connection;

struct Env {
  fs::path dir;
  std::unique_ptr<Connection> conn;
  sqlite3* raw = nullptr;
  long long nextEmbedded = 1;
  long long nextRaw = 1;

  Env() {
    std::random_device rd;
    dir = fs::temp_directory_path() / ("erpsync-bench-" + std::to_string(rd()));
    erpsync::db::embedded::createServer(dir / "srv");
    auto master = erpsync::db::openConnection(
        "User ID=sa;Initial Catalog=master;Data Source=embedded:" + (dir / "srv").string(), dir);
    for (const char* db : {"EMB", "RAW"}) {
      master->execute(std::string("CREATE DATABASE ") + db);
      auto c = erpsync::db::openConnection(
          std::string("User ID=sa;Initial Catalog=") + db + ";Data Source=embedded:" + (dir / "srv").string(), dir);
      c->execute(
          "CREATE TABLE [dbo].[tblSales]([InvID] [numeric](18, 0) NOT NULL, [InvNo] [varchar](20) NULL, [InvDate] "
          "[datetime] NULL, [Party] [varchar](100) NULL, [BillAmt] [numeric](18, 2) NULL, [TaxAmt] [numeric](18, 2) "
          "NULL, [UserNarration] [varchar](200) NULL, [VchTypeID] [numeric](18, 0) NULL, [CCID] [numeric](18, 0) NULL, "
          "[BillTime] [datetime] NULL, [SyncStat] [numeric](18, 0) NULL, CONSTRAINT [PK_tblSales] PRIMARY KEY "
          "CLUSTERED ([InvID] ASC))");
      c->execute(
          "CREATE TABLE [dbo].[tblSalesItem]([InvID] [numeric](18, 0) NOT NULL, [SlNo] [int] NOT NULL, [ItemID] "
          "[numeric](18, 0) NULL, [Qty] [numeric](18, 3) NULL, [Rate] [numeric](18, 2) NULL, [Amount] [numeric](18, "
          "2) NULL, [BatchCode] [varchar](50) NULL, [Expiry] [datetime] NULL, [Description] [varchar](100) NULL)");
    }
    conn = erpsync::db::openConnection("User ID=sa;Initial Catalog=EMB;Data Source=embedded:" + (dir / "srv").string(),
                                       dir);
    sqlite3_open_v2((dir / "srv" / "RAW.sqlite").string().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(raw, 10000);
    sqlite3_create_collation(
        raw, "TSQL", SQLITE_UTF8, nullptr, [](void*, int n1, const void* a, int n2, const void* b) {
          return sqlite3_strnicmp(static_cast<const char*>(a), static_cast<const char*>(b), n1 < n2 ? n1 : n2) != 0
                     ? sqlite3_strnicmp(static_cast<const char*>(a), static_cast<const char*>(b), n1 < n2 ? n1 : n2)
                     : n1 - n2;
        });
    sqlite3_exec(raw, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
  }
  ~Env() {
    conn.reset();
    sqlite3_close(raw);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

Env& env() {
  static Env e;
  return e;
}

// The T-SQL the synchroniser's voucher copy sends for one voucher.
void embeddedVoucher(Connection& c, long long id) {
  std::string n = std::to_string(id);
  c.execute(
      "Insert into tblSales (InvID,InvNo,InvDate,Party,BillAmt,TaxAmt,UserNarration,VchTypeID,CCID,BillTime,"
      "SyncStat) values (" +
      n + ",'S-" + n + "','06/Dec/2026','Cash Customer " + n + "'," + std::to_string(100 + id % 50) +
      ".5,12.25,'Narration for voucher " + n + "',7,2,'06/Dec/2026 10:15:07 AM',0)");
  for (int i = 1; i <= 5; ++i) {
    std::string s = std::to_string(i);
    c.execute("Insert into tblSalesItem (InvID,SlNo,ItemID,Qty,Rate,Amount,BatchCode,Expiry,Description) values (" + n +
              "," + s + "," + std::to_string(i * 3) + ",2.5,40.1,100.25,'B0000" + s + "','31/Dec/2027','Item " + s +
              " of voucher " + n + "')");
  }
}

// The same rows as SQLite statements, literals already converted by the translator.
void rawVoucher(sqlite3* db, long long id) {
  std::string n = std::to_string(id);
  std::string sql =
      "INSERT INTO \"main\".\"tblSales\" (\"InvID\",\"InvNo\",\"InvDate\",\"Party\",\"BillAmt\",\"TaxAmt\","
      "\"UserNarration\",\"VchTypeID\",\"CCID\",\"BillTime\",\"SyncStat\") VALUES (" +
      n + ",'S-" + n + "','2026-12-06 00:00:00.000','Cash Customer " + n + "'," + std::to_string(100 + id % 50) +
      ".5,12.25,'Narration for voucher " + n + "',7,2,'2026-12-06 10:15:07.000',0)";
  sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  for (int i = 1; i <= 5; ++i) {
    std::string s = std::to_string(i);
    sql =
        "INSERT INTO \"main\".\"tblSalesItem\" (\"InvID\",\"SlNo\",\"ItemID\",\"Qty\",\"Rate\",\"Amount\","
        "\"BatchCode\",\"Expiry\",\"Description\") VALUES (" +
        n + "," + s + "," + std::to_string(i * 3) + ",2.5,40.1,100.25,'B0000" + s +
        "','2027-12-31 00:00:00.000','Item " + s + " of voucher " + n + "')";
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  }
}

void BM_EmbeddedVoucherInsert(benchmark::State& state) {
  Env& e = env();
  for (auto _ : state) embeddedVoucher(*e.conn, e.nextEmbedded++);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EmbeddedVoucherInsert)->MinTime(2.0);

void BM_RawSqliteVoucherInsert(benchmark::State& state) {
  Env& e = env();
  for (auto _ : state) rawVoucher(e.raw, e.nextRaw++);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RawSqliteVoucherInsert)->MinTime(2.0);

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> perIteration;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (auto& r : runs)
      if (r.iterations > 0) perIteration[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  double emb = 0, raw = 0;
  for (auto& [name, t] : reporter.perIteration) {
    if (name.find("Embedded") != std::string::npos) emb = t;
    if (name.find("RawSqlite") != std::string::npos) raw = t;
  }
  if (emb > 0 && raw > 0) std::printf("embedded / raw SQLite time per voucher: %.2fx\n", emb / raw);
  benchmark::Shutdown();
  return 0;
}
