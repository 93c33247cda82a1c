// SUM over 100,000 rows of a numeric(18,2) column (exact decimals) against the same over a float
// column of the same table, both through the embedded server. Prints the ratio numeric / float.
#include <benchmark/benchmark.h>

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

constexpr int kRows = 100000;

struct Env {
  fs::path dir;
  std::unique_ptr<erpsync::db::Connection> conn;

  Env() {
    std::random_device rd;
    dir = fs::temp_directory_path() / ("erpsync-bench-sum-" + std::to_string(rd()));
    std::string server = "embedded:" + (dir / "srv").string();
    erpsync::db::embedded::createServer(dir / "srv");
    erpsync::db::openConnection("User ID=sa;Initial Catalog=master;Data Source=" + server, dir)
        ->execute("CREATE DATABASE SUMS");
    conn = erpsync::db::openConnection("User ID=sa;Initial Catalog=SUMS;Data Source=" + server, dir);
    conn->execute("CREATE TABLE tblAmounts (ID int NOT NULL, Amount numeric(18,2) NULL, F float NULL)");
    conn->beginTrans();
    for (int start = 0; start < kRows; start += 1000) {
      std::string sql = "INSERT INTO tblAmounts (ID, Amount, F) VALUES ";
      for (int i = start; i < start + 1000; ++i) {
        std::string v = std::to_string(i % 100000) + "." + std::to_string(10 + i % 90);
        sql += (i > start ? ", (" : "(") + std::to_string(i) + ", " + v + ", " + v + ")";
      }
      conn->execute(sql);
    }
    conn->commitTrans();
  }
  ~Env() {
    conn.reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

Env& env() {
  static Env e;
  return e;
}

void BM_SumNumeric(benchmark::State& state) {
  Env& e = env();
  for (auto _ : state) benchmark::DoNotOptimize(e.conn->query("SELECT SUM(Amount) FROM tblAmounts"));
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_SumNumeric)->MinTime(2.0);

void BM_SumFloat(benchmark::State& state) {
  Env& e = env();
  for (auto _ : state) benchmark::DoNotOptimize(e.conn->query("SELECT SUM(F) FROM tblAmounts"));
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_SumFloat)->MinTime(2.0);

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
  double exact = 0, flt = 0;
  for (auto& [name, t] : reporter.perIteration) {
    if (name.find("SumNumeric") != std::string::npos) exact = t;
    if (name.find("SumFloat") != std::string::npos) flt = t;
  }
  if (exact > 0 && flt > 0) std::printf("SUM numeric(18,2) / SUM float time over %d rows: %.2fx\n", kRows, exact / flt);
  benchmark::Shutdown();
  return 0;
}
