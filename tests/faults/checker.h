// The independent checker: what must hold between a branch and head office after any failure and the
// recovery a user makes, read straight from the two company databases with plain SQL. It knows the
// data (voucher families, their natural keys, the branch's marks) and nothing of how the operations
// move it, so a fault in an operation cannot hide itself by a matching fault here.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "db/connection.h"

namespace erpsync::faultcheck {

// A voucher family: its header, its lines (none for notes), the key the lines hang on, the number
// and date that identify a voucher at head office together with its cost centre, and the text
// column a deletion at the branch marks at head office.
struct Family {
  std::string header, lines, key, number, date, deletedMark;
};
const std::vector<Family>& families();

// Rows of one table rendered as text, one string a row, in key order.
using Rows = std::vector<std::string>;
// A named set of row lists (table or query name -> rows).
using Snapshot = std::map<std::string, Rows>;

class Checker {
 public:
  Checker(db::Connection& branch, db::Connection& central, int costCentre)
      : branch_(branch), central_(central), cc_(costCentre) {}

  // The voucher oracle (testbed/oracle.h). drained (after the recovery): every branch voucher that
  // goes up is at head office exactly once (natural key: number, date, voucher type, cost centre) with
  // the same header and lines, the branch's mark names that copy, and head office holds no live copy
  // the branch lacks. Otherwise (right after a fault): no voucher is live at head office twice and no
  // mark names another voucher's copy. Both: no head-office voucher is half there.
  std::vector<std::string> vouchers(bool drained);

  // Head office's stock transfers to this branch: each is at the branch at most once (exactly once
  // when drained), with its lines, and is marked imported at head office only when the branch has it.
  std::vector<std::string> transfers(bool drained);

  // Head office's vouchers, lines, stock and accounts of every other cost centre (less CustomField1,
  // where head office records that a branch imported a transfer).
  Snapshot othersAtCentral();
  // Head office's latest board rate of each item (every row of its newest date; the item's rate is
  // the last of them), and what the branch holds: its board-rate rows and its items' rates.
  Snapshot boardRatesAtCentral();
  Snapshot boardRatesAtBranch();

  // Every row of each table named, on one side.
  Snapshot tables(db::Connection& side, const std::vector<std::string>& names);
  // The branch's stock, stock history, accounts and opening journals.
  Snapshot branchStock();
  // Each master table named holds the same rows at the branch and at head office (the columns both
  // sides have, less the synchroniser's own bookkeeping columns). A NULL travels as the ERP's blank:
  // NULL, empty text and zero compare equal.
  std::vector<std::string> mastersEqual(const std::vector<std::string>& tables);
  // Per item of the branch's cost centre, the stock held (in minus out) on one side; and per ledger
  // the balance of the cost centre's accounts.
  Snapshot stockFigures(db::Connection& side);

  // Differences between two snapshots, each worded for a report ("tblX: row ... only before").
  static std::vector<std::string> differences(const std::string& rule, const Snapshot& expected,
                                              const Snapshot& actual);

  db::Connection& branch() { return branch_; }
  db::Connection& central() { return central_; }

 private:
  // The rows of a query, rendered and sorted; `except` names a column left out.
  static Rows rows(db::Connection& c, const std::string& sql, const std::string& except = {});
  db::Connection& branch_;
  db::Connection& central_;
  int cc_;
};

}  // namespace erpsync::faultcheck
