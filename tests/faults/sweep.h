// The fault sweep: an operation run by erpsync-cli against a copy of a prepared branch and head office,
// with a fault injected at one call of it; then the recovery a user makes and the independent
// checker. One scenario is swept over its calls (every one, or a stride to fit a budget) and over the
// fault kinds.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace erpsync::faultsweep {

struct CliResult {
  int exitCode = -1;
  std::string output;
};
// Runs erpsync-cli with `args` after the program path; `env` is a list of NAME='value' words put
// ahead of it. Standard output and error together.
CliResult runCli(const std::string& env, const std::string& args);

enum class Kind {
  Error,      // the call fails with a deadlock (1205) and does not run
  Drop,       // the link is lost before the call runs
  LostReply,  // the call runs (a commit commits), then the link is lost before the answer arrives
  Crash,      // the process ends before the call runs
};
const char* kindName(Kind k);
const std::vector<Kind>& allKinds();

struct Scenario {
  std::string name;
  // Brings a fresh testbed (databases upgraded, connected once) to the state the operation starts
  // from. Runs once; every point starts from a copy of the result.
  std::function<void(const std::filesystem::path& home)> prepare;
  std::string operation;              // erpsync-cli arguments, without --home
  std::vector<std::string> recovery;  // what a user does next, one erpsync-cli argument line each
  std::vector<std::string> masters;   // tables equal at both sides after the recovery
  // Right after the fault, each of these branch tables equals head office's or is as it was.
  std::vector<std::string> wholeTables;
  bool dayStart = false;   // the branch's stock and accounts equal head office's or are as they were
  bool drained = true;     // after the recovery no branch voucher is still queued
  bool transfers = false;  // after the recovery every transfer to the branch is imported and marked
  // The branch holds head office's latest board rates, or (right after the fault) what it held.
  bool boardRates = false;
};

struct Report {
  std::string scenario;
  long long connectCalls = 0;  // calls load and connect make before the operation starts
  long long calls = 0;         // calls of the whole clean run
  int points = 0;              // faults injected that fired
  int notReached = 0;          // planned points the faulted run never reached
  int violations = 0;
  std::map<std::string, int> perKind;  // fired points by kind
  std::vector<std::string> details;    // violations, worded, with the point
};

// Sweeps a scenario with at most `budget` points spread over the operation's calls and all kinds.
// The clean run is checked as well (its violations are reported as point 0). work: a scratch folder.
Report sweep(const Scenario& s, const std::filesystem::path& work, int budget);

// The scenarios of every operation that moves data between the branch and head office.
std::vector<Scenario> scenarios();

// The figures of sweeps as a Markdown table: its header, and one scenario's row.
std::string markdownHeader();
std::string markdownRow(const Report& r);

}  // namespace erpsync::faultsweep
