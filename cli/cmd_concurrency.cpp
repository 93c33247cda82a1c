// The concurrency run. Every branch has two processes at work, as at a real branch: the ERP saving
// vouchers a chunk at a time and editing and deleting some, uploaded or not (testbed erp), and the
// synchroniser's unattended runner (run, restarted every few passes until the ERP is done, then until
// nothing is left). A further process plays head office changing masters. The runners see the servers' clock ten
// minutes on so a voucher is old enough to go as soon as it is saved. The child processes are started through the
// shell.
#include "cmd_concurrency.h"

#include <fmt/format.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <mutex>
#include <thread>
#include <vector>

#include "branch_check.h"
#include "branches.h"
#include "cmd_app.h"
#include "db/connection.h"
#include "db/embedded/lock_wait.h"
#include "oracle.h"
#include "testbed.h"

namespace erpsync::cli {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

std::string quoted(const std::filesystem::path& p) {
  return "'" + p.string() + "'";
}

class Children {
 public:
  Children(std::filesystem::path cli, std::filesystem::path logs) : cli_(std::move(cli)), logs_(std::move(logs)) {}

  // Runs erpsync-cli with args (environment assignments in env first); its output is appended to
  // logs/<log>.out. Returns true when it ended with exit code 0.
  bool run(const std::string& env, const std::string& args, const std::string& log) {
    const std::string cmd =
        env + (env.empty() ? "" : " ") + quoted(cli_) + " " + args + " >> " + quoted(logs_ / (log + ".out")) + " 2>&1";
    const bool ok = std::system(cmd.c_str()) == 0;
    if (!ok) {
      std::lock_guard lock(mutex_);
      ++failures_;
    }
    return ok;
  }
  int failures() const {
    std::lock_guard lock(mutex_);
    return failures_;
  }

 private:
  std::filesystem::path cli_, logs_;
  mutable std::mutex mutex_;
  int failures_ = 0;
};

// Vouchers at the branch that are not marked as uploaded yet.
long long pending(const testbed::BranchHome& b) {
  auto c = db::openConnection(testbed::companyConnectionString("embedded:servers/branch", b.branchDb), b.home);
  long long n = 0;
  for (const char* t : {"tblSales", "tblOrder", "tblStockJournal", "tblJobcard", "tblNotes"})
    n += c->query(std::string("SELECT count(*) FROM ") + t + " WHERE isnull(SyncStat,0)=0").at(0, 0).toInt();
  return n;
}

// One round of the ERP at a branch: n vouchers of every family, most of them sales, then edits and
// deletions of vouchers already uploaded and still waiting.
std::string enterArgs(const testbed::BranchHome& b, int n, int edits, int deletes, unsigned seed) {
  return fmt::format("testbed erp --home {} --vouchers {} --edits {} --deletes {} --cost-centre {} --seed {}",
                     quoted(b.home), n, edits, deletes, b.costCentre, seed);
}

// The voucher oracle for every branch of the set: findings as text, "" when there are none.
std::string oracleFindings(const testbed::BranchSet& set, long long& count) {
  std::string out;
  count = 0;
  for (const auto& b : set.branches) {
    auto branch = db::openConnection(testbed::companyConnectionString("embedded:servers/branch", b.branchDb), b.home);
    auto central = db::openConnection(testbed::companyConnectionString(set.centralServer, set.centralDb), b.home);
    testbed::oracle::Options o;
    o.costCentre = b.costCentre;
    const auto found = testbed::oracle::lines(testbed::oracle::check(*branch, *central, o));
    count += static_cast<long long>(found.size());
    for (std::size_t i = 0; i < found.size() && i < 10; ++i) out += "  " + b.branchDb + " " + found[i] + "\n";
  }
  return out;
}

// Where a process of the run writes its lock waits as it exits (one line per process; a runner killed on
// purpose writes none).
std::filesystem::path lockWaitFile(const std::filesystem::path& logs, const std::string& process) {
  return logs / ("lock-wait-" + process + ".txt");
}

std::string lockWaitEnv(const std::filesystem::path& logs, const std::string& process) {
  return "ERPSYNC_LOCK_WAIT_FILE=" + quoted(lockWaitFile(logs, process));
}

// The figures of every process that wrote to the file, added up; processes: how many did.
db::embedded::LockWaitStats readLockWaits(const std::filesystem::path& file, int& processes) {
  db::embedded::LockWaitStats all;
  processes = 0;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);)
    if (auto s = db::embedded::LockWaitStats::fromLine(line)) {
      all.merge(*s);
      ++processes;
    }
  return all;
}

std::string lockWaitRow(const std::string& name, int processes, const db::embedded::LockWaitStats& s) {
  auto ms = [](std::chrono::microseconds us) { return static_cast<double>(us.count()) / 1000.0; };
  return fmt::format("  {:<12} {:>9} {:>8} {:>7} {:>7.1f} {:>7.1f} {:>10.1f} {:>10.1f} {:>9.1f} {:>9.1f} {:>6.1f}%\n",
                     name, processes, s.calls(), s.waitedCalls(), ms(s.percentile(0.5)), ms(s.percentile(0.99)),
                     ms(s.percentileOfWaits(0.5)), ms(s.percentileOfWaits(0.99)), ms(s.max()), ms(s.total()) / 1000.0,
                     100.0 * s.waitingShare());
}

// How long the calls of each process waited for other connections' locks on the embedded servers, per
// branch process (the ERP, the runner), head office's, and in all.
std::string lockWaitReport(const testbed::BranchSet& set, const std::filesystem::path& logs) {
  std::string out =
      "Lock waits: each call (a batch, a begin or a commit) on the embedded servers and how long it waited for "
      "another connection's locks, in ms: p50 and p99 of all calls, of the calls that waited, the longest; "
      "the seconds waited and their share of the processes' own run time\n";
  out += fmt::format("  {:<12} {:>9} {:>8} {:>7} {:>7} {:>7} {:>10} {:>10} {:>9} {:>9} {:>7}\n", "process", "processes",
                     "calls", "waited", "p50", "p99", "waited p50", "waited p99", "max", "waiting s", "share");
  db::embedded::LockWaitStats all;
  int allProcesses = 0;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < set.branches.size(); ++i)
    for (const char* role : {"erp", "run"}) names.push_back(fmt::format("b{}-{}", i + 1, role));
  names.push_back("head-office");
  for (const auto& name : names) {
    int processes = 0;
    const auto s = readLockWaits(lockWaitFile(logs, name), processes);
    out += lockWaitRow(name, processes, s);
    all.merge(s);
    allProcesses += processes;
  }
  return out + lockWaitRow("all", allProcesses, all);
}

}  // namespace

namespace {

// The erpsync-cli the children run and the run's folder; an exit code when they cannot be used.
int checkPlaces(const ConcurrencyOptions& o, std::filesystem::path& cli, std::filesystem::path& dir,
                std::ostream& err) {
  cli = o.cli;
  if (cli.empty()) {
    std::error_code unknown;
    cli = std::filesystem::read_symlink("/proc/self/exe", unknown);
    if (unknown) {
      err << "Name the erpsync-cli to run with --cli\n";
      return kExitUsage;
    }
  }
  dir = std::filesystem::absolute(o.dir);
  if (dir.string().find('\'') != std::string::npos || cli.string().find('\'') != std::string::npos) {
    err << "Folder names with a quote are not supported here\n";
    return kExitUsage;
  }
  // The folder is emptied first: only an empty one or the folder of an earlier run.
  std::error_code ec;
  if (std::filesystem::exists(dir) && !std::filesystem::is_empty(dir, ec) &&
      !(std::filesystem::exists(dir / "b1" / "Resources") && std::filesystem::exists(dir / "logs"))) {
    err << dir.string() << " is neither empty nor the folder of an earlier run: name another one\n";
    return kExitUsage;
  }
  return kExitOk;
}

// The branches made afresh, each upgraded by Update Database, and the push lock's recorder at head
// office; an exit code when that failed.
int setUpBranches(const ConcurrencyOptions& o, const std::filesystem::path& dir, Children& children,
                  testbed::BranchSet& set, std::ostream& err) {
  const auto logs = dir / "logs";
  try {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(logs);
    testbed::BranchSetOptions bo;
    bo.root = dir;
    bo.branches = o.branches;
    bo.items = o.items;
    bo.ledgers = o.ledgers;
    set = testbed::initBranchSet(bo);
    for (const auto& b : set.branches)
      if (!children.run("", "update-database --yes --home " + quoted(b.home), "setup")) {
        err << "Update Database failed at " << b.branchDb << ", see " << (logs / "setup.out").string() << '\n';
        return kExitOperationError;
      }
    auto central = db::openConnection(testbed::companyConnectionString(set.centralServer, set.centralDb), dir);
    testbed::installLockRecorder(*central);
  } catch (const db::DbError& e) {
    err << e.description() << '\n';
    return kExitOperationError;
  } catch (const std::exception& e) {
    err << e.what() << '\n';
    return kExitOperationError;
  }
  return kExitOk;
}

// The run itself: a thread per branch's ERP and per branch's runner, and one for head office.
class Play {
 public:
  Play(const ConcurrencyOptions& o, const testbed::BranchSet& set, const std::filesystem::path& logs,
       Children& children)
      : o_(o),
        set_(set),
        logs_(logs),
        children_(children),
        // The runners reach head office over the simulated link when asked: every call there waits a
        // round trip.
        runnerEnv_("ERPSYNC_SERVER_CLOCK_OFFSET=600" +
                   (o.rttMs > 0 ? fmt::format(" ERPSYNC_LINK_RTT_MS={}", o.rttMs) : std::string())),
        edits_(o.edits >= 0 ? o.edits : std::max(1, o.chunk / 10)),
        deletes_(o.deletes >= 0 ? o.deletes : std::max(1, o.chunk / 10)),
        entering_(o.branches),
        drained_(set.branches.size(), 0),
        left_(set.branches.size(), 0) {}

  // Plays every branch and head office until all is drained; returns the seconds it took.
  double run() {
    start_ = Clock::now();
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < set_.branches.size(); ++i) {
      threads.emplace_back([this, i] { erp(i); });
      threads.emplace_back([this, i] { runner(i); });
    }
    threads.emplace_back([this] { headOffice(); });
    for (auto& t : threads) t.join();
    return secondsSince(start_);
  }

  std::string summary(double duration) const {
    double lastDrained = 0;
    long long stillPending = 0;
    for (std::size_t i = 0; i < drained_.size(); ++i) {
      lastDrained = std::max(lastDrained, drained_[i]);
      if (left_[i] > 0) stillPending += left_[i];
    }
    const long long total = static_cast<long long>(o_.branches) * o_.vouchers;
    return fmt::format(
        "Branches {}, vouchers entered per branch {} ({} in all), head-office master rounds {} ({} statements "
        "each), round trip to head office {} ms\n"
        "Duration {:.1f} s (last branch drained at {:.1f} s), {:.1f} vouchers/s through the push lock\n"
        "Runners killed on purpose {}; child processes that ended with an error {} (logs in {}), vouchers still "
        "waiting {}\n",
        o_.branches, o_.vouchers, total, masterRounds_.load(), o_.masters, o_.rttMs, duration, lastDrained,
        duration > 0 ? static_cast<double>(total) / duration : 0.0, kills_.load(), children_.failures(), logs_.string(),
        stillPending);
  }

 private:
  static std::string branchLog(std::size_t i) { return fmt::format("b{}", i + 1); }

  // The ERP at branch i: the vouchers a chunk at a time, with edits and deletions after each.
  void erp(std::size_t i) {
    const auto& b = set_.branches[i];
    const std::string log = branchLog(i) + "-erp";
    for (int done = 0, round = 0; done < o_.vouchers; ++round) {
      const int n = std::min(o_.chunk, o_.vouchers - done);
      children_.run(lockWaitEnv(logs_, log),
                    enterArgs(b, n, edits_, deletes_, static_cast<unsigned>((i + 1) * 100000 + round)), log);
      done += n;
    }
    --entering_;
  }

  // The synchroniser at branch i: restarted every ten passes while the ERP works (killed now and then
  // when asked), then until the branch has nothing left.
  void runner(std::size_t i) {
    const auto& b = set_.branches[i];
    const std::string log = branchLog(i);
    const std::string home = " --yes --home " + quoted(b.home);
    const std::string env = lockWaitEnv(logs_, log + "-run") + " " + runnerEnv_;
    for (int launch = 1; entering_ > 0 || streaming_; ++launch) {
      std::string killing;
      if (o_.killEvery > 0 && launch % o_.killEvery == 0) {
        killing = fmt::format(" timeout -s KILL {}", 1 + (launch * 7 + static_cast<int>(i)) % 4);
        ++kills_;
      }
      children_.run(env + killing, fmt::format("run --passes 10 --wait-ms {}", o_.waitMs) + home, log);
    }
    // The ERP is done everywhere: run until this branch has nothing left (a busy lock is not quiet),
    // the last master changes included.
    for (int attempt = 0; attempt < 5; ++attempt) {
      children_.run(env, fmt::format("run --passes 1000 --wait-ms {} --until-quiet", o_.waitMs) + home, log);
      try {
        if ((left_[i] = pending(b)) == 0) break;
      } catch (const db::DbError&) {
        left_[i] = -1;  // unknown: the check below reads the branch again
      }
    }
    drained_[i] = secondsSince(start_);
  }

  // Head office changing masters while any ERP still works.
  void headOffice() {
    const auto& h = set_.branches.front();
    for (unsigned seed = 1; entering_ > 0; ++seed) {
      children_.run(lockWaitEnv(logs_, "head-office"),
                    fmt::format("testbed simulate --home {} --sales 0 --orders 0 --stock-journals 0 --job-cards 0 "
                                "--notes 0 --edits 0 --deletes 0 --masters {} --board-rates 0 --seed {}",
                                quoted(h.home), o_.masters, seed),
                    "head-office");
      ++masterRounds_;
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    streaming_ = false;
  }

  const ConcurrencyOptions& o_;
  const testbed::BranchSet& set_;
  const std::filesystem::path& logs_;
  Children& children_;
  const std::string runnerEnv_;
  const int edits_, deletes_;
  std::atomic<int> entering_;
  std::atomic<bool> streaming_{true};  // head office still changing masters
  std::atomic<long long> masterRounds_{0};
  std::atomic<int> kills_{0};
  std::vector<double> drained_;
  std::vector<long long> left_;
  Clock::time_point start_;
};

// The branch-set check and the voucher oracle; the exit code of the run.
int verdict(const testbed::BranchSet& set, std::ostream& out, std::ostream& err) {
  try {
    auto report = testbed::checkBranchSet(set);
    long long findings = 0;
    const std::string oracle = oracleFindings(set, findings);
    std::string text = testbed::describe(report);
    // The oracle's verdict goes before the overall result line.
    const auto result = text.rfind("RESULT ");
    text.insert(result, fmt::format("voucher oracle findings {}\n{}", findings, oracle));
    const bool ok = report.ok() && findings == 0;
    if (report.ok() && !ok) text.replace(text.rfind("RESULT ok"), 9, "RESULT violations");
    out << text << std::flush;
    return ok ? kExitOk : kExitOperationError;
  } catch (const db::DbError& e) {
    err << e.description() << '\n';
    return kExitOperationError;
  }
}

}  // namespace

int runConcurrency(const ConcurrencyOptions& o, std::ostream& out, std::ostream& err) {
  std::filesystem::path cli, dir;
  if (const int code = checkPlaces(o, cli, dir, err); code != kExitOk) return code;
  const auto logs = dir / "logs";
  Children children(cli, logs);
  testbed::BranchSet set;
  const auto setupStart = Clock::now();
  if (const int code = setUpBranches(o, dir, children, set, err); code != kExitOk) return code;
  out << fmt::format("Set up {} branches in {:.1f} s\n", o.branches, secondsSince(setupStart)) << std::flush;
  Play play(o, set, logs, children);
  const double duration = play.run();
  out << play.summary(duration) << lockWaitReport(set, logs) << std::flush;
  return verdict(set, out, err);
}

void addConcurrencyCommand(CLI::App& app, int& exitCode) {
  CLI::App* tb = nullptr;
  try {
    tb = app.get_subcommand("testbed");
  } catch (const CLI::OptionNotFound&) {
    tb = app.add_subcommand("testbed", "The ERP's side: sample company databases on embedded servers");
  }
  auto o = std::make_shared<ConcurrencyOptions>();
  auto dir = std::make_shared<std::string>();
  auto cliPath = std::make_shared<std::string>();
  auto* c = tb->add_subcommand("concurrency",
                               "Branches entering and uploading vouchers into one head office at once, then the check");
  c->add_option("--dir", *dir, "folder for the branches' program folders (made afresh)")->required();
  c->add_option("--branches", o->branches, "number of branches (default 8)")->check(CLI::Range(1, 64));
  c->add_option("--vouchers", o->vouchers, "vouchers entered at each branch (default 1000)")
      ->check(CLI::Range(1, 1000000));
  c->add_option("--chunk", o->chunk, "vouchers the ERP saves in one go (default 50)")->check(CLI::Range(1, 100000));
  c->add_option("--edits", o->edits, "vouchers the ERP edits after each chunk (default: a tenth of the chunk)")
      ->check(CLI::NonNegativeNumber);
  c->add_option("--deletes", o->deletes, "vouchers the ERP deletes after each chunk (default: a tenth of the chunk)")
      ->check(CLI::NonNegativeNumber);
  c->add_option("--masters", o->masters, "head-office master statements per round (default 3)")
      ->check(CLI::NonNegativeNumber);
  c->add_option("--wait-ms", o->waitMs, "the runners' pause between passes (default 200)")
      ->check(CLI::NonNegativeNumber);
  c->add_option("--kill-every", o->killEvery,
                "kill every Nth runner of a branch 1 to 4 s after its start (default 0: never)")
      ->check(CLI::NonNegativeNumber);
  c->add_option("--rtt-ms", o->rttMs, "round trip to head office of every runner's call, simulated (default 0)")
      ->check(CLI::Range(0, 10000));
  c->add_option("--cli", *cliPath, "the erpsync-cli the branch processes run (default: this program)");
  c->callback([o, dir, cliPath, &exitCode] {
    o->dir = *dir;
    o->cli = *cliPath;
    exitCode = runConcurrency(*o, std::cout, std::cerr);
  });
}

}  // namespace erpsync::cli
