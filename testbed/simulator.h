// The ERP at work, for the demo, the tests and the benchmarks: enters branch vouchers of every family
// (with their detail rows), edits and deletes some, and changes masters and board rates at head office.
// Everything goes through the database connections, so the change-log triggers fire as they do when
// the ERP saves. The same options on the same databases give the same activity.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/value.h"

namespace erpsync::testbed {

struct SimulationOptions {
  // New branch vouchers per family.
  int sales = 10;
  int orders = 3;
  int stockJournals = 3;
  int jobCards = 3;
  int notes = 5;
  // Vouchers of this run edited (one header update each) and deleted (details, then the header).
  int edits = 3;
  int deletes = 2;
  // Statements on central masters (item rate changes over several rows, new ledgers, renamed areas,
  // new items), and board-rate batches (two or three rates each) at head office.
  int masterChanges = 4;
  int boardRates = 2;
  unsigned seed = 1;
  // The voucher date; default: the branch server's date.
  std::optional<db::DateTime> date;
  // The branch's cost centre: its voucher types and the CCID of its vouchers.
  int costCentreId = 2;
};

struct SimulatedChange {
  std::string table;
  long long id = 0;
  std::string action;  // "Insert", "Update", "Deleted"
};

struct SimulationReport {
  int sales = 0, orders = 0, stockJournals = 0, jobCards = 0, notes = 0;
  int detailRows = 0;
  int edits = 0, deletes = 0;
  int masterStatements = 0;
  int boardRateBatches = 0;
  std::vector<SimulatedChange> changes;  // in the order they were made
};

// branch: the branch company database (vouchers); central: the central company database (masters,
// board rates). Either may be null to leave that side alone. Throws db::DbError on a failing statement.
SimulationReport simulateErpActivity(db::Connection* branch, db::Connection* central, const SimulationOptions& options);

}  // namespace erpsync::testbed
