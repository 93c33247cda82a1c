// Seeded random histories of one branch: the ERP entering, editing and deleting vouchers (before and
// after they went up), head office changing or deleting its copies, the operator ticking and
// unticking voucher types, the clock crossing midnight, and the synchroniser's verbs run in between,
// some of them meeting an injected fault (a failed statement, a lost link, a reply lost after the
// work was done, a crash). Every history ends with the recovery a user makes (every type ticked, the
// automatic passes, the day end until it closes), then the voucher oracle and the day's story: which
// vouchers are locked and which day rows exist follow from the day starts and day ends that completed.
//
// A history is a list of steps made from its seed alone, so it can be printed as a recipe and played
// again exactly. The synchroniser's verbs go through a Runner: in-process (fork) for the tests, child
// processes of erpsync-cli for the concurrency tool.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "db/value.h"
#include "oracle.h"
#include "simulator.h"

namespace erpsync::testbed::history {

// The testbed's branch: BR01, cost centre 2, reporting to HO01.
inline constexpr int kCostCentre = 2;

enum class StepKind {
  Enter,                // the ERP enters a voucher
  Edit,                 // edits one not yet uploaded
  EditUploaded,         // edits one the branch marked uploaded
  Delete,               // deletes one not yet uploaded
  DeleteUploaded,       // deletes one the branch marked uploaded
  DeleteNewestAndEnter, // deletes the family's newest voucher and enters another (same id and number)
  CentralEdit,          // head office edits its live copy of one of the branch's vouchers
  CentralDelete,        // head office deletes such a copy
  Untick,               // the operator unticks one of the branch's voucher types
  Tick,                 // and ticks one again
  Clock,                // the clock moves on (minutes), to 23:50, or past midnight
  Sync,                 // a verb of the synchroniser, perhaps with a fault
};

enum class FaultKind { Error, Drop, LostReply, Crash };
const char* faultKindName(FaultKind k);

struct Fault {
  FaultKind kind = FaultKind::Error;
  long error = 1205;       // kind Error: the server's error number
  bool centralOnly = true; // count only the calls to head office, else every call
  long long at = 1;        // the counted call that fails
  // The plan as ERPSYNC_FAULT takes it.
  std::string plan() const;
};

enum class ClockMove { Minutes, LateEvening, PastMidnight };

struct Step {
  StepKind kind = StepKind::Enter;
  VoucherFamily family = VoucherFamily::Sales;
  unsigned pick = 0;  // which candidate (modulo their number) the step acts on
  LineEdit lines = LineEdit::None;
  ClockMove clock = ClockMove::Minutes;
  int minutes = 0;
  std::string verb;  // Sync: erpsync-cli arguments, without --home and --yes
  std::optional<Fault> fault;
  // The step as the recipe shows it before it is played ("edit an uploaded sale, lines: reinsert").
  std::string describe() const;
};

struct History {
  unsigned seed = 0;
  std::vector<Step> steps;
};

// The history of a seed: 10 to 25 steps.
History generate(unsigned seed);

// ---- the synchroniser's verbs ----

struct SyncRun {
  std::vector<std::string> args;  // erpsync-cli arguments, --home and --yes included
  std::optional<Fault> fault;
  long long clockOffsetSeconds = 0;  // the servers' clock as the run sees it
};

struct RunResult {
  int exitCode = -1;
  bool faultFired = false;  // the planned fault happened (a crash: the exit code says so)
  long long calls = -1;     // calls counted (as the plan counts them); -1 when unknown
  std::string output;
};

class Runner {
 public:
  virtual ~Runner() = default;
  virtual RunResult run(const SyncRun& run) = 0;
};

// Runs the verb in a child of this process made with fork(): the child installs the fault plan and
// the clock offset, calls `entry` (erpsync::cli::run) and ends with its exit code. The caller must not
// use its own database connections while the child runs; it opens fresh ones afterwards.
//
// The synchroniser reads two clocks: the servers' (GETDATE) and the workstation's (the day rows'
// dates, the working date when head office cannot be asked). At a branch they agree. `shiftClock`,
// when given, moves the child's whole clock (both) by the offset, and the servers' own offset stays 0;
// without it only the servers' clock moves.
class ForkRunner : public Runner {
 public:
  using Entry = int (*)(int, char**);
  using ClockShift = void (*)(long long seconds);
  explicit ForkRunner(Entry entry, ClockShift shiftClock = nullptr) : entry_(entry), shiftClock_(shiftClock) {}
  RunResult run(const SyncRun& run) override;

 private:
  Entry entry_;
  ClockShift shiftClock_;
};

// Runs erpsync-cli as a child process with ERPSYNC_FAULT and ERPSYNC_SERVER_CLOCK_OFFSET set. The
// workstation's clock stays the machine's: a history played through it should start at the machine's
// time and stay within its day.
class ProcessRunner : public Runner {
 public:
  explicit ProcessRunner(std::filesystem::path cli) : cli_(std::move(cli)) {}
  RunResult run(const SyncRun& run) override;

 private:
  std::filesystem::path cli_;
};

// ---- playing a history ----

struct Outcome {
  std::vector<std::string> recipe;      // one line a step as played, the recovery included
  std::vector<std::string> violations;  // "rule: text", each with the step it was found after
  int syncRuns = 0;
  int faultsFired = 0;
  bool dayClosed = false;  // the recovery's day end closed
  bool ok() const { return violations.empty(); }
};

struct PlayOptions {
  std::filesystem::path home;  // a program folder holding a testbed with both databases upgraded
  int costCentre = kCostCentre;
  std::string branchDb = "BR01";
  std::string centralDb = "HO01";
  std::string branchServer = "embedded:servers/branch";
  std::string centralServer = "embedded:servers/central";
  // The day the history starts on (10:00 that day). Histories start from a fixed day, so a replay
  // does not depend on when it runs.
  db::DateTime start{2026, 12, 9, 10, 0, 0};
  // How to replay it, for the report ("ERPSYNC_HISTORY_SEED=N build/tests/test_history").
  std::string replayHint;
};

// Plays the history on the testbed at options.home and judges it. Throws db::DbError only when the
// testbed cannot be read at all.
Outcome play(const History& history, Runner& runner, const PlayOptions& options);

// The report of a history that broke a rule: its seed, its recipe, what broke, and how to replay it.
std::string report(const History& history, const Outcome& outcome, const PlayOptions& options);

}  // namespace erpsync::testbed::history
