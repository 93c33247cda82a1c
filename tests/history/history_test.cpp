// Seeded histories of the testbed's branch, played in-process (each verb of the synchroniser in a
// forked child) and judged by the oracle and the day's story. The test suite plays ERPSYNC_HISTORIES
// of them (default 52) spread over a few test cases so they run side by side;
// ERPSYNC_HISTORY_SEED=<n> plays that one history alone, and ERPSYNC_HISTORY_REPORT=<file> appends
// the figures of each case to a Markdown table there (`./run.sh sweep` plays 2,000).
#include "history.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>

#include "cli_app.h"
#include "db/connection.h"
#include "db/embedded/embedded_server.h"
#include "db/embedded/fault_injection.h"
#include "prepared_folder.h"
#include "test_support.h"
#include "testbed.h"
#include "workstation_clock.h"

namespace erpsync {
namespace {

namespace history = testbed::history;
namespace fs = std::filesystem;

constexpr int kBatches = 4;

// A history commits a few hundred small transactions; on a RAM-backed folder (when the machine has
// one and no TMPDIR is set) they cost no disk flushes and the histories run several times faster.
[[maybe_unused]] const bool kInMemory = [] {
  std::error_code ec;
  if (!std::getenv("TMPDIR") && fs::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK) == 0)
    return setenv("TMPDIR", "/dev/shm", 0) == 0;
  return false;
}();

int historyCount() {
  const char* env = std::getenv("ERPSYNC_HISTORIES");
  const int n = env ? std::atoi(env) : 0;
  return n > 0 ? n : 52;
}

std::optional<unsigned> replaySeed() {
  const char* env = std::getenv("ERPSYNC_HISTORY_SEED");
  if (!env || !*env) return std::nullopt;
  return static_cast<unsigned>(std::strtoul(env, nullptr, 10));
}

// The folder of this process's histories, with the testbed they all start from: both databases
// made and upgraded (a copy of the testbed prepared once per build).
struct Work {
  test::TempDir dir;
  fs::path base = dir.path() / "base";
  Work() { test::copyTestbed(base, {8, 12, true}); }
};
Work& work() {
  static Work w;
  return w;
}

void copyHome(const fs::path& from, const fs::path& to) {
  fs::remove_all(to);
  fs::create_directories(to);
  fs::copy(from, to, fs::copy_options::recursive);
}

struct Played {
  history::History history;
  history::Outcome outcome;
  std::string report;
};

Played playSeed(unsigned seed) {
  Played p;
  const fs::path home = work().dir.path() / ("h" + std::to_string(seed));
  copyHome(work().base, home);
  history::ForkRunner runner(&cli::run, &test::shiftProcessClock);
  history::PlayOptions o;
  o.home = home;
  o.replayHint = "ERPSYNC_HISTORY_SEED=" + std::to_string(seed) + " build/tests/test_history --gtest_filter='Seeded/*'";
  p.history = history::generate(seed);
  p.outcome = history::play(p.history, runner, o);
  p.report = history::report(p.history, p.outcome, o);
  if (p.outcome.ok() || !std::getenv("ERPSYNC_KEEP_TEST_DIRS")) fs::remove_all(home);
  return p;
}

// A violation without its particulars (numbers, names, values), so alike ones group together.
std::string category(const std::string& v) {
  std::string s = v.substr(0, v.rfind(" (found after step"));
  if (auto only = s.find("; only at"); only != std::string::npos) s.resize(only);
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '(' || c == '"') {
      const auto end = s.find(c == '(' ? ')' : '"', i + 1);
      if (end == std::string::npos) break;
      out += c == '(' ? "(..)" : "\"..\"";
      i = end;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      while (i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1]))) ++i;
      out += '#';
    } else {
      out += c;
    }
  }
  return out.size() > 160 ? out.substr(0, 160) + "..." : out;
}

class Histories : public ::testing::TestWithParam<int> {};

TEST_P(Histories, EveryHistoryEndsWithBothSidesInStep) {
  std::vector<unsigned> seeds;
  if (auto one = replaySeed()) {
    if (GetParam() != 0) GTEST_SKIP() << "replaying seed " << *one << " in the first case";
    seeds.push_back(*one);
  } else {
    for (int i = 1; i <= historyCount(); ++i)
      if (i % kBatches == GetParam()) seeds.push_back(static_cast<unsigned>(i));
  }
  const auto start = std::chrono::steady_clock::now();
  int failing = 0, violations = 0, runs = 0, faults = 0, closed = 0;
  // Each kind of violation: how many, and the shortest history that shows it.
  std::map<std::string, std::pair<int, const Played*>> groups;
  std::vector<Played> kept;
  kept.reserve(seeds.size());
  for (unsigned seed : seeds) {
    Played p = playSeed(seed);
    if (replaySeed()) std::cout << p.report;
    runs += p.outcome.syncRuns;
    faults += p.outcome.faultsFired;
    closed += p.outcome.dayClosed ? 1 : 0;
    if (p.outcome.ok()) continue;
    ++failing;
    violations += static_cast<int>(p.outcome.violations.size());
    kept.push_back(std::move(p));
    const Played& k = kept.back();
    for (const auto& v : k.outcome.violations) {
      auto& [count, example] = groups[category(v)];
      ++count;
      if (!example || k.outcome.recipe.size() < example->outcome.recipe.size()) example = &k;
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cout << "[ history  ] " << seeds.size() << " histories, " << failing << " failing, " << violations
            << " violations, " << runs << " synchroniser runs, " << faults << " faults fired, " << closed
            << " day ends closed, " << seconds << " s\n";

  std::string summary;
  for (const auto& [what, g] : groups)
    summary += "  " + std::to_string(g.first) + " x " + what + "  (e.g. seed " + std::to_string(g.second->history.seed) +
               ")\n";
  if (!replaySeed()) {
    // One recipe per kind of violation, the shortest.
    std::set<const Played*> shown;
    for (const auto& [what, g] : groups)
      if (shown.insert(g.second).second) summary += "\n" + g.second->report;
  }
  EXPECT_EQ(failing, 0) << failing << " of " << seeds.size() << " histories broke a rule:\n" << summary;

  if (const char* file = std::getenv("ERPSYNC_HISTORY_REPORT"); file && *file) {
    std::ofstream out(file, std::ios::app);
    out << "| " << GetParam() << " | " << seeds.size() << " | " << failing << " | " << violations << " | " << runs
        << " | " << faults << " | " << closed << " | " << static_cast<long long>(seconds) << " |\n";
    std::ofstream details(std::string(file) + ".details", std::ios::app);
    for (const auto& [what, g] : groups)
      details << g.first << " x " << what << " (e.g. seed " << g.second->history.seed << ")\n";
  }
}

INSTANTIATE_TEST_SUITE_P(Seeded, Histories, ::testing::Range(0, kBatches));

// ---- the generator and the runner themselves ----

std::vector<std::string> described(const history::History& h) {
  std::vector<std::string> out;
  for (const auto& s : h.steps) out.push_back(s.describe());
  return out;
}

TEST(HistoryGenerator, TheSeedAloneMakesTheHistory) {
  EXPECT_EQ(described(history::generate(17)), described(history::generate(17)));
  EXPECT_NE(described(history::generate(17)), described(history::generate(18)));
}

TEST(HistoryGenerator, HistoriesHaveEveryKindOfStepAndSoundFaults) {
  std::set<history::StepKind> kinds;
  std::set<std::string> verbs;
  std::set<history::FaultKind> faults;
  for (unsigned seed = 1; seed <= 300; ++seed) {
    const auto h = history::generate(seed);
    ASSERT_GE(h.steps.size(), 10u);
    ASSERT_LE(h.steps.size(), 25u);
    EXPECT_EQ(h.steps[0].kind, history::StepKind::Enter) << "a history starts with the ERP at work";
    bool late = false;
    for (const auto& s : h.steps) {
      kinds.insert(s.kind);
      if (s.kind == history::StepKind::Clock && s.clock == history::ClockMove::LateEvening) late = true;
      if (s.kind == history::StepKind::Clock && s.clock == history::ClockMove::PastMidnight) {
        EXPECT_TRUE(late) << "seed " << seed << ": midnight comes after the late evening";
      }
      if (s.kind != history::StepKind::Sync) continue;
      verbs.insert(s.verb.substr(0, s.verb.find(' ')));
      if (!s.fault) continue;
      faults.insert(s.fault->kind);
      std::string why;
      const auto plan = db::embedded::faults::parse(s.fault->plan(), &why);
      ASSERT_TRUE(plan) << s.fault->plan() << ": " << why;
      EXPECT_GE(plan->at, 1);
      EXPECT_EQ(plan->after, s.fault->kind == history::FaultKind::LostReply);
    }
  }
  EXPECT_EQ(kinds.size(), 12u);
  EXPECT_EQ(verbs, (std::set<std::string>{"day-end", "day-start", "purge", "resync", "run", "upload"}));
  EXPECT_EQ(faults.size(), 4u);
}

// A runner of either kind: exit code, output, the fault it was given and whether it fired.
void expectRunnerReports(history::Runner& runner, const std::string& name) {
  const fs::path home = work().dir.path() / name;
  copyHome(work().base, home);
  const std::vector<std::string> args{"counts", "--home", home.string(), "--yes"};
  auto clean = runner.run({args, std::nullopt, 0});
  EXPECT_EQ(clean.exitCode, 0) << clean.output;
  EXPECT_NE(clean.output.find("ItemMaster"), std::string::npos) << clean.output;
  EXPECT_GT(clean.calls, 0);

  history::Fault crash;
  crash.kind = history::FaultKind::Crash;
  crash.at = 2;
  auto crashed = runner.run({args, crash, 0});
  EXPECT_EQ(crashed.exitCode, db::embedded::faults::kCrashExitCode);
  EXPECT_TRUE(crashed.faultFired);

  history::Fault late;
  late.at = 100000;
  auto missed = runner.run({args, late, 0});
  EXPECT_EQ(missed.exitCode, 0);
  EXPECT_FALSE(missed.faultFired) << "a call the run never makes";
}

TEST(HistoryRunner, AForkedVerbReportsItsExitCodeOutputAndFault) {
  history::ForkRunner runner(&cli::run, &test::shiftProcessClock);
  expectRunnerReports(runner, "fork");
}

TEST(HistoryRunner, AChildProcessReportsItsExitCodeOutputAndFault) {
  history::ProcessRunner runner(test::cliPath());
  expectRunnerReports(runner, "process");
}

TEST(HistoryRunner, AForkedVerbSeesTheServersAndTheWorkstationAtTheHistorysTime) {
  const fs::path home = work().dir.path() / "clock";
  copyHome(work().base, home);
  // The next day's first minutes: the working date (head office's) and the day rows' date (the
  // workstation's) are both that day.
  const db::DateTime then{2031, 3, 14, 0, 5, 0};
  const long long real = db::embedded::serverNow().totalSeconds() - db::embedded::clockOffsetSeconds();
  history::ForkRunner runner(&cli::run, &test::shiftProcessClock);
  auto r = runner.run({{"day-start", "--home", home.string(), "--yes"}, std::nullopt, then.totalSeconds() - real});
  EXPECT_NE(r.output.find("6 ledger balances for 14/Mar/2031."), std::string::npos) << r.output;
  auto branch = db::openConnection(testbed::companyConnectionString("embedded:servers/branch", "BR01"), home);
  auto rows = branch->query("SELECT DateOF FROM tblDayActivity WHERE Activity = 'DayStart'");
  ASSERT_FALSE(rows.empty()) << r.output;
  for (std::size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(rows.at(i, 0).toDateTime()->dateOnly(), then.dateOnly()) << r.output;
}

}  // namespace
}  // namespace erpsync
