// The embedded server's memory on a week-offline upload: N vouchers (ERPSYNC_BENCH_VOUCHERS, default
// 10000; half sales, the rest orders, stock journals, job cards and notes) entered at a branch by the
// testbed's ERP, read by the upload's own reader and sent in the upload's own batches (up to fifty
// vouchers each) to head office's server on one connection, as a connection of `serve` receives them.
// Each budget of the server's parse cache runs in a child process of its own, on its own copy of the
// servers: "unbounded" keeps every batch's tree, as the cache did when it was bounded by a number of
// batches; the others bound it by bytes. Reported per budget: the child's resident set before and at
// its peak, the heap still in use after the last batch, and the time taken.
// Not run by the test suite. POSIX (fork).
#include <fmt/format.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "capture/trigger_texts.h"
#include "db/connection.h"
#include "db/embedded/parse_cache.h"
#include "scratch_folder.h"
#include "simulator.h"
#include "db/statement_params.h"
#include "sync/upload_batch.h"
#include "sync/voucher_kinds.h"
#include "testbed.h"

namespace {

using namespace erpsync;
namespace fs = std::filesystem;

constexpr const char* kCentral = "embedded:servers/central";

// Resident set of this process and its peak, in MiB.
double statusMiB(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::atof(line.c_str() + key.size()) / 1024.0;
  return 0;
}

double heapMiB() {
  return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0);
}

// The branch's vouchers as the upload sends them: batch texts of up to fifty vouchers.
std::vector<std::string> uploadBatches(db::Connection& branch) {
  std::vector<sync::VoucherCopy> copies;
  for (const sync::VoucherKind& kind : sync::voucherKinds()) {
    std::vector<long long> nos;
    const db::Recordset rs = branch.query("SELECT " + kind.key + " FROM " + kind.table + " ORDER BY " + kind.key);
    for (std::size_t r = 0; r < rs.size(); ++r) nos.push_back(rs.at(r, 0).toInt());
    for (auto& c : sync::readVoucherCopies(branch, kind, nos, "1=1")) copies.push_back(std::move(c));
  }
  std::vector<std::string> texts;
  sync::UploadBatch batch;
  auto flush = [&] {
    // Each batch as a text of its own (its values inlined), as a client without parameters sends it:
    // the case that fills the cache fastest.
    if (!batch.empty()) {
      const sync::BatchCall call = sync::uploadBatchCall(batch, "Branch One");
      texts.push_back(db::inlineParams(call.sql, call.params));
    }
    batch = sync::UploadBatch{};
  };
  for (const auto& c : copies) {
    if (!batch.fits(c.bytes())) flush();
    batch.vouchers.push_back(sync::SendUnit{&c, {}, false, 0});
    batch.bytes += c.bytes();
  }
  flush();
  return texts;
}

struct Figures {
  double rssBefore = 0, rssPeak = 0, heapBefore = 0, heapAfter = 0, seconds = 0;
  int failed = 0;
};

// Runs the batches on a fresh copy of the servers with the given budget (bytes; 0: unbounded).
Figures sendAll(const fs::path& prepared, const fs::path& home, std::size_t budget,
                const std::vector<std::string>& batches) {
  fs::copy(prepared, home, fs::copy_options::recursive);
  db::embedded::setDefaultParseCacheBudget(budget == 0 ? static_cast<std::size_t>(-1) / 2 : budget);
  auto central = db::openConnection(testbed::companyConnectionString(kCentral, "HO01"), home);
  Figures f;
  f.rssBefore = statusMiB("VmRSS");
  f.heapBefore = heapMiB();
  const auto start = std::chrono::steady_clock::now();
  for (const auto& text : batches) {
    try {
      central->query(text);
    } catch (const db::DbError& e) {
      if (f.failed++ == 0) std::fprintf(stderr, "%s\n", e.description().c_str());
    }
  }
  f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  f.rssPeak = statusMiB("VmHWM");
  f.heapAfter = heapMiB();
  return f;
}

// sendAll in a child process, so each budget starts from the same memory and has a peak of its own.
Figures inChild(const fs::path& prepared, const fs::path& home, std::size_t budget,
                const std::vector<std::string>& batches) {
  int fd[2];
  if (pipe(fd) != 0) throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid == 0) {
    close(fd[0]);
    Figures f = sendAll(prepared, home, budget, batches);
    const ssize_t n = write(fd[1], &f, sizeof f);
    _exit(n == static_cast<ssize_t>(sizeof f) ? 0 : 1);
  }
  close(fd[1]);
  Figures f;
  const ssize_t n = read(fd[0], &f, sizeof f);
  close(fd[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (n != static_cast<ssize_t>(sizeof f)) throw std::runtime_error("the child process gave no figures");
  return f;
}

}  // namespace

int main() {
  try {
    const char* env = std::getenv("ERPSYNC_BENCH_VOUCHERS");
    const int vouchers = env && *env ? std::atoi(env) : 10000;
    bench::ScratchFolder folder("erpsync-parse-cache-bench-");
    const fs::path prepared = folder.path / "prepared";
    testbed::InitOptions o;
    o.home = prepared;
    testbed::init(o);
    {
      // Head office's day-activity table, where the batches take the push lock, as Update Database makes it.
      auto central = db::openConnection(testbed::companyConnectionString(kCentral, o.centralDb), prepared);
      central->execute(capture::dayActivityTableCreate());
    }
    std::vector<std::string> batches;
    {
      auto branch = db::openConnection(testbed::companyConnectionString(o.branchServer, o.branchDb), prepared);
      testbed::BranchErp erp(*branch, 2, 1);
      const auto now = branch->query("SELECT getdate()").at(0, 0).toDateTime();
      static const testbed::VoucherFamily mix[] = {
          testbed::VoucherFamily::Sales,   testbed::VoucherFamily::Sales, testbed::VoucherFamily::Sales,
          testbed::VoucherFamily::Sales,   testbed::VoucherFamily::Order, testbed::VoucherFamily::StockJournal,
          testbed::VoucherFamily::JobCard, testbed::VoucherFamily::Note};
      std::mt19937 dice(1);
      for (int i = 0; i < vouchers; ++i) erp.enter(mix[dice() % std::size(mix)], *now);
      batches = uploadBatches(*branch);
    }
    std::size_t text = 0;
    for (const auto& b : batches) text += b.size();
    std::printf("%d vouchers in %zu batches, %.1f MiB of batch text\n", vouchers, batches.size(),
                static_cast<double>(text) / (1024.0 * 1024.0));
    std::printf("%-12s %10s %10s %12s %10s %8s %7s\n", "cache budget", "RSS start", "RSS peak", "heap growth",
                "seconds", "batch/s", "failed");
    int run = 0;
    for (std::size_t mib : {std::size_t{0}, std::size_t{32}, std::size_t{8}}) {
      const Figures f = inChild(prepared, folder.path / fmt::format("run{}", ++run), mib << 20, batches);
      std::printf("%-12s %9.0fM %9.0fM %11.0fM %10.1f %8.1f %7d\n",
                  mib == 0 ? "unbounded" : fmt::format("{} MiB", mib).c_str(), f.rssBefore, f.rssPeak,
                  f.heapAfter - f.heapBefore, f.seconds, static_cast<double>(batches.size()) / f.seconds, f.failed);
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
