// erpsync-cli testbed concurrency: branches entering and uploading vouchers into one head office at
// the same time, each its own erpsync-cli processes, while head office keeps changing masters; then
// the independent check of what arrived and of who held the push lock when.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace erpsync::cli {

struct ConcurrencyOptions {
  std::filesystem::path dir;  // the branch folders are made under it, afresh
  int branches = 8;
  int vouchers = 1000;  // entered at each branch
  int chunk = 50;       // vouchers the ERP saves at a branch in one go
  // After each chunk the ERP edits and deletes vouchers of the branch, taking turns between vouchers
  // already uploaded and vouchers still waiting. -1: a tenth of the chunk each (at least one).
  int edits = -1, deletes = -1;
  int masters = 3;      // master statements per head-office round
  int waitMs = 200;     // the runners' pause between passes
  // Every killEvery-th runner of a branch is killed (SIGKILL, through coreutils' timeout) one to four
  // seconds after its start, wherever it is: a crash, with or without the push lock. 0: never.
  int killEvery = 0;
  int rttMs = 0;  // the simulated round trip to head office of every runner's call (0: none)
  int items = 20, ledgers = 12;
  std::filesystem::path cli;  // the erpsync-cli the branch processes run (default: this program)
};

// Runs the whole scenario and prints its figures, the check and, per branch, the voucher oracle
// (testbed/oracle.h). Returns 0 when neither found anything wrong, 1 when they found violations or
// the run could not be set up.
int runConcurrency(const ConcurrencyOptions& options, std::ostream& out, std::ostream& err);

// Adds "testbed concurrency" (the testbed group is created when it is not there yet).
void addConcurrencyCommand(CLI::App& app, int& exitCode);

}  // namespace erpsync::cli
