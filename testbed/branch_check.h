// An independent check of a set of branches after they all uploaded into one head office: written from
// what the data must look like, sharing no code with the synchroniser's operations. It also keeps a
// history of the push lock at head office (triggers on the lock table and the voucher tables), so
// who held the lock when, and under whose lock each voucher arrived, can be checked afterwards.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "branches.h"

namespace erpsync::db {
class Connection;
}

namespace erpsync::testbed {

// Creates tblLockHistory and its triggers in the central company database (once; again is harmless).
// Every lock row taken or removed, and every voucher header inserted with the lock rows of that
// moment, becomes a history row in the same transaction, so the history is in commit order.
void installLockRecorder(db::Connection& central);

struct LockFigures {
  long long takes = 0;            // lock rows inserted
  long long handovers = 0;        // takes by a branch other than the previous taker
  long long staleClears = 0;      // rows removed when 50 seconds or more old
  long long overlaps = 0;         // takes while another branch's row was there
  long long vouchersOutside = 0;  // vouchers inserted while the lock was not their branch's alone
  double longestHoldSeconds = 0;
  std::vector<double> holdSeconds;  // every hold, from take to release, in seconds
  // The hold time below which the given share (0..1) of holds fall; 0 without holds.
  double holdPercentile(double share) const;
  std::vector<std::string> samples;  // the first few violations, as text
};

// The lock history replayed in commit order. costCentreNames: the holder name of each branch whose
// vouchers are judged (a voucher of another cost centre is not judged).
LockFigures readLockHistory(db::Connection& central, const std::map<long long, std::string>& costCentreNames);

struct BranchFigures {
  std::string branchDb;
  int costCentre = 0;
  long long entered = 0;  // vouchers at the branch
  long long marked = 0;   // of which marked as uploaded
  long long central = 0;  // vouchers of its cost centre at head office
  long long lines = 0;    // detail lines of those at head office
};

struct BranchSetReport {
  std::vector<BranchFigures> branches;
  LockFigures lock;
  long long duplicateNumbers = 0;     // central numbers (keys) held by more than one row
  long long duplicateVouchers = 0;    // branch vouchers present more than once at head office
  long long missing = 0;              // branch vouchers without their head-office copy
  long long wrongContent = 0;         // head-office copies whose header or lines differ from the branch's
  long long orphans = 0;              // head-office rows of a branch that no branch voucher points at
  long long unmarked = 0;             // branch vouchers not marked as uploaded
  long long mastersDiffering = 0;     // logged ledger and area rows, and item rows, unlike head office's
  std::vector<std::string> problems;  // the first few, as text

  bool ok() const {
    return duplicateNumbers + duplicateVouchers + missing + wrongContent + orphans + unmarked + mastersDiffering +
               lock.overlaps + lock.vouchersOutside ==
           0;
  }
};

// Reads every branch of the set and the head office; throws db::DbError when a database cannot be read.
BranchSetReport checkBranchSet(const BranchSet& set);

// The report as lines of text ("duplicate central numbers 0" ...).
std::string describe(const BranchSetReport& report);

}  // namespace erpsync::testbed
