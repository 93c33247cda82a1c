// Day start: opens a business day at the branch by rebuilding its stock and ledger balances from head
// office's figures for the branch's cost centre.
#pragma once

#include <functional>
#include <string>

#include "db/value.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::daycycle {

// What one day start did, for the headless runner and the tests.
struct DayStartOutcome {
  bool started = false;  // the operator said Yes
  bool refused = false;  // the working day already has sales: nothing rebuilt
  bool aborted = false;  // failed; the branch's stock, vouchers and history are as they were before
  bool completed = false;
  int stockLines = 0;         // stock lines posted
  int ledgers = 0;            // ledger balances posted (zero balances are skipped)
  bool disparity = false;     // branch and central stock totals differ by more than 1
  std::string dayRowMissing;  // "" when both "Day Start Finished" rows were written, else which is not
  db::DateTime workingDate;   // the working date it ran for
  long long costCentre = 0;   // and the cost centre
};

// Where a day start shows how far its rebuild is (the progress window); an empty one is skipped.
struct DayStartProgress {
  std::function<void(int lines)> begin;  // the stock lines to post, before the first
  std::function<void(int done)> step;    // after each line
  std::function<void()> end;             // the rebuild is over, however it ended
};

// What the "Day Start" button runs, for the working day. After the operator confirms: refuses a working
// date that already has sales (nothing written), writes the "Day Start started" rows, locks the sales up
// to the working date, then in ONE branch transaction empties tblStock, tblVoucher and tblStockHistory,
// writes the opening stock journal from head office's stock of the cost centre, posts every line into the
// branch stock and brings in every ledger balance. A failure rolls all of it back, says so, and takes the
// "started" rows back. Progress: the status per line and progress.
DayStartOutcome dayStart(SyncContext& ctx, const DayStartProgress& progress = {});

}  // namespace erpsync::daycycle
