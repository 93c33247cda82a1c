// The ERP at work, for the demo, the tests and the benchmarks: enters branch vouchers of every family
// (with their detail rows), edits and deletes some, and changes masters and board rates at head office.
// Everything goes through the database connections, so the change-log triggers fire as they do when
// the ERP saves. The same options on the same databases give the same activity.
#pragma once

#include <memory>
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

// The voucher families a branch enters.
enum class VoucherFamily { Sales, Order, StockJournal, JobCard, Note };
inline constexpr VoucherFamily kVoucherFamilies[] = {VoucherFamily::Sales, VoucherFamily::Order,
                                                     VoucherFamily::StockJournal, VoucherFamily::JobCard,
                                                     VoucherFamily::Note};
// The family's header table ("tblSales") and its key column ("InvID").
const char* headerTable(VoucherFamily f);
const char* keyColumn(VoucherFamily f);

struct EnteredVoucher {
  VoucherFamily family = VoucherFamily::Sales;
  long long id = 0;
  std::string number;  // "S-12": the ERP numbers a voucher by its id
};

// How an edit changes a voucher's lines.
enum class LineEdit {
  None,       // the header only
  Quantity,   // one line's quantity and amount updated in place
  Reinsert,   // one line deleted and inserted again with another quantity
  ReplaceAll  // every line deleted and inserted again, one of them changed (the ERP's usual save)
};

// The ERP's voucher screens at a branch, one voucher at a time. Each save is one transaction on the
// branch database as the ERP makes it (header and lines together), so the change-log triggers fire as
// they do at a real branch. The ERP numbers a new voucher max+1 of its family, so deleting the newest
// voucher and entering another gives the new one the old id and number.
class BranchErp {
 public:
  BranchErp(db::Connection& branch, int costCentre, unsigned seed);
  ~BranchErp();
  BranchErp(const BranchErp&) = delete;
  BranchErp& operator=(const BranchErp&) = delete;

  // A new voucher of the family dated `at`'s day and billed at `at`. Throws db::DbError.
  EnteredVoucher enter(VoucherFamily family, const db::DateTime& at);
  // Changes a header column of the voucher (a narration, the party or an amount) and, unless `lines`
  // is None, its lines (notes have none), with the header's totals following the lines. Returns what
  // changed, in words.
  std::string edit(VoucherFamily family, long long id, LineEdit lines);
  // Deletes the voucher: its lines, then its header.
  void remove(VoucherFamily family, long long id);

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace erpsync::testbed
